#pragma once

// Containers: a plain window (background colour or skin, border skin), the caption area
// that drags the host window, the header-less tab control whose pages are child layouts,
// and the splitter between panes.

#include <vector>

#include "uikit/control_win.h"

namespace uikit {

class SWindow : public SControl {
public:
    using SControl::SControl;
    bool IsContainer() const override { return true; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

class STabCtrl : public SWindow {
public:
    STabCtrl(SHostWnd& host, LayoutNode& node, SControl* parent);
    bool Create(HWND parentHwnd) override;
    int GetPageCount() const;
    int GetCurSel() const { return current_; }
    // Shows page `index`; false for an index out of range.
    bool SetCurSel(int index);

private:
    std::vector<LayoutNode*> Pages() const;
    int current_ = 0;
};

class SSplitWnd : public SWindow {
public:
    using SWindow::SWindow;
    // Moves separator `index` (after pane `index`) by `delta` pixels, keeping pane minimums.
    void DragSeparator(size_t index, int delta);
    std::vector<int> PaneSizes() const;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    std::vector<LayoutNode*> Panes() const;
    int SeparatorAt(POINT client) const;
    int dragging_ = -1;
    int dragOrigin_ = 0;
    std::vector<int> dragStartSizes_;
};

}  // namespace uikit
