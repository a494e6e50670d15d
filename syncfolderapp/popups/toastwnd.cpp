#include "syncfolderapp/popups/toastwnd.h"

#include <memory>
#include <utility>

#include "syncfolderapp/popups/popuplayouts.h"
#include "syncfolderapp/popups/popupwindow.h"

CToastWnd::CToastWnd(std::string layoutId, int centerX, int centerY)
    : uikit::SHostWnd(std::move(layoutId)), centerX_(centerX), centerY_(centerY)
{
}

POINT CToastWnd::CenteredOrigin(int centerX, int centerY, int width, int height)
{
    return {static_cast<LONG>(centerX - width * 0.5), static_cast<LONG>(centerY - height * 0.5)};
}

LRESULT CToastWnd::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    handled = FALSE;
    if (msg == WM_WINDOWPOSCHANGING) {
        // The layout sizes the window to its text, so every new size re-centres it.
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!(pos->flags & SWP_NOSIZE)) {
            const POINT origin = CenteredOrigin(centerX_, centerY_, pos->cx, pos->cy);
            pos->x = origin.x;
            pos->y = origin.y;
            pos->flags &= ~SWP_NOMOVE;
        }
    } else if (msg == WM_TIMER && wParam == kCloseTimerId) {
        DestroyWindow(hwnd_);
    }
    return 0;
}

POINT WindowCenter(HWND window)
{
    RECT rc{};
    GetWindowRect(window, &rc);
    return {static_cast<LONG>(rc.left + (rc.right - rc.left) * 0.5),
            static_cast<LONG>(rc.top + (rc.bottom - rc.top) * 0.5)};
}

CToastWnd* ShowToast(HWND mainWnd, const std::wstring& text)
{
    const POINT center = WindowCenter(mainWnd);
    CToastWnd* toast = ShowPopup(std::make_unique<CToastWnd>(ToastLayout(), center.x, center.y), text);
    if (toast)
        toast->SetTimer(CToastWnd::kCloseTimerId, CToastWnd::kCloseAfterMs);
    return toast;
}
