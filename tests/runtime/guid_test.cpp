#include "vlscom/guid.h"

#include <gtest/gtest.h>

using vlscom::formatGuid;
using vlscom::parseGuid;

TEST(Guid, ParsesTheRegistryFormInEitherCaseAndFormatsUpperCase)
{
    const auto guid = parseGuid("{a579141f-384d-4ec1-98c6-f2c705b137dc}");
    ASSERT_TRUE(guid);
    EXPECT_EQ(guid->Data1, 0xA579141FU);
    EXPECT_EQ(guid->Data2, 0x384DU);
    EXPECT_EQ(guid->Data3, 0x4EC1U);
    EXPECT_EQ(guid->Data4[0], 0x98U);
    EXPECT_EQ(guid->Data4[7], 0xDCU);
    EXPECT_EQ(formatGuid(*guid), "{A579141F-384D-4EC1-98C6-F2C705B137DC}");
    EXPECT_EQ(*guid, vlscom::makeGuid("{A579141F-384D-4EC1-98C6-F2C705B137DC}"));
    EXPECT_EQ(formatGuid(GUID_NULL), "{00000000-0000-0000-0000-000000000000}");
}

TEST(Guid, RejectsEverythingElse)
{
    for (const char* text : {
             "",
             "A579141F-384D-4EC1-98C6-F2C705B137DC",
             "{A579141F-384D-4EC1-98C6-F2C705B137DC",
             "{A579141F-384D-4EC1-98C6-F2C705B137DC} ",
             " {A579141F-384D-4EC1-98C6-F2C705B137DC}",
             "{A579141F-384D-4EC1-98C6F2C705B137DC0}",
             "{A579141F+384D-4EC1-98C6-F2C705B137DC}",
             "{G579141F-384D-4EC1-98C6-F2C705B137DC}",
             "{A579141F-384D-4EC1-98C6-F2C705B137D }",
             "(A579141F-384D-4EC1-98C6-F2C705B137DC)",
         }) {
        EXPECT_FALSE(parseGuid(text)) << text;
    }
}
