// The main window without the mouse: tab order, the list keys, F5, Esc on the preview,
// Enter on the undo question, clicks posted by other programs, the wheel, column widths
// and long log lines.

#include <filesystem>
#include <map>
#include <thread>

#include "common/winhandle.h"
#include "syncfolderapp/sync/syncmessages.h"
#include "tests/gui/mainwnd/mainwndenv.h"
#include "tests/gui/support/keys.h"
#include "tests/gui/support/modalstep.h"
#include "tests/gui/support/toolkitenv.h"
#include "tests/support/pump.h"
#include "tests/support/screenshot.h"
#include "uikit/button_win.h"
#include "uikit/checkbox_win.h"
#include "uikit/listbox_win.h"
#include "uikit/listctrl_win.h"
#include "uikit/messagebox_win.h"

namespace mainwndtest {
namespace {

using Paths = std::vector<std::wstring>;
using Names = std::vector<std::string>;
using testsupport::kAlt;
using testsupport::kCtrl;
using testsupport::kShift;
using testsupport::PressKey;

class KeyboardTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        OpenWindow();
        SetForegroundWindow(wnd->Hwnd());
    }

    std::string Focused() const
    {
        for (HWND at = GetFocus(); at; at = GetParent(at)) {
            if (const uikit::SControl* control = uikit::SControl::FromHwnd(at))
                return control->Name();
        }
        return {};
    }
    void Focus(const char* name) const { SetFocus(Control<uikit::SControl>(name)->Hwnd()); }

    // Starts a run over one file into the other version directory, held at its first line.
    void StartHeldRun()
    {
        WriteText(L"D:\\games\\srv1\\Mir200\\a.txt", "a");
        DropOnFileArea({L"D:\\games\\srv1\\Mir200\\a.txt"});
        workerHold.HoldAtLine(1);
        ASSERT_TRUE(Click("btn_startsync"));
        ASSERT_TRUE(workerHold.WaitUntilHeld());
    }
};

