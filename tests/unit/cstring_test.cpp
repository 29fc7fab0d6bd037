#include "CString.h"

#include <gtest/gtest.h>

#include <string>

TEST(CString, AssignAppendAndAccess)
{
    CString s;
    EXPECT_TRUE(s.IsEmpty());
    s = "ab";
    s += "cd";
    CString t("ef");
    s += t;
    s += s;   // appending itself doubles the text
    EXPECT_STREQ(static_cast<LPCTSTR>(s), "abcdefabcdef");
    EXPECT_EQ(s.GetLength(), 12);
    EXPECT_EQ(s[2], 'c');
    EXPECT_EQ(s.GetAt(11), 'f');
    s = nullptr;
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_STREQ(static_cast<LPCTSTR>(s), "");
}

TEST(CString, ConversionGivesAZeroTerminatedTextEvenWhenEmpty)
{
    const CString empty;
    const char* p = empty;
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(*p, '\0');
    CString s("xyz");
    s.Format("%s", "ab");
    const char* q = s;
    EXPECT_EQ(std::string(q, 3), std::string("ab\0", 3));
}

TEST(CString, FormatFollowsPrintfForTheReportsDirectives)
{
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat"
    CString s;
    s.Format("%d|%ld|%x|%lx|%0.2x|%0.4x|%s", -5, -7L, 0xABCu, 0x7ffeffffUL, 4u, 0x801u, "t");
    EXPECT_EQ(std::string(s), "-5|-7|abc|7ffeffff|04|0801|t");
    s.Format("%0.2x %0.2x %0.4x", 10u, 300u, 65536u);
    EXPECT_EQ(std::string(s), "0a 12c 10000");
#pragma GCC diagnostic pop
    s.Format("%d", static_cast<int>(0x80000000u));
    EXPECT_EQ(std::string(s), "-2147483648");
    s.Format("%llx", 0x7ffffffeffffULL);
    EXPECT_EQ(std::string(s), "7ffffffeffff");
}

TEST(CString, FormatNeverTruncatesAndKeepsPercentSignsOfArguments)
{
    std::string big(40000, 'p');
    big += "%s%d%n";
    CString s;
    s.Format("PATH = %s", big.c_str());
    EXPECT_EQ(std::string(s), "PATH = " + big);
    EXPECT_EQ(s.GetLength(), 7 + 40006);
}

TEST(CString, FormatMayUseItsOwnTextAsArgument)
{
    CString s("abc");
    s.Format("%s-%s", static_cast<LPCTSTR>(s), static_cast<LPCTSTR>(s));
    EXPECT_EQ(std::string(s), "abc-abc");
}

TEST(CString, HighBytesPassUnchanged)
{
    CString s;
    s.Format("%s", "\xF6\xE4\xFC\xFF");
    ASSERT_EQ(s.GetLength(), 4);
    EXPECT_EQ(s[0], '\xF6');
    EXPECT_EQ(s[3], '\xFF');
    // The source's own "ö" is compiled to the Windows-1252 byte.
    CString u("ö");
    ASSERT_EQ(u.GetLength(), 1);
    EXPECT_EQ(u[0], '\xF6');
}
