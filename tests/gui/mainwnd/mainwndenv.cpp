#include "tests/gui/mainwnd/mainwndenv.h"

#include <shlobj.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "common/textutil.h"
#include "syncfolderapp/namedids.h"
#include "syncfolderapp/popups/popuplayouts.h"
#include "syncfolderapp/popups/toastwnd.h"
#include "syncfolderapp/sync/syncmessages.h"
#include "tests/gui/support/toolkitenv.h"
#include "tests/support/files.h"
#include "tests/support/pump.h"
#include "tests/support/screenshot.h"
#include "tests/support/tempdir.h"
#include "uikit/automation_win.h"
#include "uikit/containers_win.h"
#include "uikit/listbox_win.h"
#include "uikit/listctrl_win.h"
#include "uikit/messagebox_win.h"
#include "uikit/tabctrl_win.h"

namespace fs = std::filesystem;

namespace mainwndtest {
namespace {

// The program's working directory: the log engine writes below .\datadb\log, relative to
// it, as the program does next to its executable. Kept for the whole test program, since
// the log engine runs until the process ends.
testsupport::TempDir& WorkDir()
{
    static auto* dir = new testsupport::TempDir();
    return *dir;
}

std::vector<std::wstring> ColumnOne(const uikit::SListCtrl* list)
{
    std::vector<std::wstring> rows;
    for (int row = 0; list && row < list->GetItemCount(); ++row)
        rows.push_back(list->GetItemText(row, 1));
    return rows;
}

int PageOf(const uikit::STabCtrl* tab)
{
    return tab ? tab->GetCurSel() : -1;
}

// A shell drop of `paths` as the system delivers it to WM_DROPFILES.
HGLOBAL MakeDrop(const std::vector<std::wstring>& paths)
{
    size_t chars = 1;
    for (const std::wstring& p : paths)
        chars += p.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    auto* text = reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(header) + sizeof(DROPFILES));
    for (const std::wstring& p : paths) {
        std::copy(p.begin(), p.end(), text);
        text += p.size() + 1;
    }
    GlobalUnlock(memory);
    return memory;
}

}  // namespace

void DropAt(HWND window, const std::vector<std::wstring>& paths, POINT screenPoint)
{
    SetCursorPos(screenPoint.x, screenPoint.y);
    SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
}

POINT CentreOf(const uikit::SControl& control)
{
    const RECT r = control.ScreenRect();
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void ClearDrive(const wchar_t* root)
{
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(root, ec)) {
        fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ec);
        fs::remove_all(entry.path(), ec);
    }
}

void MakeEngineFolder(const std::wstring& dir)
{
    testsupport::WriteFile(fs::path(dir) / L"Mir200" / L"!Setup.txt", "[Setup]\r\n");
}

void WriteText(const std::wstring& file, const std::string& content)
{
    testsupport::WriteFile(fs::path(file), content);
}

std::string ReadText(const std::wstring& file)
{
    return testsupport::ReadFile(fs::path(file));
}

void Snapshot(HWND window, const std::string& name)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    testsupport::PumpFor(std::chrono::milliseconds(150));
    EXPECT_FALSE(testsupport::SaveScreenshot(window, name).empty()) << name;
}

std::wstring ReadLogFiles()
{
    std::wstring all;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(MainWindowTest::LogDir(), ec)) {
        const std::string bytes = testsupport::ReadFile(entry.path());
        if (bytes.empty())
            continue;
        all += FromAnsi(bytes);
    }
    return all;
}

void MainWindowTest::SetUpTestSuite()
{
    testsupport::ToolkitApp(NamedControlIds());
    SetPopupLayouts("LAYOUT:XML_TOAST", "LAYOUT:XML_TOOLTIP");
    SetCurrentDirectoryW(WorkDir().wpath().c_str());
}

std::wstring MainWindowTest::DataDir()
{
    return WorkDir().wpath(L"datadb");
}

fs::path MainWindowTest::LogDir()
{
    return WorkDir().path() / "datadb" / "log";
}

void MainWindowTest::SetUp()
{
    ClearDrive(L"D:\\");
    ClearDrive(L"E:\\");
    std::error_code ec;
    fs::remove(fs::path(DataDir()) / "syncfile.config", ec);
    MakeEngineFolder(L"D:\\games\\srv1");
    MakeEngineFolder(L"D:\\games\\srv2");
    MakeEngineFolder(L"E:\\mir\\s3");
    seams.afterWorkerLine = workerHold.Hook();
    uikit::SetMessageBoxHook([this](HWND, const std::wstring& text, const std::wstring& caption, UINT type) {
        messages.push_back({text, caption, type});
        return IDOK;
    });
    uikit::SetPickerHook([this](const uikit::PickerRequest&) {
        if (pickerAnswers.empty())
            return std::vector<std::wstring>{};
        std::vector<std::wstring> answer = pickerAnswers.front();
        pickerAnswers.erase(pickerAnswers.begin());
        return answer;
    });
}

