#include "syncfolderapp/mainwnd/mainframewnd.h"

#include "syncfolderapp/app.h"
#include "syncfolderapp/sync/syncmessages.h"

CMainFrameWnd::CMainFrameWnd(std::wstring settingsDir, MainFrameSeams seams)
    : uikit::SHostWnd(kMainWndLayoutId), dataDir(std::move(settingsDir)), driver(*this, std::move(seams))
{
    SubscribeWindowButtons();
}

void CMainFrameWnd::SubscribeWindowButtons()
{
    OnCommand("btn_min", [this] { SendMessageW(hwnd_, WM_SYSCOMMAND, SC_MINIMIZE, 0); });
    OnCommand("btn_max", [this] { SendMessageW(hwnd_, WM_SYSCOMMAND, SC_MAXIMIZE, 0); });
    OnCommand("btn_restore", [this] { SendMessageW(hwnd_, WM_SYSCOMMAND, SC_RESTORE, 0); });
    OnCommand("btn_close", [this] { PostMessageW(hwnd_, WM_CLOSE, 0, 0); });
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
        driver.InitDriver(dataDir);
        return TRUE;
    case WM_SIZE:
        OnSize(wParam);
        handled = FALSE;
        return 0;
    case WM_CLOSE:
        driver.CloseMainWindow();
        return 0;
    case WM_TIMER:
        driver.OnTimer(wParam);
        handled = FALSE;
        return 0;
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case UM_SCAN_NOTIFY:
        driver.OnScanNotify(wParam, lParam);
        return 1;
    case UM_SYNC_NOTIFY:
        driver.OnSyncNotify(wParam, lParam);
        return 0;
    case UM_PLAN_NOTIFY:
        driver.OnPlanNotify(wParam, lParam);
        return 0;
    case UM_LOG_NOTIFY:
        driver.OnLogNotify(wParam);
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
        driver.OnDrop(paths, cursor);
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
