#pragma once

#include <vector>

#include "uikit/containers_win.h"

namespace uikit {

// Panes side by side (or stacked) with draggable separators between them.
class SSplitWnd : public SWindow {
public:
    SSplitWnd(SHostWnd& host, LayoutNode& node, SControl* parent);
    // Moves separator `index` (after pane `index`) by `delta` pixels, keeping pane minimums.
    void DragSeparator(size_t index, int delta);
    std::vector<int> PaneSizes() const;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    std::vector<LayoutNode*> Panes() const;
    int SeparatorAt(POINT client) const;
    const bool draggable_;
    int dragging_ = -1;
    int dragOrigin_ = 0;
    std::vector<int> dragStartSizes_;
};

}  // namespace uikit
