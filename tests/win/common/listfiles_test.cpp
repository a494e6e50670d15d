#include <gtest/gtest.h>

#include <algorithm>

#include <windows.h>

#include "common/fileutil.h"
#include "tests/support/tempdir.h"

using testsupport::TempDir;
using Paths = std::vector<std::wstring>;

namespace {

void Touch(const std::wstring& path)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << "cannot create test file";
    CloseHandle(h);
}

void MakeDir(const std::wstring& path)
{
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr)) << "cannot create test directory";
}

// Creates a directory link; false when the system does not really make one (Wine reports
// success for directory links without creating anything).
bool MakeDirLink(const std::wstring& link, const std::wstring& target)
{
    if (!CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY))
        return false;
    const DWORD attributes = GetFileAttributesW(link.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

Paths Sorted(Paths paths)
{
    std::sort(paths.begin(), paths.end());
    return paths;
}

}  // namespace

TEST(ListFilesRecursive, EmptyDirectoryOrEmptyRootAppendsNothing)
{
    TempDir tmp;
    Paths files{L"kept"};
    ListFilesRecursive(tmp.wpath(), files);
    ListFilesRecursive(L"", files);
    ListFilesRecursive(tmp.wpath(L"missing"), files);
    EXPECT_EQ(files, Paths{L"kept"});
}

TEST(ListFilesRecursive, FilesOfADirectoryComeBeforeThoseOfItsSubdirectories)
{
    TempDir tmp;
    MakeDir(tmp.wpath(L"sub"));
    MakeDir(tmp.wpath(L"sub\\deeper"));
    Touch(tmp.wpath(L"sub\\deeper\\z.txt"));
    Touch(tmp.wpath(L"sub\\s.txt"));
    Touch(tmp.wpath(L"a.txt"));
    Touch(tmp.wpath(L"b.txt"));

    Paths files;
    ListFilesRecursive(tmp.wpath(), files);
    ASSERT_EQ(files.size(), 4u);
    // The root's own files first (in enumeration order), then sub, then sub\deeper.
    EXPECT_EQ(Sorted({files[0], files[1]}), Sorted({tmp.wpath(L"a.txt"), tmp.wpath(L"b.txt")}));
    EXPECT_EQ(files[2], tmp.wpath(L"sub\\s.txt"));
    EXPECT_EQ(files[3], tmp.wpath(L"sub\\deeper\\z.txt"));
}

TEST(ListFilesRecursive, RootWithTrailingBackslashIsNotDoubled)
{
    TempDir tmp;
    Touch(tmp.wpath(L"f.txt"));
    Paths files;
    ListFilesRecursive(tmp.wpath() + L"\\", files);
    EXPECT_EQ(files, Paths{tmp.wpath(L"f.txt")});
}

TEST(ListFilesRecursive, HiddenFilesAreListedAndTheListIsAppendedTo)
{
    TempDir tmp;
    Touch(tmp.wpath(L"h.txt"));
    SetFileAttributesW(tmp.wpath(L"h.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    Paths files{L"first"};
    ListFilesRecursive(tmp.wpath(), files);
    EXPECT_EQ(files, (Paths{L"first", tmp.wpath(L"h.txt")}));
}

TEST(ListFilesRecursive, LongRootIsWalkedWithTheLongPathPrefix)
{
    TempDir tmp;
    std::wstring deep = L"\\\\?\\" + tmp.wpath();
    while (deep.size() < 300) {
        deep += L"\\" + std::wstring(40, L'd');
        MakeDir(deep);
    }
    Touch(deep + L"\\long.txt");

    const std::wstring root = deep.substr(4);  // as an operator would name it
    ASSERT_GE(root.size(), 260u);
    Paths files;
    ListFilesRecursive(root, files);
    EXPECT_EQ(files, Paths{deep + L"\\long.txt"});
}

TEST(ListFilesRecursive, DirectoryLinkBackToAnAncestorIsNotWalkedInCircles)
{
    TempDir tmp;
    MakeDir(tmp.wpath(L"game"));
    Touch(tmp.wpath(L"game\\a.txt"));
    const std::wstring link = tmp.wpath(L"game\\loop");
    if (!MakeDirLink(link, tmp.wpath(L"game")))
        GTEST_SKIP() << "directory links cannot be created here";

    Paths files;
    ListFilesRecursive(tmp.wpath(L"game"), files);
    EXPECT_EQ(files, Paths{tmp.wpath(L"game\\a.txt")});
}

TEST(ListFilesRecursive, TwoLinksPointingAtEachOtherEnd)
{
    TempDir tmp;
    MakeDir(tmp.wpath(L"x"));
    MakeDir(tmp.wpath(L"y"));
    Touch(tmp.wpath(L"x\\fx.txt"));
    Touch(tmp.wpath(L"y\\fy.txt"));
    if (!MakeDirLink(tmp.wpath(L"x\\toy"), tmp.wpath(L"y")) || !MakeDirLink(tmp.wpath(L"y\\tox"), tmp.wpath(L"x")))
        GTEST_SKIP() << "directory links cannot be created here";

    Paths files;
    ListFilesRecursive(tmp.wpath(L"x"), files);
    // x itself, then y through the link; the way back to x is not taken again.
    EXPECT_EQ(files, (Paths{tmp.wpath(L"x\\fx.txt"), tmp.wpath(L"x\\toy\\fy.txt")}));
}
