#include <gtest/gtest.h>

#include <windows.h>

#include "common/modulepath.h"
#include "syncfolderapp/app.h"
#include "uikit/application_win.h"
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

TEST(CAppInit, PreparesTheToolkitWithItsHostClassAndNamedIdentifiers)
{
    CApp& app = TheApp();
    ASSERT_TRUE(app.Init(GetModuleHandleW(nullptr)));
    ASSERT_NE(app.Application(), nullptr);

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    EXPECT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), L"SearchHost", &wc));
    EXPECT_EQ(app.Application()->NamedId("btn_close"), 65536);
    EXPECT_EQ(app.Application()->NamedId("chk_def_sel"), 65546);
    EXPECT_EQ(app.Application()->NamedId("lv_errorlog"), 65553);
    EXPECT_EQ(app.Application()->NamedId("lv_engine_folder"), 0);
}
