#include "common/pickerbuffer.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace std::string_literals;
using Paths = std::vector<std::wstring>;

namespace {

// The buffer as the dialog leaves it: zero-filled to its full size.
std::wstring Buffer(const std::wstring& content, size_t size = 20800)
{
    std::wstring buffer = content;
    buffer.resize(std::max(size, content.size()), L'\0');
    return buffer;
}

}  // namespace

TEST(ParseSelectedFiles, OneFileGivesItsFullPath)
{
    EXPECT_EQ(ParseSelectedFiles(Buffer(L"D:\\data\\name.txt"), 8), (Paths{L"D:\\data\\name.txt"}));
    EXPECT_EQ(ParseSelectedFiles(Buffer(L"D:\\name.txt"), 3), (Paths{L"D:\\name.txt"}));
}

TEST(ParseSelectedFiles, SeveralFilesEachGetTheDirectory)
{
    EXPECT_EQ(ParseSelectedFiles(Buffer(L"D:\\data\0a.txt\0b c.ini\0z\0"s), 8),
              (Paths{L"D:\\data\\a.txt", L"D:\\data\\b c.ini", L"D:\\data\\z"}));
    // In a drive root the backslash is not doubled.
    EXPECT_EQ(ParseSelectedFiles(Buffer(L"D:\\\0a\0b\0"s), 4), (Paths{L"D:\\a", L"D:\\b"}));
}

TEST(ParseSelectedFiles, LongDirectoriesAreNotCut)
{
    const std::wstring dir = L"D:\\" + std::wstring(300, L'd') + L"\\" + std::wstring(200, L'e');
    EXPECT_EQ(ParseSelectedFiles(Buffer(dir + L"\0one\0two\0"s), dir.size() + 1),
              (Paths{dir + L"\\one", dir + L"\\two"}));
    EXPECT_EQ(ParseSelectedFiles(Buffer(dir + L"\\only.txt"), dir.size() + 1), (Paths{dir + L"\\only.txt"}));
}

TEST(ParseSelectedFiles, StaleTextAfterASingleFileIsIgnored)
{
    EXPECT_EQ(ParseSelectedFiles(L"D:\\a\\x.txt\0old\0names\0\0"s, 5), (Paths{L"D:\\a\\x.txt"}));
}

TEST(ParseSelectedFiles, NeverReadsPastTheBuffer)
{
    EXPECT_TRUE(ParseSelectedFiles(L"", 0).empty());
    EXPECT_TRUE(ParseSelectedFiles(Buffer(L"D:\\a.txt", 10), 0).empty());
    EXPECT_TRUE(ParseSelectedFiles(L"D:\\a"s, 4).empty());
    EXPECT_TRUE(ParseSelectedFiles(L"D:\\a"s, 400).empty());
    // A list that fills the buffer without its closing zeros ends at the buffer's end.
    EXPECT_EQ(ParseSelectedFiles(L"D:\\d\0a\0bc"s, 5), (Paths{L"D:\\d\\a", L"D:\\d\\bc"}));
}