std::wstring ClipboardText()
{
    std::wstring text;
    if (!OpenClipboard(nullptr))
        return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

TEST_F(KeyboardTest, TabGoesThroughTheWindowInLayoutOrderAndTheArrowsChooseTheMode)
{
    DropOnFileArea({L"D:\\1.txt"});
    SetFocus(wnd->Hwnd());
    Names order;
    for (int i = 0; i < 28; ++i) {
        PressKey(VK_TAB);
        order.push_back(Focused());
    }
    // A new settings file chooses the same-level mode, so its radio is the group's stop.
    EXPECT_EQ(order, (Names{"link_web",
                            "btn_min",
                            "btn_max",
                            "btn_close",
                            "lv_file",
                            "chk_file_all",
                            "chk_def_sel",
                            "but_invert",
                            "but_remove_file",
                            "but_clear_file",
                            "but_add_file",
                            "but_sel_drive",
                            "but_drop_drive",
                            "but_refresh_drive",
                            "lv_engine_folder",
                            "chk_engine_all",
                            "but_remove_engine",
                            "but_clear_engine",
                            "but_addengine_folder",
                            "radio_sync_level_file",
                            "check_sync_backup",
                            "check_skip_same",
                            "check_verify_copy",
                            "btn_preview",
                            "btn_startsync",
                            "but_sync_log",
                            "link_qq",
                            "link_web"}));
    PressKey(VK_TAB, kShift);
    PressKey(VK_TAB, kShift);
    EXPECT_EQ(Focused(), "but_sync_log");

    Focus("radio_sync_level_file");
    PressKey(VK_RIGHT);
    EXPECT_EQ(Focused(), "radio_sync_mir200_file");
    EXPECT_TRUE(Control<uikit::SRadio>("radio_sync_mir200_file")->IsChecked());
    EXPECT_FALSE(Control<uikit::SRadio>("radio_sync_level_file")->IsChecked());
    // Space and Enter press the focused button: invert twice.
    Focus("but_invert");
    PressKey(VK_SPACE);
    EXPECT_EQ(FileChecks(), (std::vector<bool>{false}));
    PressKey(VK_RETURN);
    EXPECT_EQ(FileChecks(), (std::vector<bool>{true}));
    Snapshot(wnd->Hwnd(), "mainwnd-keyboard-focus");
}

TEST_F(KeyboardTest, DeleteRemovesTheCheckedRowsCtrlASelectsAllAndBothRespectARun)
{
    DropOnFileArea({L"D:\\1.txt", L"D:\\2.txt", L"D:\\3.txt"});
    auto* files = Control<uikit::SListCtrl>("lv_file");
    Focus("lv_file");
    PressKey('A', kCtrl);
    EXPECT_TRUE(files->IsSelected(0) && files->IsSelected(1) && files->IsSelected(2));
    files->SetCheckState(1, false);
    PressKey(VK_DELETE);
    EXPECT_EQ(FileRows(), (Paths{L"D:\\2.txt"}));

    ASSERT_EQ(EngineRows(), (Paths{L"D:\\games\\srv1", L"D:\\games\\srv2"}));
    Control<uikit::SListCtrl>("lv_engine_folder")->SetCheckState(0, false);
    Focus("lv_engine_folder");
    PressKey(VK_DELETE);
    EXPECT_EQ(EngineRows(), (Paths{L"D:\\games\\srv1"}));

    // During a run Delete is refused like the button, with the toast; F5 too.
    Control<uikit::SListCtrl>("lv_engine_folder")->SetCheckState(0, true);
    DropOnEngineList({L"D:\\games\\srv2"});
    Control<uikit::SListCtrl>("lv_engine_folder")->SetCheckState(0, false);
    StartHeldRun();
    const int toasts = ToastCount();
    Focus("lv_engine_folder");
    PressKey(VK_DELETE);
    PressKey(VK_F5);
    EXPECT_EQ(ToastCount(), toasts + 2);
    EXPECT_EQ(EngineRows(), (Paths{L"D:\\games\\srv1", L"D:\\games\\srv2"}));
    workerHold.Release();
    ASSERT_TRUE(WaitForRunEnd());
}

TEST_F(KeyboardTest, F5RescansUnlessTheLoadingOverlayCoversTheButton)
{
    ASSERT_TRUE(Click("but_clear_engine"));
    ReportScanResults({L"D:\\games\\srv1"});
    SendMessageW(wnd->Hwnd(), UM_SCAN_NOTIFY, SCAN_BEGIN, 0);
    Focus("btn_addfile");
    PressKey(VK_F5);  // the overlay lies over 刷新: nothing happens, as for the mouse
    EXPECT_EQ(EngineRows(), Paths{L"D:\\games\\srv1"});
    SendMessageW(wnd->Hwnd(), UM_SCAN_NOTIFY, SCAN_END, 0);
    PressKey(VK_F5);
    ASSERT_TRUE(WaitForScanEnd());
    EXPECT_EQ(EngineRows(), (Paths{L"D:\\games\\srv1", L"D:\\games\\srv2"}));
}

TEST_F(KeyboardTest, EscLeavesThePreviewAndEnterOnTheUndoQuestionAnswersNo)
{
    const std::wstring source = L"D:\\games\\srv1\\Mir200\\a.txt";
    const std::wstring target = L"D:\\games\\srv2\\Mir200\\a.txt";
    WriteText(source, "a");
    DropOnFileArea({source});
    ASSERT_TRUE(Click("btn_preview"));
    ASSERT_TRUE(testsupport::PumpUntil(
        [this] { return FilePage() == 3 && !Control<uikit::SControl>("win_loading")->IsVisible(); }));
    Focus("lv_plan");
    PressKey(VK_ESCAPE);
    EXPECT_EQ(FilePage(), 1) << "as 取消预览 does";
    EXPECT_FALSE(std::filesystem::exists(target));

    ASSERT_TRUE(Click("btn_startsync"));
    ASSERT_TRUE(WaitForRunEnd());
    ASSERT_EQ(ReadText(target), "a");
    // The real question opens on 否: Enter undoes nothing, Alt+Y undoes the run.
    uikit::SetMessageBoxHook(nullptr);
    std::string focused;
    testsupport::WhenDialogRuns([&focused](uikit::SHostDialog& box) {
        if (const uikit::SControl* control = uikit::SControl::FromHwnd(GetFocus()))
            focused = control->Name();
        PressKey(VK_TAB);  // the focus frame shows from now on
        PressKey(VK_TAB, kShift);
        RedrawWindow(box.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        testsupport::SaveScreenshot(box.Hwnd(), "mainwnd-undo-question-default-no");
        PressKey(VK_RETURN);
    });
    ASSERT_TRUE(Click("but_undo_sync"));
    testsupport::StopDialogSteps();
    EXPECT_EQ(focused, "msgbox_btn_" + std::to_string(IDNO));
    EXPECT_EQ(BarPage(), 0);
    EXPECT_EQ(ReadText(target), "a");
    testsupport::WhenDialogRuns([](uikit::SHostDialog&) { PressKey('Y', kAlt); });
    ASSERT_TRUE(Click("but_undo_sync"));
    testsupport::StopDialogSteps();
    ASSERT_TRUE(WaitForRunEnd());
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(KeyboardTest, CtrlCCopiesTheSelectedLogLinesOrAllOfThemAndLongLinesScrollSideways)
{
    const std::wstring longLine = L"同步文件成功:D:\\games\\srv1\\" + std::wstring(150, L'长') + L".txt";
    wnd->SyncReceiver().OnSyncLog(L"line one", 136);
    wnd->SyncReceiver().OnSyncLog(longLine, 136);
    wnd->SyncReceiver().OnSyncLog(L"line three", 136);
    ASSERT_TRUE(testsupport::PumpUntil([this] { return LogLines(false).size() == 3; }));
    ASSERT_TRUE(Click("but_sync_log"));
    auto* log = Control<uikit::SListBox>("lv_log");
    Focus("lv_log");
    PressKey('C', kCtrl);
    EXPECT_EQ(ClipboardText(), L"line one\r\n" + longLine + L"\r\nline three");
    SendMessageW(log->Hwnd(), LB_SETSEL, TRUE, 2);
    SendMessageW(log->Hwnd(), LB_SETSEL, TRUE, 1);
    PressKey('C', kCtrl);
    EXPECT_EQ(ClipboardText(), longLine + L"\r\nline three");
    PressKey('A', kCtrl);
    EXPECT_EQ(SendMessageW(log->Hwnd(), LB_GETSELCOUNT, 0, 0), 3);

    // The long line is wider than the list: it scrolls sideways to its end.
    RECT client;
    GetClientRect(log->Hwnd(), &client);
    EXPECT_GT(SendMessageW(log->Hwnd(), LB_GETHORIZONTALEXTENT, 0, 0), client.right);
    SCROLLINFO scroll{};
    scroll.cbSize = sizeof(scroll);
    scroll.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(log->Hwnd(), SB_HORZ, &scroll));
    EXPECT_GT(scroll.nMax, client.right);
    SendMessageW(log->Hwnd(), WM_HSCROLL, SB_RIGHT, 0);
    Snapshot(wnd->Hwnd(), "mainwnd-log-scrolled-sideways");
}

TEST_F(KeyboardTest, OperatorColumnWidthsSurviveWindowResizesWithoutASidewaysScrollBar)
{
    DropOnFileArea({L"D:\\1.txt"});
    auto* files = Control<uikit::SListCtrl>("lv_file");
    ASSERT_EQ(files->ColumnWidth(0), 150);
    // The operator drags the edge between the two columns 60 pixels to the right.
    const HWND header = files->Header();
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 10));
    SendMessageW(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(210, 10));
    SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(210, 10));
    ASSERT_EQ(files->ColumnWidth(0), 210);
    for (const SIZE size : {SIZE{1100, 700}, SIZE{760, 500}}) {
        SetWindowPos(wnd->Hwnd(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        testsupport::PumpFor(std::chrono::milliseconds(50));
        RECT client;
        GetClientRect(files->Hwnd(), &client);
        EXPECT_EQ(files->ColumnWidth(0), 210) << size.cx;
        EXPECT_LE(files->ColumnWidth(0) + files->ColumnWidth(1), client.right) << size.cx;
        EXPECT_FALSE(GetWindowLongW(files->Hwnd(), GWL_STYLE) & WS_HSCROLL) << size.cx;
    }
}

// Posts `message` to the window from another process and waits until it was posted.
bool PostFromAnotherProcess(HWND window, UINT message)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring program = self;
    program = program.substr(0, program.rfind(L'\\') + 1) + L"postmsg.exe";
    std::wstring command = L"\"" + program + L"\" " + std::to_wstring(reinterpret_cast<UINT_PTR>(window)) + L" " +
                           std::to_wstring(message);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    const KernelHandle process(info.hProcess);
    const KernelHandle thread(info.hThread);
    DWORD code = 1;
    return WaitForSingleObject(process.Get(), 20000) == WAIT_OBJECT_0 && GetExitCodeProcess(process.Get(), &code) &&
           code == 0;
}

