#include <gtest/gtest.h>

#include "common/textutil.h"

TEST(ToUtf8, EncodesAsciiAndChinese)
{
    EXPECT_EQ(ToUtf8(L""), "");
    EXPECT_EQ(ToUtf8(L"D:\\Mir200"), "D:\\Mir200");
    EXPECT_EQ(ToUtf8(L"\u7248\u672c"), "\xE7\x89\x88\xE6\x9C\xAC");  // 版本
    EXPECT_EQ(ToUtf8(L"\u00e9"), "\xC3\xA9");
}

TEST(ToUtf8, StopsAtTheFirstZero)
{
    const std::wstring text(L"ab\0cd", 5);
    EXPECT_EQ(ToUtf8(text), "ab");
}

TEST(ToUtf8, CharacterOutsideTheBasicPlane)
{
    // U+1F600 as a surrogate pair on Windows, a single code point natively.
    const std::wstring text =
        sizeof(wchar_t) == 2 ? std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)} : std::wstring{wchar_t(0x1F600)};
    EXPECT_EQ(ToUtf8(text), "\xF0\x9F\x98\x80");
}
