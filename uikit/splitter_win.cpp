#include "uikit/splitter_win.h"

#include <windowsx.h>

#include "uikit/hostwnd_win.h"
#include "uikit/layoutengine.h"

namespace uikit {

SSplitWnd::SSplitWnd(SHostWnd& host, LayoutNode& node, SControl* parent)
    : SWindow(host, node, parent), draggable_(node.BoolAttr("draggable", true))
{
}

std::vector<LayoutNode*> SSplitWnd::Panes() const
{
    std::vector<LayoutNode*> panes;
    for (auto& child : node_.children) {
        if (child->IsBox() && child->box.visible && child->box.posCount == 0)
            panes.push_back(child.get());
    }
    return panes;
}

std::vector<int> SSplitWnd::PaneSizes() const
{
    std::vector<int> sizes;
    for (const LayoutNode* pane : Panes())
        sizes.push_back(node_.box.verticalSplit ? pane->rect.Height() : pane->rect.Width());
    return sizes;
}

int SSplitWnd::SeparatorAt(POINT client) const
{
    const auto panes = Panes();
    const bool vertical = node_.box.verticalSplit;
    const int at = vertical ? client.y + node_.rect.top : client.x + node_.rect.left;
    for (size_t i = 0; i + 1 < panes.size(); ++i) {
        const int from = vertical ? panes[i]->rect.bottom : panes[i]->rect.right;
        const int to = vertical ? panes[i + 1]->rect.top : panes[i + 1]->rect.left;
        if (at >= from && at < std::max(to, from + 1))
            return static_cast<int>(i);
    }
    return -1;
}

void SSplitWnd::DragSeparator(size_t index, int delta)
{
    const auto panes = Panes();
    std::vector<int> mins;
    for (const LayoutNode* pane : panes)
        mins.push_back(pane->box.paneMin);
    const std::vector<int> sizes = DragSplit(PaneSizes(), mins, index, delta);
    // The dragged sizes become the ideals, so later resizing starts from them.
    for (size_t i = 0; i < panes.size() && i < sizes.size(); ++i)
        panes[i]->box.ideal = sizes[i];
    host_.Relayout();
}

LRESULT SSplitWnd::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SETCURSOR: {
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(hwnd_, &pt);
        if (draggable_ && SeparatorAt(pt) >= 0) {
            SetCursor(LoadCursorW(nullptr, node_.box.verticalSplit ? IDC_SIZENS : IDC_SIZEWE));
            return TRUE;
        }
        break;
    }
    case WM_LBUTTONDOWN: {
        const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        dragging_ = draggable_ ? SeparatorAt(pt) : -1;
        if (dragging_ >= 0) {
            dragOrigin_ = node_.box.verticalSplit ? pt.y : pt.x;
            dragStartSizes_ = PaneSizes();
            SetCapture(hwnd_);
        }
        return 0;
    }
    case WM_MOUSEMOVE:
        if (dragging_ >= 0 && GetCapture() == hwnd_) {
            const int now = node_.box.verticalSplit ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam);
            const auto panes = Panes();
            // Start from the sizes at the press, so the separator follows the mouse exactly.
            for (size_t i = 0; i < panes.size() && i < dragStartSizes_.size(); ++i)
                panes[i]->box.ideal = dragStartSizes_[i];
            host_.Relayout();
            DragSeparator(static_cast<size_t>(dragging_), now - dragOrigin_);
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (dragging_ >= 0) {
            dragging_ = -1;
            if (msg == WM_LBUTTONUP)
                ReleaseCapture();
        }
        return 0;
    default:
        break;
    }
    return SWindow::WndProc(msg, wParam, lParam);
}

}  // namespace uikit
