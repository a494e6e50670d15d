#include "uikit/tabctrl_win.h"

#include <algorithm>

#include "uikit/hostwnd_win.h"

namespace uikit {
namespace {

constexpr UINT_PTR kSlideTimer = 1;

}  // namespace

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
    host_.BuildOnDemand(*pages[static_cast<size_t>(index)]);
    current_ = index;
    for (size_t i = 0; i < pages.size(); ++i)
        pages[i]->box.visible = static_cast<int>(i) == index;
    host_.Relayout();
    for (size_t i = 0; i < pages.size(); ++i) {
        if (SControl* page = host_.ControlOf(pages[i]); page && page->Hwnd())
            ShowWindow(page->Hwnd(), static_cast<int>(i) == index ? SW_SHOWNA : SW_HIDE);
    }
    // The layout is final at once; only the page's window travels to its place.
    const int steps = node_.IntAttr("animateSteps", 0);
    SControl* page = host_.ControlOf(pages[static_cast<size_t>(index)]);
    if (steps > 0 && hwnd_ && IsWindowVisible(hwnd_) && page && page->Hwnd()) {
        sliding_ = page;
        slideStep_ = 0;
        slideSteps_ = steps;
        PlaceSlidingPage();
        ::SetTimer(hwnd_, kSlideTimer, 15, nullptr);
    }
    return true;
}

void STabCtrl::PlaceSlidingPage() const
{
    if (!sliding_ || !sliding_->Hwnd())
        return;
    const Rect& r = sliding_->Node().rect;
    const int offset = r.Width() * (slideSteps_ - slideStep_) / std::max(slideSteps_, 1);
    SetWindowPos(sliding_->Hwnd(), nullptr, r.left - node_.rect.left + offset, r.top - node_.rect.top, r.Width(),
                 r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT STabCtrl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_TIMER && wParam == kSlideTimer) {
        ++slideStep_;
        PlaceSlidingPage();
        if (slideStep_ >= slideSteps_) {
            ::KillTimer(hwnd_, kSlideTimer);
            sliding_ = nullptr;
        }
        return 0;
    }
    return SWindow::WndProc(msg, wParam, lParam);
}

}  // namespace uikit
