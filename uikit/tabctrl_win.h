#pragma once

#include <vector>

#include "uikit/containers_win.h"

namespace uikit {

// A tab control without headers: its children are pages (often child layouts loaded with
// <page src="LAYOUT:..."/>), one shown at a time. With `animateSteps`, a newly shown page
// slides in from the right in that many steps.
class STabCtrl : public SWindow {
public:
    STabCtrl(SHostWnd& host, LayoutNode& node, SControl* parent);
    int GetPageCount() const;
    int GetCurSel() const { return current_; }
    // Shows page `index`; false for an index out of range.
    bool SetCurSel(int index);
    // The pages not shown are built when first shown or looked up.
    bool BuildsOnDemand(const LayoutNode& child) const override { return !child.box.visible; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    std::vector<LayoutNode*> Pages() const;
    void PlaceSlidingPage() const;
    int current_ = 0;
    SControl* sliding_ = nullptr;
    int slideStep_ = 0;
    int slideSteps_ = 0;
};

}  // namespace uikit
