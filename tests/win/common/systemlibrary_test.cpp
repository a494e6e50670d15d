#include "common/systemlibrary.h"

#include <gtest/gtest.h>

#include <string>

#include "common/modulepath.h"
#include "common/textutil.h"

namespace {

int g_firstTries = 0;
DWORD g_firstTryError = 0;

// LoadLibraryExW refusing the flag, as Windows 7 without KB2533623 does (or failing with
// another error, as g_firstTryError says).
HMODULE WINAPI FailingFirstTry(LPCWSTR, HANDLE, DWORD flags)
{
    ++g_firstTries;
    EXPECT_EQ(flags, static_cast<DWORD>(LOAD_LIBRARY_SEARCH_SYSTEM32));
    SetLastError(g_firstTryError);
    return nullptr;
}

Module LoadWithFirstTryFailing(const wchar_t* name, DWORD error)
{
    g_firstTries = 0;
    g_firstTryError = error;
    Module module = LoadSystemLibrary(name, &FailingFirstTry);
    EXPECT_EQ(g_firstTries, 1) << "one first try";
    return module;
}

std::wstring SystemFolder()
{
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, length < MAX_PATH ? length : 0);
}

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

TEST(LoadSystemLibrary, RefusedSearchFlagLoadsTheLibraryByItsPathInTheSystemFolder)
{
    for (const char* narrow : {"comdlg32.dll", "shcore.dll"}) {
        SCOPED_TRACE(narrow);
        const std::wstring name = FromUtf8(narrow);
        const Module module = LoadWithFirstTryFailing(name.c_str(), ERROR_INVALID_PARAMETER);
        ASSERT_TRUE(module);
        const std::wstring path = GetModulePath(module.Get());
        EXPECT_TRUE(SamePath(path, SystemFolder() + L"\\" + name)) << ToUtf8(path);
    }
    // Without a refusal the first try is all there is.
    EXPECT_TRUE(LoadSystemLibrary(L"comdlg32.dll"));
}

TEST(LoadSystemLibrary, OtherFailuresAndPlantedLibrariesLoadNothing)
{
    // A failure other than the refused flag is not tried again.
    EXPECT_FALSE(LoadWithFirstTryFailing(L"comdlg32.dll", ERROR_MOD_NOT_FOUND));

    // sfplanted.dll lies beside this program, where a load by the bare name finds it (as
    // it would find one planted in the current folder); the system folder lacks it.
    EXPECT_FALSE(LoadWithFirstTryFailing(L"sfplanted.dll", ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(Module(LoadLibraryW(L"sfplanted.dll"))) << "the planted library cannot be loaded at all";
}

}  // namespace
