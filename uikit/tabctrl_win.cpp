#include "uikit/tabctrl_win.h"

#include "uikit/hostwnd_win.h"

namespace uikit {

STabCtrl::STabCtrl(SHostWnd& host, LayoutNode& node, SControl* parent) : SWindow(host, node, parent)
{
    current_ = node.IntAttr("cursel", 0);
    const auto pages = Pages();
    if (current_ < 0 || current_ >= static_cast<int>(pages.size()))
        current_ = 0;
    // Only the current page takes part in the layout and is shown.
    for (size_t i = 0; i < pages.size(); ++i)
        pages[i]->box.visible = static_cast<int>(i) == current_;
}

std::vector<LayoutNode*> STabCtrl::Pages() const
{
    std::vector<LayoutNode*> pages;
    for (auto& child : node_.children) {
        if (child->IsBox())
            pages.push_back(child.get());
    }
    return pages;
}

int STabCtrl::GetPageCount() const
{
    return static_cast<int>(Pages().size());
}

bool STabCtrl::SetCurSel(int index)
{
    const auto pages = Pages();
    if (index < 0 || index >= static_cast<int>(pages.size()))
        return false;
    if (index == current_)
        return true;
    current_ = index;
    for (size_t i = 0; i < pages.size(); ++i) {
        const bool show = static_cast<int>(i) == index;
        pages[i]->box.visible = show;
        pages[i]->SetAttr("visible", show ? "1" : "0");
    }
    host_.Relayout();
    for (size_t i = 0; i < pages.size(); ++i) {
        if (SControl* page = host_.ControlOf(pages[i]); page && page->Hwnd())
            ShowWindow(page->Hwnd(), static_cast<int>(i) == index ? SW_SHOWNA : SW_HIDE);
    }
    return true;
}

}  // namespace uikit
