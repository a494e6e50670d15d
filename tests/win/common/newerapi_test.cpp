#include "common/newerapi.h"

#include <gtest/gtest.h>

#include <array>

#include "common/systemlibrary.h"
#include "common/winhandle.h"

namespace {

// What the module answers for a window: the system's density, the window's, and the
// width of a vertical scroll bar at three densities.
struct Answers {
    int systemDpi = 0;
    int windowDpi = 0;
    std::array<int, 3> scrollBar{};
    bool operator==(const Answers&) const = default;
};

Answers Ask(HWND window)
{
    return {SystemDpi(),
            WindowDpi(window),
            {SystemMetricForDpi(SM_CXVSCROLL, 96), SystemMetricForDpi(SM_CXVSCROLL, 144),
             SystemMetricForDpi(SM_CXVSCROLL, 192)}};
}

class NewerApiFallbacks : public ::testing::Test {
protected:
    void TearDown() override { OverrideNewerApi(nullptr); }
};

// Wine exports the newer functions whatever version it reports, so both sides can be
// asked on one system: Windows 8.1 has only GetDpiForMonitor, Windows 7 none of them.
TEST_F(NewerApiFallbacks, AnswerAsTheNewerFunctionsDo)
{
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    NewerApi newest;
    newest.getDpiForSystem = FindFunction<decltype(newest.getDpiForSystem)>(user32, "GetDpiForSystem");
    newest.getDpiForWindow = FindFunction<decltype(newest.getDpiForWindow)>(user32, "GetDpiForWindow");
    newest.getSystemMetricsForDpi =
        FindFunction<decltype(newest.getSystemMetricsForDpi)>(user32, "GetSystemMetricsForDpi");
    const Module shcore = LoadSystemLibrary(L"shcore.dll");
    NewerApi windows81;
    windows81.getDpiForMonitor = FindFunction<decltype(windows81.getDpiForMonitor)>(shcore.Get(), "GetDpiForMonitor");
    if (!newest.getDpiForSystem || !newest.getDpiForWindow || !newest.getSystemMetricsForDpi ||
        !windows81.getDpiForMonitor)
        GTEST_SKIP() << "this system lacks the newer functions to compare with";

    const WindowHandle window(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 10, 10, 100, 50, nullptr, nullptr,
                                              GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(window);
    OverrideNewerApi(&newest);
    const Answers expected = Ask(window.Get());
    EXPECT_GE(expected.systemDpi, 96);
    EXPECT_GT(expected.scrollBar[2], expected.scrollBar[0]);

    OverrideNewerApi(&windows81);
    EXPECT_EQ(Ask(window.Get()), expected) << "Windows 8.1";
    const NewerApi windows7{};
    OverrideNewerApi(&windows7);
    EXPECT_EQ(Ask(window.Get()), expected) << "Windows 7";
}

}  // namespace
