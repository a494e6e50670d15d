#include <gtest/gtest.h>

#include "syncfolderapp/appdirs.h"

TEST(DeriveAppDirectories, KeepsTheBackslashAndAppendsDatadb)
{
    const AppDirectories dirs = DeriveAppDirectories(L"D:\\Tools\\syncfolder.exe");
    EXPECT_EQ(dirs.moduleDir, L"D:\\Tools\\");
    EXPECT_EQ(dirs.dataDir, L"D:\\Tools\\datadb");
}

TEST(DeriveAppDirectories, ProgramInTheRootOfADrive)
{
    const AppDirectories dirs = DeriveAppDirectories(L"D:\\syncfolder.exe");
    EXPECT_EQ(dirs.moduleDir, L"D:\\");
    EXPECT_EQ(dirs.dataDir, L"D:\\datadb");
}

TEST(DeriveAppDirectories, LongPathIsKeptWhole)
{
    const std::wstring dir = L"D:\\" + std::wstring(300, L'x') + L"\\";
    const AppDirectories dirs = DeriveAppDirectories(dir + L"syncfolder.exe");
    EXPECT_EQ(dirs.moduleDir, dir);
    EXPECT_EQ(dirs.dataDir, dir + L"datadb");
}

TEST(DeriveAppDirectories, PathWithoutBackslashYieldsNothing)
{
    const AppDirectories dirs = DeriveAppDirectories(L"syncfolder.exe");
    EXPECT_EQ(dirs.moduleDir, L"");
    EXPECT_EQ(dirs.dataDir, L"");
}
