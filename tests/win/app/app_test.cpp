#include <gtest/gtest.h>

#include <windows.h>

#include "common/modulepath.h"
#include "syncfolderapp/app.h"
#include "tests/support/tempdir.h"

namespace {

std::wstring CurrentDirectory()
{
    std::wstring buffer(32768, L'\0');
    buffer.resize(GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data()));
    if (!buffer.empty() && buffer.back() != L'\\')
        buffer += L'\\';
    return buffer;
}

std::wstring DirectoryOf(const std::wstring& path)
{
    return path.substr(0, path.rfind(L'\\') + 1);
}

}  // namespace

TEST(CAppInit, MakesTheProgramDirectoryCurrentWhereverItWasStarted)
{
    testsupport::TempDir elsewhere;
    ASSERT_TRUE(SetCurrentDirectoryW(elsewhere.wpath().c_str()));

    CApp& app = TheApp();
    ASSERT_TRUE(app.Init(GetModuleHandleW(nullptr)));

    const std::wstring expected = DirectoryOf(GetModulePath());
    EXPECT_EQ(app.ModuleDir(), expected);
    EXPECT_EQ(app.DataDir(), expected + L"datadb");
    EXPECT_EQ(_wcsicmp(CurrentDirectory().c_str(), expected.c_str()), 0);
    EXPECT_EQ(app.Instance(), GetModuleHandleW(nullptr));
}
