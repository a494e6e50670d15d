#include <gtest/gtest.h>

#include <windows.h>

#include "common/textutil.h"

TEST(TextConversion, Utf8RoundTripAndInvalidBytes)
{
    const std::wstring text = L"D:\\版本\\Mir200 \U0001F600";
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(FromUtf8(""), L"");
    // A lone continuation byte and a sequence cut short are replaced, the rest is kept.
    EXPECT_EQ(FromUtf8("a\x80z"), L"a\uFFFDz");
    EXPECT_EQ(FromUtf8("\xE7\x89"), L"\uFFFD");
}

TEST(TextConversion, AnsiCodePageRoundTripAndMissingCharacter)
{
    if (GetACP() != 936)
        GTEST_SKIP() << "needs the Chinese ANSI code page 936, found " << GetACP();
    EXPECT_EQ(ToAnsi(L"版本 v1"), "\xB0\xE6\xB1\xBE v1");
    EXPECT_EQ(FromAnsi("\xB0\xE6\xB1\xBE v1"), L"版本 v1");
    // Thai has no place in code page 936: the default character stands in.
    EXPECT_EQ(ToAnsi(L"\u0E01"), "?");
    std::vector<char> buffer(100, 'x');
    EXPECT_EQ(ToAnsi(L"本", buffer), 2);
    EXPECT_EQ(buffer.size(), 100u);
    EXPECT_EQ(ToAnsi(L"", buffer), 0);
}
