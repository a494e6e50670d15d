#include "uikit/checkbox_win.h"

#include <algorithm>

#include <commctrl.h>

#include "common/winhandle.h"
#include "uikit/hostwnd_win.h"
#include "uikit/textdraw_win.h"

namespace uikit {

DWORD SCheck::ButtonStyle() const
{
    return SCheck::IsTabStop() ? WS_TABSTOP : 0;
}

bool SCheck::IsTabStop() const
{
    return node_.BoolAttr("focusable", true);
}

bool SCheck::Create(HWND parentHwnd)
{
    if (!CreateNative(parentHwnd, L"BUTTON", BS_CHECKBOX | ButtonStyle()))
        return false;
    FrameWhenBare();
    SetCheck(node_.BoolAttr("checked", false));
    return true;
}

void SCheck::FrameWhenBare()
{
    // The system draws a box's focus frame around its label, so a box without one would
    // show none: such a box gets the frame around all of it.
    if (text_.empty())
        SetWindowSubclass(hwnd_, &SCheck::BareBoxProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK SCheck::BareBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self)
{
    if (msg == WM_NCDESTROY)
        RemoveWindowSubclass(hwnd, &SCheck::BareBoxProc, 0);
    const LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
    if (msg == WM_SETFOCUS || msg == WM_KILLFOCUS)
        InvalidateRect(hwnd, nullptr, TRUE);
    else if (msg == WM_PAINT)
        reinterpret_cast<const SCheck*>(self)->DrawBareFocusFrame();
    return result;
}

void SCheck::DrawBareFocusFrame() const
{
    if (GetFocus() != hwnd_ || !host_.FocusCuesShown())
        return;
    const WindowDc dc(hwnd_);
    RECT client;
    GetClientRect(hwnd_, &client);
    SetTextColor(dc.Get(), RGB(0, 0, 0));
    SetBkColor(dc.Get(), RGB(255, 255, 255));
    DrawFocusRect(dc.Get(), &client);
}

Size SCheck::Measure(int) const
{
    // Box, gap and label.
    const Size label = MeasureText(Font(), text_, 0);
    const int box = Scale(16);
    return {box + (text_.empty() ? 0 : Scale(4) + label.cx), std::max(box, label.cy)};
}

void SCheck::Changed()
{
    EventArgs args{EventKind::CheckChanged, this, Name(), checked_};
    host_.FireEvent(args);
}

void SCheck::SetCheck(bool checked)
{
    if (hwnd_)
        SendMessageW(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (checked == checked_)
        return;
    checked_ = checked;
    Changed();
}

bool SCheck::Reflect(UINT msg, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        SetCheck(!checked_);
        result = 0;
        return true;
    }
    if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        const COLORREF back = InheritedBackColor();
        SetTextColor(dc, IsEnabled() ? ColorOr(style_.text, RGB(0x33, 0x33, 0x33))
                                     : ColorOr(style_.textDisable, RGB(0x99, 0x99, 0x99)));
        SetBkColor(dc, back);
        SetDCBrushColor(dc, back);
        result = reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
        return true;
    }
    return false;
}

bool SRadio::Create(HWND parentHwnd)
{
    if (!CreateNative(parentHwnd, L"BUTTON", BS_RADIOBUTTON | ButtonStyle()))
        return false;
    FrameWhenBare();
    if (node_.BoolAttr("checked", false))
        SetCheck(true);
    return true;
}

bool SRadio::SameGroup(const SRadio& other) const
{
    const std::string* mine = node_.Attr("group");
    const std::string* theirs = other.node_.Attr("group");
    if (mine || theirs)
        return mine && theirs && *mine == *theirs;
    return parent_ == other.parent_;
}

std::vector<SRadio*> SRadio::ReachableGroup() const
{
    std::vector<SRadio*> group;
    host_.ForEachControl([&](SControl& control) {
        auto* radio = dynamic_cast<SRadio*>(&control);
        if (radio && (radio == this || SameGroup(*radio)) && radio->IsReachable())
            group.push_back(radio);
    });
    return group;
}

bool SRadio::IsTabStop() const
{
    if (!SCheck::IsTabStop())
        return false;
    const std::vector<SRadio*> group = ReachableGroup();
    const auto checked = std::find_if(group.begin(), group.end(), [](const SRadio* r) { return r->IsChecked(); });
    return checked != group.end() ? *checked == this : !group.empty() && group.front() == this;
}

bool SRadio::OnKey(UINT key, bool ctrl)
{
    const bool back = key == VK_LEFT || key == VK_UP;
    if (ctrl || (!back && key != VK_RIGHT && key != VK_DOWN))
        return false;
    const std::vector<SRadio*> group = ReachableGroup();
    const auto at = std::find(group.begin(), group.end(), this);
    if (group.size() < 2 || at == group.end())
        return true;
    const size_t index = static_cast<size_t>(at - group.begin());
    SRadio* next = group[(index + (back ? group.size() - 1 : 1)) % group.size()];
    SetFocus(next->Hwnd());
    next->SetCheck(true);
    return true;
}

void SRadio::SetCheck(bool checked)
{
    SCheck::SetCheck(checked);
    if (!checked)
        return;
    host_.ForEachControl([this](SControl& control) {
        auto* radio = dynamic_cast<SRadio*>(&control);
        if (radio && radio != this && radio->IsChecked() && SameGroup(*radio))
            radio->SCheck::SetCheck(false);
    });
}

bool SRadio::Reflect(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        // A click on a radio only ever checks it.
        SetCheck(true);
        result = 0;
        return true;
    }
    return SCheck::Reflect(msg, wParam, lParam, result);
}

}  // namespace uikit
