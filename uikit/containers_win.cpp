#include "uikit/containers_win.h"

#include <windowsx.h>

namespace uikit {

bool SWindow::Create(HWND parentHwnd)
{
    const bool plainGroup = node_.kind == "window" && node_.name.empty() && node_.box.visible && !style_.back &&
                            !style_.skin && !style_.borderSkin && !style_.cursor && !node_.Attr("tip");
    return plainGroup || SControl::Create(parentHwnd);
}

LRESULT SWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCHITTEST) {
        // Plain containers take the mouse (an overlay blocks what lies beneath), except
        // where the host's sizing margin or caption is.
        return PassThroughHitTest(lParam, true);
    }
    if (msg == WM_SETCURSOR && style_.cursor) {
        SetCursor(LoadCursorW(nullptr, style_.cursor));
        return TRUE;
    }
    return SControl::WndProc(msg, wParam, lParam);
}

}  // namespace uikit
