// The program on a system that reports Windows 7 (run-win7.sh sets the prefix's version):
// every function of newer systems is left to its fallback, and the built program starts,
// finds the version directory on D:, shows its main window laid out for the screen and
// ends cleanly when closed.

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "common/newerapi.h"
#include "common/textutil.h"
#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/screenshot.h"
#include "tests/support/tempdir.h"
#include "uikit/dpiscale.h"

namespace {

using namespace std::chrono_literals;

// Polls `condition` until it holds or the deadline (a guard against hangs) passes.
template <typename F>
bool PollUntil(F condition, std::chrono::milliseconds deadline = 60s)
{
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

// The visible main window (host class, no owner) of process `pid`.
HWND MainWindowOf(DWORD pid)
{
    struct Search {
        DWORD pid;
        HWND found;
    } search{pid, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t className[64] = {};
            GetClassNameW(window, className, 64);
            if (owner != s->pid || !IsWindowVisible(window) || GetWindow(window, GW_OWNER) ||
                std::wstring(className) != L"SearchHost")
                return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The rows of every list view in `window`, added up.
int ListRows(HWND window)
{
    int rows = 0;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM param) {
            wchar_t className[64] = {};
            GetClassNameW(child, className, 64);
            if (std::wstring(className) == WC_LISTVIEWW)
                *reinterpret_cast<int*>(param) += static_cast<int>(SendMessageW(child, LVM_GETITEMCOUNT, 0, 0));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&rows));
    return rows;
}

TEST(Windows7, TheReportedVersionLeavesEveryNewerFunctionToItsFallback)
{
    const WindowsVersion& version = RunningWindowsVersion();
    ASSERT_EQ(version.major, 6u) << "the prefix does not report Windows 7";
    ASSERT_EQ(version.minor, 1u) << "the prefix does not report Windows 7";
    // Wine exports them whatever it reports: the version alone keeps them out.
    ASSERT_NE(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow"), nullptr);
    const NewerApi& lookups = SystemNewerApi();
    EXPECT_EQ(lookups.getDpiForSystem, nullptr);
    EXPECT_EQ(lookups.getDpiForWindow, nullptr);
    EXPECT_EQ(lookups.getSystemMetricsForDpi, nullptr);
    EXPECT_EQ(lookups.getDpiForMonitor, nullptr);
    EXPECT_EQ(GetModuleHandleW(L"shcore.dll"), nullptr) << "shcore loaded on a system without it";
}

TEST(Windows7, TheProgramStartsScansShowsItsWindowAndEndsWhenClosed)
{
    const char* built = std::getenv("SF_PROGRAM");
    ASSERT_NE(built, nullptr) << "SF_PROGRAM names the built program";
    // A copy of its own, so that its data directory (beside it) starts empty.
    testsupport::TempDir folder;
    const std::wstring program = folder.wpath(L"syncfolder.exe");
    ASSERT_TRUE(CopyFileW(FromUtf8(built).c_str(), program.c_str(), FALSE));
    testsupport::TempDir versionDir(std::filesystem::path(L"D:\\"));
    testsupport::WriteFile(versionDir.path() / L"Mir200" / L"!Setup.txt", "[Setup]\r\n");

    testsupport::ChildProcess started(program, {});
    ASSERT_TRUE(started.Started());
    HWND window = nullptr;
    ASSERT_TRUE(PollUntil([&] { return (window = MainWindowOf(started.Id())) != nullptr; }))
        << "no main window appeared";
    // The start-up scan of D:, on the pool's worker, lists the version directory.
    EXPECT_TRUE(PollUntil([&] { return ListRows(window) > 0; })) << "the start-up scan listed nothing";

    RECT rect{};
    GetWindowRect(window, &rect);
    const int dpi = SystemDpi();
    EXPECT_EQ(rect.right - rect.left, uikit::ScalePx(900, dpi));
    EXPECT_EQ(rect.bottom - rect.top, uikit::ScalePx(600, dpi));
    std::this_thread::sleep_for(300ms);  // the scan's overlay goes once the list is filled
    EXPECT_FALSE(testsupport::SaveScreenshot(window, "win7-mainwnd").empty());

    PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD exitCode = 1;
    ASSERT_TRUE(started.Wait(exitCode, 60s)) << "the program did not end when closed";
    EXPECT_EQ(exitCode, 0u);
}

}  // namespace
