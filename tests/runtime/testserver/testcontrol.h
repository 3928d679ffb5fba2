#pragma once

#include "vlsshell/control.h"
#include "vlstest.h"

#include <atomic>
#include <string>
#include <thread>

template <> struct vlsshell::InterfaceInfo<IVlsTestControl> {
    static const InterfaceDescription& description();
};
template <> struct vlsshell::InterfaceInfo<IVlsTestTag> {
    static const InterfaceDescription& description();
};
template <> struct vlsshell::InterfaceInfo<IVlsTestSolo> {
    static const InterfaceDescription& description();
};

const vlsshell::InterfaceDescription& testEventsDescription();
const vlsshell::ClassDescription& testControlClass();
const vlsshell::ClassDescription& testSoloClass();

class TestControl final : public vlsshell::Control<TestControl, IVlsTestControl, IVlsTestTag> {
public:
    static const vlsshell::ControlDescription& description();

    TestControl() = default;
    ~TestControl() override;

    HRESULT finalConstruct();
    bool onWindowMessage(UINT message, vlscom::WPARAM wParam);

    HRESULT get_Name(BSTR* pVal) override;
    HRESULT put_Name(BSTR newVal) override;
    HRESULT get_Count(std::int32_t* pVal) override;
    HRESULT put_Count(std::int32_t newVal) override;
    HRESULT get_Enabled(VARIANT_BOOL* pVal) override;
    HRESULT put_Enabled(VARIANT_BOOL newVal) override;
    HRESULT get_Ratio(float* pVal) override;
    HRESULT put_Ratio(float newVal) override;
    HRESULT Fail(std::int32_t kind) override;
    HRESULT Sum(const std::uint8_t* data, std::int32_t count, std::int32_t* total) override;
    HRESULT Start(std::int32_t ticks) override;
    HRESULT Wait() override;
    HRESULT Ask(BSTR question, VARIANT_BOOL* yes) override;
    HRESULT get_Partner(IVlsTestControl** pVal) override;
    HRESULT put_Partner(IVlsTestControl* newVal) override;
    HRESULT Describe(const TestRecord* record, BSTR* text) override;
    HRESULT Echo(std::int64_t handle, std::int64_t* same) override;

    HRESULT get_Title(BSTR* pVal) override;
    HRESULT put_Title(BSTR newVal) override;

private:
    std::u16string m_name = u"untitled";
    std::int32_t m_count = 0;
    bool m_enabled = true;
    float m_ratio = 0.5F;
    std::u16string m_title;
    vlscom::ComPtr<IVlsTestControl> m_partner;
    std::thread m_worker;
    std::atomic<bool> m_stop { false };
};

class TestSolo final : public vlsshell::Control<TestSolo, IVlsTestSolo> {
public:
    static const vlsshell::ControlDescription& description();
    HRESULT get_Value(std::int32_t* pVal) override;
};
