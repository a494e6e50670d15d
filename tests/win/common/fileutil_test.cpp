#include <gtest/gtest.h>

#include <windows.h>

#include "common/fileutil.h"
#include "tests/support/tempdir.h"
#include "tests/support/wine.h"

using testsupport::TempDir;

namespace {

bool IsDir(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

TEST(IsExistingDirectory, TrueOnlyForAnExistingDirectoryWithoutTrailingBackslash)
{
    TempDir tmp;
    EXPECT_TRUE(IsExistingDirectory(tmp.wpath()));
    EXPECT_FALSE(IsExistingDirectory(tmp.wpath() + L"\\"));
    EXPECT_FALSE(IsExistingDirectory(tmp.wpath(L"missing")));
    EXPECT_FALSE(IsExistingDirectory(L""));
}

TEST(IsExistingDirectory, FileIsNotADirectory)
{
    TempDir tmp;
    const std::wstring file = tmp.wpath(L"f.txt");
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_FALSE(IsExistingDirectory(file));
}

TEST(IsExistingDirectory, DriveRootIsRefusedByTheFindFirstRule)
{
    ASSERT_FALSE(testsupport::MappedDriveRoot(L'D').empty()) << "the test runner maps D:";
    EXPECT_FALSE(IsExistingDirectory(L"D:\\"));
}

TEST(CreateDirectoryTree, CreatesEveryMissingLevelAndReportsTheLast)
{
    TempDir tmp;
    const std::wstring deep = tmp.wpath(L"a\\b\\c");
    EXPECT_TRUE(CreateDirectoryTree(deep));
    EXPECT_TRUE(IsDir(tmp.wpath(L"a")));
    EXPECT_TRUE(IsDir(tmp.wpath(L"a\\b")));
    EXPECT_TRUE(IsDir(deep));
}

TEST(CreateDirectoryTree, ExistingDirectoryYieldsFalseAndChangesNothing)
{
    TempDir tmp;
    EXPECT_FALSE(CreateDirectoryTree(tmp.wpath()));
    EXPECT_TRUE(IsDir(tmp.wpath()));
    EXPECT_FALSE(CreateDirectoryTree(L""));
}

TEST(CreateDirectoryTree, OnAMappedDriveFromTheRoot)
{
    TempDir tmp(L"D:\\");
    const std::wstring base = tmp.wpath();
    EXPECT_TRUE(CreateDirectoryTree(base + L"\\x\\y\\z"));
    EXPECT_TRUE(IsDir(base + L"\\x\\y\\z"));
}

TEST(EnsureDirectory, AcceptsForwardSlashesAndReportsExistence)
{
    TempDir tmp;
    EXPECT_TRUE(EnsureDirectory(tmp.wpath() + L"/x/y"));
    EXPECT_TRUE(IsDir(tmp.wpath(L"x\\y")));
    // Asked again, the existing directory is simply reported.
    EXPECT_TRUE(EnsureDirectory(tmp.wpath(L"x\\y")));
    EXPECT_FALSE(EnsureDirectory(L""));
}

TEST(EnsureDirectory, TrailingSeparatorYieldsFalseEvenWhenCreated)
{
    TempDir tmp;
    EXPECT_FALSE(EnsureDirectory(tmp.wpath(L"t") + L"\\"));
    EXPECT_TRUE(IsDir(tmp.wpath(L"t")));
}
