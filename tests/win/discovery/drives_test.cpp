#include "common/drives.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/wine.h"

namespace {

bool IsDriveLetter(const std::wstring& letter)
{
    return letter.size() == 1 && letter[0] >= L'A' && letter[0] <= L'Z';
}

}  // namespace

TEST(GetFixedDrives, ListsFixedDisksAsSortedUpperCaseLetters)
{
    const std::vector<std::wstring> drives = GetFixedDrives();
    ASSERT_FALSE(drives.empty());
    EXPECT_TRUE(std::all_of(drives.begin(), drives.end(), IsDriveLetter));
    EXPECT_TRUE(std::is_sorted(drives.begin(), drives.end()));
    EXPECT_EQ(std::adjacent_find(drives.begin(), drives.end()), drives.end());
    for (const std::wstring& letter : drives)
        EXPECT_EQ(GetDriveTypeW((letter + L":\\").c_str()), static_cast<UINT>(DRIVE_FIXED)) << letter;
}

TEST(GetFixedDrives, IncludesTheTestDisks)
{
    const std::vector<std::wstring> drives = GetFixedDrives();
    EXPECT_NE(std::find(drives.begin(), drives.end(), L"D"), drives.end());
    EXPECT_NE(std::find(drives.begin(), drives.end(), L"E"), drives.end());
}

TEST(GetSystemDrive, IsOneOfTheFixedDisks)
{
    const std::wstring system = GetSystemDrive();
    ASSERT_TRUE(IsDriveLetter(system)) << system;
    const std::vector<std::wstring> drives = GetFixedDrives();
    EXPECT_NE(std::find(drives.begin(), drives.end(), system), drives.end());
}
