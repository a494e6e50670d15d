// Closing the main window, as the taskbar does, while one of its modal boxes is open.

#include <functional>

#include "tests/gui/mainwnd/mainwndenv.h"
#include "tests/support/pump.h"
#include "uikit/button_win.h"
#include "uikit/messagebox_win.h"

namespace mainwndtest {
namespace {

HWND g_closeTarget = nullptr;

// Asks the window to close 200 ms from now: a thread timer fires inside whatever loop
// dispatches this thread's messages then, a modal box's included.
void CloseSoon(HWND window)
{
    g_closeTarget = window;
    SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        PostMessageW(g_closeTarget, WM_CLOSE, 0, 0);
    });
}

struct ModalCase {
    const char* name;
    std::function<void()> arrange;  // before the button that opens the box is clicked
    const char* button;
    std::function<void()> check;  // once the button's handler has returned
};

TEST_F(MainWindowTest, ClosingWhileAModalBoxIsOpenClosesTheBoxFirstAndTheWindowAfterwards)
{
    bool ownerAliveAfterPicker = false;
    const ModalCase cases[] = {
        {"message box of the start button",
         [this] {
             uikit::SetMessageBoxHook(nullptr);
             ASSERT_TRUE(Click("but_sync_log"));
         },
         "btn_startsync",
         [this] {
             // The refused start took the file area off the log page, on live controls.
             EXPECT_EQ(FilePage(), 0);
             EXPECT_EQ(Control<uikit::SButton>("but_sync_log")->GetText(), L"查看日志");
         }},
        {"drive dialog", [] {}, "but_sel_drive", [] {}},
        {"file picker (a system dialog)",
         [&ownerAliveAfterPicker] {
             uikit::SetPickerHook([&ownerAliveAfterPicker](const uikit::PickerRequest& request) {
                 MessageBoxW(request.owner, L"D:\\games", L"Korvel文件同步工具", MB_OKCANCEL);
                 ownerAliveAfterPicker = IsWindow(request.owner) != FALSE;
                 return std::vector<std::wstring>{};
             });
         },
         "btn_addfile", [&ownerAliveAfterPicker] { EXPECT_TRUE(ownerAliveAfterPicker); }},
    };
    for (const ModalCase& c : cases) {
        OpenWindow();
        c.arrange();
        const HWND window = wnd->Hwnd();
        CloseSoon(window);
        // Returns once the box has been closed, to a window that is still there.
        ASSERT_TRUE(Click(c.button)) << c.name;
        ASSERT_TRUE(IsWindow(window)) << c.name;
        c.check();
        EXPECT_TRUE(testsupport::PumpUntil([window] { return !IsWindow(window); })) << c.name;
        CloseWindow();
    }
}

}  // namespace
}  // namespace mainwndtest
