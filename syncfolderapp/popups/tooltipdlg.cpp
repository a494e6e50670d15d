#include "syncfolderapp/popups/tooltipdlg.h"

#include <memory>
#include <utility>

#include "syncfolderapp/popups/modetexts.h"
#include "syncfolderapp/popups/popuplayouts.h"
#include "syncfolderapp/popups/popupwindow.h"

namespace {

// Touched only by the hover and leave handlers on the UI thread.
CToolTipDlg* g_currentTip = nullptr;

}  // namespace

CToolTipDlg::CToolTipDlg(std::string layoutId, int anchorX, int anchorY, int mode)
    : uikit::SHostWnd(std::move(layoutId)), anchorX_(anchorX), anchorY_(anchorY), mode_(mode)
{
}

POINT CToolTipDlg::PlacedOrigin(int anchorX, int anchorY, int mode, int, int height, POINT current)
{
    if (mode == kPlaceAbove)
        return {anchorX, anchorY - height};
    return current;
}

LRESULT CToolTipDlg::OnMessage(UINT msg, WPARAM, LPARAM lParam, BOOL& handled)
{
    handled = FALSE;
    if (msg == WM_WINDOWPOSCHANGING) {
        // The layout sizes the window to its text; each new size is placed by the mode.
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!(pos->flags & SWP_NOSIZE)) {
            RECT rc{};
            GetWindowRect(hwnd_, &rc);
            const POINT current = (pos->flags & SWP_NOMOVE) ? POINT{rc.left, rc.top} : POINT{pos->x, pos->y};
            const POINT origin = PlacedOrigin(anchorX_, anchorY_, mode_, pos->cx, pos->cy, current);
            pos->x = origin.x;
            pos->y = origin.y;
            pos->flags &= ~SWP_NOMOVE;
        }
    }
    return 0;
}

void CToolTipDlg::OnFinalMessage(HWND)
{
    // However the window went, the reference must not outlive it.
    if (g_currentTip == this)
        g_currentTip = nullptr;
}

const wchar_t* ModeTipTextFor(const std::string& iconName)
{
    if (iconName == "img_sync_mir200_file")
        return kModeTipMir200Text;
    if (iconName == "img_sync_level_file")
        return kModeTipSameLevelText;
    return nullptr;
}

CToolTipDlg* ShowModeTip(const uikit::SControl& icon)
{
    const wchar_t* text = ModeTipTextFor(icon.Name());
    if (!text)
        return nullptr;
    const RECT iconRect = icon.ScreenRect();
    HideModeTip();

    // The window owns the object; the current reference only points at it.
    const int offset = icon.Scale(CToolTipDlg::kAnchorOffsetX);
    g_currentTip = ShowPopup(std::make_unique<CToolTipDlg>(ToolTipLayout(), iconRect.left - offset, iconRect.top,
                                                           CToolTipDlg::kPlaceAbove),
                             text);
    return g_currentTip;
}

void HideModeTip()
{
    if (!g_currentTip)
        return;
    CToolTipDlg* tip = g_currentTip;
    g_currentTip = nullptr;
    if (tip->Hwnd())
        DestroyWindow(tip->Hwnd());
}

CToolTipDlg* CurrentModeTip()
{
    return g_currentTip;
}
