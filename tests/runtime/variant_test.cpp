#include "testsupport.h"
#include "vlscom/comobject.h"
#include "vlscom/variant.h"

#include <gtest/gtest.h>

using namespace vlscom;

namespace {
struct IPlain : IUnknown {
    static constexpr IID iid = makeGuid("{11111111-2222-3333-4444-555555555555}");
    using Base = IUnknown;
};
class Plain final : public ComObject<IPlain> { };
} // namespace

TEST(Variant, ClearFreesStringsAndReleasesObjectsButNotReferences)
{
    auto object = makeObject<Plain>();
    {
        Variant holder = Variant::fromObject(object.get());
        EXPECT_EQ(holder.vt, VT_UNKNOWN);
        EXPECT_EQ(referenceCount(object.get()), 2U);
    }
    EXPECT_EQ(referenceCount(object.get()), 1U);
    std::int32_t number = 5;
    Variant byRef = Variant::byReference(VT_I4, &number);
    EXPECT_EQ(VariantClear(&byRef), S_OK);
    EXPECT_EQ(byRef.vt, VT_EMPTY);
    VARIANT unknown;
    VariantInit(&unknown);
    unknown.vt = 0x2000 | VT_I4; // an array: outside the subset
    EXPECT_EQ(VariantClear(&unknown), DISP_E_BADVARTYPE);
}

TEST(Variant, CopyIsIndependent)
{
    Variant a = Variant::fromString(std::string_view("text"));
    Variant b = a;
    EXPECT_NE(a.bstrVal, b.bstrVal);
    EXPECT_TRUE(variantEquals(a, b));
    a = Variant::fromInt(3);
    EXPECT_EQ(bstrView(b.bstrVal), u"text");
}

TEST(Variant, ChangeTypeConvertsNumbersBooleansAndText)
{
    const auto convert
        = [](const Variant& from, VARTYPE to, Variant& out) { return VariantChangeType(&out, &from, 0, to); };
    Variant out;
    ASSERT_EQ(convert(Variant::fromString(std::string_view(" 42 ")), VT_I4, out), S_OK);
    EXPECT_EQ(out.lVal, 42);
    ASSERT_EQ(convert(Variant::fromFloat(2.5F), VT_I4, out), S_OK);
    EXPECT_EQ(out.lVal, 2); // half to even
    ASSERT_EQ(convert(Variant::fromFloat(3.5F), VT_I4, out), S_OK);
    EXPECT_EQ(out.lVal, 4);
    ASSERT_EQ(convert(Variant::fromInt(-7), VT_BOOL, out), S_OK);
    EXPECT_EQ(out.boolVal, VARIANT_TRUE);
    ASSERT_EQ(convert(Variant::fromBool(true), VT_I4, out), S_OK);
    EXPECT_EQ(out.lVal, -1);
    ASSERT_EQ(convert(Variant::fromString(std::string_view("False")), VT_BOOL, out), S_OK);
    EXPECT_EQ(out.boolVal, VARIANT_FALSE);
    ASSERT_EQ(convert(Variant::fromInt(-12), VT_BSTR, out), S_OK);
    EXPECT_EQ(bstrView(out.bstrVal), u"-12");
    ASSERT_EQ(convert(Variant::fromBool(false), VT_BSTR, out), S_OK);
    EXPECT_EQ(bstrView(out.bstrVal), u"False");
    ASSERT_EQ(convert(Variant(), VT_I4, out), S_OK);
    EXPECT_EQ(out.lVal, 0);

    out = Variant::fromString(std::string_view("kept"));
    EXPECT_EQ(convert(Variant::fromString(std::string_view("12a")), VT_I4, out), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(convert(Variant::fromInt64(1LL << 40), VT_I4, out), DISP_E_OVERFLOW);
    EXPECT_EQ(convert(Variant::fromInt(300), VT_UI1, out), DISP_E_OVERFLOW);
    EXPECT_EQ(convert(Variant::fromInt(1), VT_DISPATCH, out), DISP_E_TYPEMISMATCH);
    // A failed conversion leaves the destination alone.
    EXPECT_EQ(bstrView(out.bstrVal), u"kept");
}

TEST(Variant, ChangeTypeInPlaceAndThroughReferences)
{
    Variant v = Variant::fromString(std::string_view("17"));
    ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_I4), S_OK);
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 17);
    std::int16_t small = -3;
    Variant ref = Variant::byReference(VT_I2, &small);
    Variant out;
    ASSERT_EQ(VariantChangeType(&out, &ref, 0, VT_R8), S_OK);
    EXPECT_EQ(out.dblVal, -3.0);
}
