#include "vlscom/bstr.h"

#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>

using namespace vlscom;

TEST(Bstr, KeepsItsLengthBeforeTheTextAndAZeroAfterIt)
{
    const char16_t text[] = u"ab\0cd";
    BSTR s = SysAllocStringLen(text, 5);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(SysStringLen(s), 5U);
    EXPECT_EQ(SysStringByteLen(s), 10U);
    std::uint32_t prefix = 0;
    std::memcpy(&prefix, reinterpret_cast<const char*>(s) - 4, 4);
    EXPECT_EQ(prefix, 10U);
    EXPECT_EQ(s[5], u'\0');
    EXPECT_EQ(bstrView(s), std::u16string_view(text, 5));
    SysFreeString(s);
}

TEST(Bstr, NullIsTheEmptyStringAndZeroFillWithoutSource)
{
    EXPECT_EQ(SysStringLen(nullptr), 0U);
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    SysFreeString(nullptr);
    BSTR zeros = SysAllocStringLen(nullptr, 3);
    ASSERT_NE(zeros, nullptr);
    EXPECT_EQ(bstrView(zeros), std::u16string_view(u"\0\0\0", 3));
    SysFreeString(zeros);
    BSTR empty = SysAllocString(u"");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(SysStringLen(empty), 0U);
    SysFreeString(empty);
    EXPECT_EQ(SysAllocStringLen(u"x", 0x7FFFFFFFU), nullptr);
}

TEST(Bstr, OwningWrapperCopiesAndReleases)
{
    Bstr a(std::string_view("Grüße"));
    Bstr b = a;
    EXPECT_NE(a.get(), b.get());
    EXPECT_EQ(b.utf8(), "Grüße");
    EXPECT_EQ(b.length(), 5U);
    BSTR raw = b.detach();
    EXPECT_EQ(b.get(), nullptr);
    Bstr adopted = Bstr::adopt(raw);
    *adopted.put() = SysAllocString(u"new");
    EXPECT_EQ(adopted.view(), u"new");
}

TEST(Utf, ConvertsBothWaysWithSurrogatesAndReplacesMalformedInput)
{
    EXPECT_EQ(toUtf16("a€😀"), u"a€😀");
    EXPECT_EQ(toUtf8(u"a€😀"), "a€😀");
    EXPECT_EQ(toUtf16("\xC3"), u"\xFFFD");
    EXPECT_EQ(toUtf16("\xC0\xAF"), u"\xFFFD\xFFFD"); // overlong
    EXPECT_EQ(toUtf16("\xED\xA0\x80"), u"\xFFFD\xFFFD\xFFFD"); // encoded surrogate
    EXPECT_EQ(toUtf16("\xF4\x90\x80\x80"), u"\xFFFD\xFFFD\xFFFD\xFFFD"); // above U+10FFFF
    EXPECT_EQ(toUtf8(std::u16string_view(u"\xD800x", 2)), "\xEF\xBF\xBDx");
    EXPECT_EQ(toUtf8(std::u16string_view(u"\xDC00", 1)), "\xEF\xBF\xBD");
}
