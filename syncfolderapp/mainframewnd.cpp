#include "syncfolderapp/mainframewnd.h"

#include <shellapi.h>

#include "syncfolderapp/app.h"
#include "syncfolderapp/popups/tooltipdlg.h"
#include "syncfolderapp/sync/syncmessages.h"

CMainFrameWnd::CMainFrameWnd(std::wstring dataDir) : uikit::SHostWnd(kMainWndLayoutId), dataDir_(std::move(dataDir))
{
    SubscribeEvents();
}

void CMainFrameWnd::SubscribeEvents()
{
    OnCommand("btn_min", [this] { SendMessageW(hwnd_, WM_SYSCOMMAND, SC_MINIMIZE, 0); });
    OnCommand("btn_max", [this] { SendMessageW(hwnd_, WM_SYSCOMMAND, SC_MAXIMIZE, 0); });
    OnCommand("btn_restore", [this] { SendMessageW(hwnd_, WM_SYSCOMMAND, SC_RESTORE, 0); });
    OnCommand("btn_close", [this] { PostMessageW(hwnd_, WM_CLOSE, 0, 0); });
    for (const char* name : {"imgbtn_addfile", "btn_addfile", "but_add_file"})
        OnCommand(name, [this] { AddFilesByDialog(); });
    OnCommand("but_invert", [this] { InvertFiles(); });
    OnCommand("but_remove_file", [this] { RemoveCheckedFiles(); });
    OnCommand("but_clear_file", [this] { ClearFiles(); });
    OnCommand("but_sync_log", [this] { ToggleLogPage(); });
    OnCommand("btn_startsync", [this] { StartRun(); });
    OnCommand("but_stopsync", [this] { StopRun(); });
    OnCommand("but_back", [this] { BackToList(); });
    OnCommand("but_remove_engine", [this] { RemoveCheckedEngineFolders(); });
    OnCommand("but_clear_engine", [this] { ClearEngineFolders(); });
    OnCommand("but_addengine_folder", [this] { AddEngineFolderByDialog(); });
    for (const char* name : {"but_sel_drive", "but_drop_drive"})
        OnCommand(name, [this] { ChooseScanDrivesByDialog(); });
    OnCommand("but_refresh_drive", [this] { Rescan(); });
    OnCheckChanged("chk_file_all", [this](bool checked) { CheckAllFiles(checked); });
    OnCheckChanged("chk_engine_all", [this](bool checked) { CheckAllEngineFolders(checked); });
    for (const char* name : {"img_sync_mir200_file", "img_sync_level_file"}) {
        OnHover(name, [this, name] {
            if (uikit::SControl* icon = FindControl(name))
                ShowModeTip(*icon);
        });
        OnLeave(name, [] { HideModeTip(); });
    }
}

LRESULT CMainFrameWnd::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    handled = TRUE;
    switch (msg) {
    case WM_CREATE:
        SetWindowLongPtrW(hwnd_, GWL_STYLE, GetWindowLongPtrW(hwnd_, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_BORDER));
        handled = FALSE;
        return 0;
    case WM_INITDIALOG:
        InitDriver(*this, *this, dataDir_);
        return TRUE;
    case WM_SIZE:
        OnSize(wParam);
        handled = FALSE;
        return 0;
    case WM_CLOSE:
        CloseMainWindow();
        return 0;
    case WM_TIMER:
        if (wParam == TIMER_SCAN_ANIM)
            NextLoadingFrame();
        else if (wParam == TIMER_PROGRESS)
            RefreshProgress();
        handled = FALSE;
        return 0;
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case UM_SCAN_NOTIFY:
        OnScanNotify(wParam, lParam);
        return 1;
    case UM_SYNC_NOTIFY:
        if (wParam == SYNC_BEGIN)
            OnSyncBegin();
        else if (wParam == SYNC_END)
            OnSyncEnd(static_cast<std::int32_t>(lParam));
        return 0;
    case UM_LOG_NOTIFY:
        DrainLogQueue(wParam);
        return 0;
    default:
        handled = FALSE;
        return 0;
    }
}

void CMainFrameWnd::OnSize(WPARAM kind)
{
    uikit::SControl* restore = FindControl("btn_restore");
    uikit::SControl* maximize = FindControl("btn_max");
    if (!restore || !maximize)
        return;
    if (kind == SIZE_MAXIMIZED) {
        restore->SetVisible(true);
        maximize->SetVisible(false);
    } else if (kind == SIZE_RESTORED) {
        restore->SetVisible(false);
        maximize->SetVisible(true);
    }
}

void CMainFrameWnd::OnDropFiles(HDROP drop)
{
    const std::vector<std::wstring> paths = DroppedPaths(drop);
    if (!paths.empty()) {
        POINT cursor{};
        GetCursorPos(&cursor);
        ScreenToClient(hwnd_, &cursor);
        HandleDrop(paths, cursor);
    }
    DragFinish(drop);
}

std::vector<std::wstring> DroppedPaths(HDROP drop)
{
    std::vector<std::wstring> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        // Asked for its length first, so no path is cut at MAX_PATH.
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        const UINT copied = DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(copied);
        if (!path.empty())
            paths.push_back(std::move(path));
    }
    return paths;
}
