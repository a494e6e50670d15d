#include <gtest/gtest.h>

#include <windows.h>

#include "common/modulepath.h"
#include "syncfolderapp/app.h"
#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/tempdir.h"
#include "uikit/application_win.h"

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

TEST(CAppExit, LinesStillQueuedForTheLogReachItsFileAndTheExitCodeStaysZero)
{
    testsupport::TempDir work;
    // Far more lines than the log engine queues, so that its queue is full at the exit.
    const int lines = 20000;
    testsupport::ChildProcess helper(testsupport::ProgramBesideThisOne(L"app_exit_helper.exe"),
                                     {work.wpath(), std::to_wstring(lines)});
    ASSERT_TRUE(helper.Started());
    DWORD exitCode = 1;
    ASSERT_TRUE(helper.Wait(exitCode));
    EXPECT_EQ(exitCode, 0u);

    std::vector<std::string> written;
    for (const std::string& name : testsupport::ListNames(work.path() / "datadb" / "log")) {
        for (const std::string& line : testsupport::ReadLines(work.path() / "datadb" / "log" / name))
            written.push_back(line.substr(line.find(']') + 2));
    }
    ASSERT_EQ(written.size(), static_cast<std::size_t>(lines));
    EXPECT_EQ(written.front(), "line 0, LINE:1");
    EXPECT_EQ(written.back(), "line " + std::to_string(lines - 1) + ", LINE:1");
}
