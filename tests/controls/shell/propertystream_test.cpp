#include "vlsshell/propertystream.h"

#include <gtest/gtest.h>

using namespace vlsshell;
using vlscom::Variant;

namespace {
const DISPID order[] = { 3, 2, 1, 4 };

std::vector<PersistedProperty> sample()
{
    std::vector<PersistedProperty> properties;
    properties.push_back({ 3, Variant::fromBool(true) });
    properties.push_back({ 2, Variant::fromInt(-2) });
    properties.push_back({ 1, Variant::fromString(std::u16string_view(u"é")) });
    properties.push_back({ 4, Variant::fromFloat(1.5F) });
    return properties;
}
} // namespace

TEST(PropertyStream, EncodesTheStatedLayoutAndDecodesItBack)
{
    std::vector<std::uint8_t> bytes;
    ASSERT_EQ(encodeProperties(sample(), bytes), S_OK);
    const std::vector<std::uint8_t> expected = {
        'V', 'L', 'S', 'P', 1, 0, 4, 0, //
        3, 0, 0, 0, VT_BOOL, 0, 0xFF, 0xFF, //
        2, 0, 0, 0, VT_I4, 0, 0xFE, 0xFF, 0xFF, 0xFF, //
        1, 0, 0, 0, VT_BSTR, 0, 1, 0, 0, 0, 0xE9, 0x00, //
        4, 0, 0, 0, VT_R4, 0, 0x00, 0x00, 0xC0, 0x3F, //
    };
    EXPECT_EQ(bytes, expected);
    std::vector<PersistedProperty> decoded;
    ASSERT_EQ(decodeProperties(bytes, order, decoded), S_OK);
    ASSERT_EQ(decoded.size(), 4U);
    const auto original = sample();
    for (std::size_t i = 0; i < decoded.size(); ++i)
        EXPECT_TRUE(vlscom::variantEquals(decoded[i].value, original[i].value)) << i;

    // A boolean keeps the 16 bits it was stored with, both ways.
    auto one = bytes;
    one[14] = 1;
    one[15] = 0;
    ASSERT_EQ(decodeProperties(one, order, decoded), S_OK);
    EXPECT_EQ(decoded[0].value.vt, VT_BOOL);
    EXPECT_EQ(decoded[0].value.boolVal, 1);
    std::vector<std::uint8_t> again;
    ASSERT_EQ(encodeProperties(decoded, again), S_OK);
    EXPECT_EQ(again, one);
}

TEST(PropertyStream, RejectsForeignTruncatedOrReorderedData)
{
    std::vector<std::uint8_t> bytes;
    ASSERT_EQ(encodeProperties(sample(), bytes), S_OK);
    std::vector<PersistedProperty> decoded;
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        EXPECT_EQ(decodeProperties(std::span(bytes.data(), cut), order, decoded), STG_E_READFAULT) << cut;
        EXPECT_TRUE(decoded.empty() || cut >= 8);
    }
    const DISPID otherOrder[] = { 2, 3, 1, 4 };
    EXPECT_EQ(decodeProperties(bytes, otherOrder, decoded), STG_E_DOCFILECORRUPT);
    const DISPID fewer[] = { 3, 2, 1 };
    EXPECT_EQ(decodeProperties(bytes, fewer, decoded), STG_E_DOCFILECORRUPT);
    auto wrongMagic = bytes;
    wrongMagic[0] = 'X';
    EXPECT_EQ(decodeProperties(wrongMagic, order, decoded), STG_E_DOCFILECORRUPT);
    // A huge string length is refused before anything is allocated for it.
    auto huge = bytes;
    huge[32] = 0xFF;
    huge[33] = 0xFF;
    huge[34] = 0xFF;
    huge[35] = 0x7F;
    EXPECT_EQ(decodeProperties(huge, order, decoded), STG_E_DOCFILECORRUPT);
    std::vector<PersistedProperty> unsupported;
    unsupported.push_back({ 1, Variant::fromInt64(1) });
    EXPECT_EQ(encodeProperties(unsupported, bytes), DISP_E_BADVARTYPE);
}