TEST_F(KeyboardTest, BmClickPostedByAnotherProgramDoesWhatAClickDoesOnEveryButton)
{
    std::map<std::string, int> commands;
    testsupport::BuildEveryPage(*wnd);
    wnd->ForEachControl([&](uikit::SControl& control) {
        if (control.Kind() == "button" || control.Kind() == "imgbtn")
            wnd->OnCommand(control.Name(), [&commands, name = control.Name()] { ++commands[name]; });
    });
    const auto postClick = [&](const char* name) {
        const int before = commands[name];
        EXPECT_TRUE(PostFromAnotherProcess(Control<uikit::SControl>(name)->Hwnd(), BM_CLICK)) << name;
        EXPECT_TRUE(testsupport::PumpUntil([&] { return commands[name] > before; })) << name;
        EXPECT_EQ(commands[name], before + 1) << name;
    };
    const auto escapeTheDriveDialog = [] {
        testsupport::WhenDialogRuns([](uikit::SHostDialog&) { PressKey(VK_ESCAPE); });
    };

    // The empty file area, the version directories and the idle bar.
    for (const char* name : {"imgbtn_addfile", "btn_addfile", "btn_startsync", "but_remove_engine", "but_clear_engine",
                             "but_addengine_folder"})
        postClick(name);
    EXPECT_EQ(messages.size(), 1u);  // 请至少选择一个同步文件!
    EXPECT_TRUE(EngineRows().empty());
    for (const char* name : {"but_sel_drive", "but_drop_drive"}) {
        escapeTheDriveDialog();
        postClick(name);
    }
    postClick("but_refresh_drive");
    ASSERT_TRUE(WaitForScanEnd());
    // The file list page, then the log page and back.
    DropOnFileArea({L"D:\\1.txt"});
    for (const char* name : {"but_invert", "but_remove_file", "but_add_file", "but_clear_file", "but_sync_log"})
        postClick(name);
    EXPECT_EQ(FilePage(), 2);
    postClick("but_back");
    EXPECT_EQ(FilePage(), 0);
    // The running bar.
    StartHeldRun();
    postClick("but_stopsync");
    workerHold.Release();
    ASSERT_TRUE(WaitForRunEnd());
    // Under the loading overlay a posted click does nothing, as a mouse click cannot reach.
    SendMessageW(wnd->Hwnd(), UM_SCAN_NOTIFY, SCAN_BEGIN, 0);
    EXPECT_TRUE(PostFromAnotherProcess(Control<uikit::SControl>("but_sel_drive")->Hwnd(), BM_CLICK));
    testsupport::PumpFor(std::chrono::milliseconds(200));
    EXPECT_EQ(commands["but_sel_drive"], 1);
    SendMessageW(wnd->Hwnd(), UM_SCAN_NOTIFY, SCAN_END, 0);
    // The window buttons, closing last.
    postClick("btn_max");
    EXPECT_TRUE(IsZoomed(wnd->Hwnd()));
    postClick("btn_restore");
    postClick("btn_min");
    EXPECT_TRUE(IsIconic(wnd->Hwnd()));
    ShowWindow(wnd->Hwnd(), SW_RESTORE);
    postClick("btn_close");
    EXPECT_TRUE(testsupport::PumpUntil([this] { return !IsWindow(wnd->Hwnd()); }));
    testsupport::StopDialogSteps();
    EXPECT_EQ(commands.size(), 20u);
}

