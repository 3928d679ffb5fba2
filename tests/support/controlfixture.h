#pragma once

// A registered test server in a temporary registry, and helpers to create its control.

#include "testsupport.h"
#include "vlscom/activation.h"
#include "vlscom/comptr.h"
#include "vlstest.h"

#include <gtest/gtest.h>

class ControlFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(server().registerServer(), S_OK); }

    static ServerLibrary& server()
    {
        static ServerLibrary library(VLS_TEST_SERVER);
        return library;
    }

    static vlscom::ComPtr<IVlsTestControl> createControl()
    {
        vlscom::ComPtr<IVlsTestControl> control;
        EXPECT_EQ(vlscom::createInstance(CLSID_VlsTestControl, control), S_OK);
        return control;
    }

    TemporaryRegistry m_registry;
};
