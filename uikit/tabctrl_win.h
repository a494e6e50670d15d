#pragma once

#include <vector>

#include "uikit/containers_win.h"

namespace uikit {

// A tab control without headers: its children are pages (often child layouts loaded with
// <page src="LAYOUT:..."/>), one shown at a time.
class STabCtrl : public SWindow {
public:
    STabCtrl(SHostWnd& host, LayoutNode& node, SControl* parent);
    int GetPageCount() const;
    int GetCurSel() const { return current_; }
    // Shows page `index`; false for an index out of range.
    bool SetCurSel(int index);

private:
    std::vector<LayoutNode*> Pages() const;
    int current_ = 0;
};

}  // namespace uikit
