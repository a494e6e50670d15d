#include <gtest/gtest.h>

#include "common/pathutil.h"

using Pieces = std::vector<std::wstring>;

TEST(GetParentPath, DropsTheLastComponentAndItsSeparator)
{
    EXPECT_EQ(GetParentPath(L"D:\\dir\\f.txt"), L"D:\\dir");
    EXPECT_EQ(GetParentPath(L"D:\\f.txt"), L"D:");
    EXPECT_EQ(GetParentPath(L"a/b"), L"a");
    EXPECT_EQ(GetParentPath(L"D:\\dir/sub\\f"), L"D:\\dir/sub");
}

TEST(GetParentPath, SeparatorAtStartOrNoneAtAll)
{
    EXPECT_EQ(GetParentPath(L"\\f"), L"\\");
    EXPECT_EQ(GetParentPath(L"/f"), L"/");
    EXPECT_EQ(GetParentPath(L"f.txt"), L"");
    EXPECT_EQ(GetParentPath(L""), L"");
}

TEST(ReplaceAll, ReplacesLeftToRightWithoutRescanning)
{
    EXPECT_EQ(ReplaceAll(L"a/b//c", L"/", L"\\"), L"a\\b\\\\c");
    EXPECT_EQ(ReplaceAll(L"/lead/", L"/", L"\\"), L"\\lead\\");
    EXPECT_EQ(ReplaceAll(L"aaa", L"aa", L"b"), L"ba");
    // The replacement contains the pattern; it must not be replaced again.
    EXPECT_EQ(ReplaceAll(L"x.x", L"x", L"xx"), L"xx.xx");
}

TEST(ReplaceAll, TextWithoutPatternComesBackUnchanged)
{
    EXPECT_EQ(ReplaceAll(L"D:\\a\\b", L"/", L"\\"), L"D:\\a\\b");
    EXPECT_EQ(ReplaceAll(L"", L"/", L"\\"), L"");
    EXPECT_EQ(ReplaceAll(L"abc", L"", L"x"), L"abc");
}

TEST(SplitString, KeepsOnlyNonEmptyPiecesInOrder)
{
    EXPECT_EQ(SplitString(L"D:\\a\\\\b\\", L"\\"), (Pieces{L"D:", L"a", L"b"}));
    EXPECT_EQ(SplitString(L"\\\\server\\share\\Mir200", L"\\"), (Pieces{L"server", L"share", L"Mir200"}));
    EXPECT_EQ(SplitString(L"abc", L"\\"), (Pieces{L"abc"}));
}

TEST(SplitString, EmptyTextOrOnlyDelimitersYieldsNothing)
{
    EXPECT_TRUE(SplitString(L"", L"\\").empty());
    EXPECT_TRUE(SplitString(L"\\\\\\", L"\\").empty());
}

TEST(SplitString, MultiCharacterDelimiter)
{
    EXPECT_EQ(SplitString(L"a::b::::c", L"::"), (Pieces{L"a", L"b", L"c"}));
}