int g_wheelDeliveries = 0;

LRESULT CALLBACK CountWheel(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && reinterpret_cast<const CWPSTRUCT*>(lParam)->message == WM_MOUSEWHEEL)
        ++g_wheelDeliveries;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(KeyboardTest, TheWheelTurnsTheListUnderTheCursorAndNothingBouncesIt)
{
    for (int i = 0; i < 100; ++i) {
        wnd->SyncReceiver().OnSyncLog(L"line " + std::to_wstring(i), 136);
        wnd->SyncReceiver().OnSyncError(L"error " + std::to_wstring(i), 5, 139);
    }
    ASSERT_TRUE(testsupport::PumpUntil([this] { return LogLines(true).size() == 100; }));
    ASSERT_TRUE(Click("but_sync_log"));
    const HWND log = Control<uikit::SControl>("lv_log")->Hwnd();
    const HWND errors = Control<uikit::SControl>("lv_errorlog")->Hwnd();
    SendMessageW(log, LB_SETTOPINDEX, 0, 0);
    SendMessageW(errors, LB_SETTOPINDEX, 0, 0);
    SetFocus(errors);
    const POINT overLog = CentreOf(*Control<uikit::SControl>("lv_log"));
    PostMessageW(errors, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(overLog.x, overLog.y));
    testsupport::PumpFor(std::chrono::milliseconds(50));
    EXPECT_GT(SendMessageW(log, LB_GETTOPINDEX, 0, 0), 0);
    EXPECT_EQ(SendMessageW(errors, LB_GETTOPINDEX, 0, 0), 0);

    // Over every control the wheel is handed on a bounded number of times, and the
    // window lives on.
    const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, CountWheel, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    wnd->ForEachControl([&](uikit::SControl& control) {
        if (!IsWindowVisible(control.Hwnd()))
            return;
        const POINT at = CentreOf(control);
        g_wheelDeliveries = 0;
        PostMessageW(control.Hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(at.x, at.y));
        testsupport::PumpFor(std::chrono::milliseconds(20));
        EXPECT_LE(g_wheelDeliveries, 12) << control.Name();
    });
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(IsWindowVisible(wnd->Hwnd()));
}

}  // namespace
}  // namespace mainwndtest