void MainWindowTest::TearDown()
{
    workerHold.Release();
    CloseWindow();
    uikit::SetMessageBoxHook({});
    uikit::SetPickerHook({});
    ClearDrive(L"D:\\");
    ClearDrive(L"E:\\");
}

void MainWindowTest::OpenWindow()
{
    wnd = new CMainFrameWnd(DataDir(), seams);
    ASSERT_NE(wnd->Create(nullptr), nullptr);
    SendMessageW(wnd->Hwnd(), WM_INITDIALOG, 0, 0);
    wnd->CenterWindow();
    wnd->ShowNormal();
    ASSERT_TRUE(WaitForScanEnd());
}

void MainWindowTest::CloseWindow()
{
    if (!wnd)
        return;
    if (IsWindow(wnd->Hwnd()))
        SendMessageW(wnd->Hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(wnd->Hwnd()));
    delete wnd;
    wnd = nullptr;
    // Toasts close themselves after two seconds; none may outlive its test.
    testsupport::PumpUntil([this] { return ToastCount() == 0; }, std::chrono::seconds(5));
}

bool MainWindowTest::WaitForScanEnd()
{
    // The scan sends SCAN_END only after a pause of 200 ms at its end.
    testsupport::PumpFor(std::chrono::milliseconds(50));
    const auto* overlay = Control<uikit::SWindow>("win_loading");
    return testsupport::PumpUntil([overlay] { return !overlay->IsVisible(); }, std::chrono::seconds(30));
}

bool MainWindowTest::WaitForRunEnd()
{
    return testsupport::PumpUntil([this] { return BarPage() == 0; }, std::chrono::seconds(120));
}

bool MainWindowTest::Click(const char* name) const
{
    if (!uikit::ClickControl(*wnd, name))
        return false;
    // The mouse moves on, as an operator's does, so the control is not left highlighted.
    uikit::LeaveControl(*wnd, name);
    return true;
}

void MainWindowTest::FireCommand(const char* name) const
{
    uikit::EventArgs args;
    args.kind = uikit::EventKind::Command;
    args.sender = wnd->FindControl(name);
    args.name = name;
    wnd->FireEvent(args);
}

void MainWindowTest::DropOnFileArea(const std::vector<std::wstring>& paths) const
{
    DropAt(wnd->Hwnd(), paths, CentreOf(*Control<uikit::SControl>("tab_file")));
}

void MainWindowTest::DropOnEngineList(const std::vector<std::wstring>& paths) const
{
    DropAt(wnd->Hwnd(), paths, CentreOf(*Control<uikit::SControl>("lv_engine_folder")));
}

void MainWindowTest::ReportScanResults(std::vector<std::wstring> folders) const
{
    SendMessageW(wnd->Hwnd(), UM_SCAN_NOTIFY, SCAN_RESULTS, reinterpret_cast<LPARAM>(&folders));
}

std::vector<std::wstring> MainWindowTest::FileRows() const
{
    return ColumnOne(Control<uikit::SListCtrl>("lv_file"));
}

std::vector<bool> MainWindowTest::FileChecks() const
{
    const auto* list = Control<uikit::SListCtrl>("lv_file");
    std::vector<bool> checks;
    for (int row = 0; row < list->GetItemCount(); ++row)
        checks.push_back(list->GetCheckState(row));
    return checks;
}

std::vector<std::wstring> MainWindowTest::EngineRows() const
{
    return ColumnOne(Control<uikit::SListCtrl>("lv_engine_folder"));
}

std::vector<std::wstring> MainWindowTest::LogLines(bool errors) const
{
    const auto* list = Control<uikit::SListBox>(errors ? "lv_errorlog" : "lv_log");
    std::vector<std::wstring> lines;
    for (int i = 0; i < list->GetCount(); ++i)
        lines.push_back(list->GetText(i));
    return lines;
}

int MainWindowTest::FilePage() const
{
    return PageOf(Control<uikit::STabCtrl>("tab_file"));
}

int MainWindowTest::BarPage() const
{
    return PageOf(Control<uikit::STabCtrl>("tab_sync_bar"));
}

int MainWindowTest::ToastCount() const
{
    int count = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM param) {
            if (dynamic_cast<CToastWnd*>(uikit::SHostWnd::FromHwnd(hwnd)) && IsWindowVisible(hwnd))
                ++*reinterpret_cast<int*>(param);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

}  // namespace mainwndtest
