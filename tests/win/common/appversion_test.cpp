#include <gtest/gtest.h>

#include "common/appversion.h"
#include "common/modulepath.h"

// This test program carries the product's version resource (1.0.1.5); only the first
// three numbers are shown.
TEST(GetAppVersion, ReadsMajorMinorBuildOfTheProductVersion)
{
    EXPECT_EQ(GetAppVersion(), L"1.0.1");
}

TEST(GetModulePath, NamesThisProgram)
{
    const std::wstring path = GetModulePath();
    ASSERT_GT(path.size(), 4u);
    EXPECT_EQ(path.substr(path.size() - 4), L".exe");
    EXPECT_NE(path.find(L"appversion_win_tests"), std::wstring::npos);
}
