#include "uikit/keyboard_win.h"

#include <vector>

#include "uikit/button_win.h"
#include "uikit/checkbox_win.h"
#include "uikit/hostwnd_win.h"

namespace uikit {
namespace {

bool KeyHeld(int key)
{
    return GetKeyState(key) < 0;
}

bool IsLetterOrDigit(UINT key)
{
    return (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
}

// The window's control that has the focus (or holds the window that has it), or null.
SControl* FocusedControl(const SHostWnd& host)
{
    for (HWND at = GetFocus(); at && at != host.Hwnd(); at = GetParent(at)) {
        SControl* control = SControl::FromHwnd(at);
        if (control && &control->Host() == &host)
            return control;
    }
    return nullptr;
}

std::vector<SControl*> ControlsInOrder(const SHostWnd& host)
{
    std::vector<SControl*> controls;
    host.ForEachControl([&](SControl& control) { controls.push_back(&control); });
    return controls;
}

// The first reachable button for which `wanted` holds.
template <typename Wanted>
SButton* FindButton(const SHostWnd& host, Wanted wanted)
{
    SButton* found = nullptr;
    host.ForEachControl([&](SControl& control) {
        auto* button = dynamic_cast<SButton*>(&control);
        if (!found && button && wanted(*button) && button->IsReachable())
            found = button;
    });
    return found;
}

void MoveFocus(const SHostWnd& host, bool forward)
{
    const std::vector<SControl*> controls = ControlsInOrder(host);
    const int count = static_cast<int>(controls.size());
    int at = forward ? -1 : count;
    if (const SControl* focused = FocusedControl(host)) {
        for (int i = 0; i < count; ++i) {
            if (controls[static_cast<size_t>(i)] == focused)
                at = i;
        }
    }
    for (int tried = 0; tried < count; ++tried) {
        at = (at + (forward ? 1 : count - 1) + count) % count;
        SControl* candidate = controls[static_cast<size_t>(at)];
        if (candidate->IsTabStop() && candidate->IsReachable()) {
            SetFocus(candidate->Hwnd());
            return;
        }
    }
}

bool PressMnemonic(const SHostWnd& host, UINT key)
{
    SButton* button = FindButton(host, [key](const SButton& b) { return b.Mnemonic() == static_cast<wchar_t>(key); });
    return button && button->Press();
}

bool PressAccelerator(const SHostWnd& host, UINT key)
{
    SButton* button = FindButton(host, [key](const SButton& b) { return b.AccelKey() == key; });
    return button && button->Press();
}

bool PressFocusedOrDefault(const SHostWnd& host, SControl* focused)
{
    if (auto* button = dynamic_cast<SButton*>(focused))
        return button->Press();
    SButton* fallback = FindButton(host, [](const SButton& b) { return b.IsDefault(); });
    return fallback && fallback->Press();
}

bool HandleKey(SHostWnd& host, const MSG& msg)
{
    const auto key = static_cast<UINT>(msg.wParam);
    if (msg.message == WM_SYSKEYDOWN)
        return IsLetterOrDigit(key) && PressMnemonic(host, key);
    const bool ctrl = KeyHeld(VK_CONTROL);
    SControl* focused = FocusedControl(host);
    if (focused && focused->OnKey(key, ctrl))
        return true;
    switch (key) {
    case VK_TAB:
        if (ctrl)
            return false;
        MoveFocus(host, !KeyHeld(VK_SHIFT));
        return true;
    case VK_RETURN:
        return PressFocusedOrDefault(host, focused);
    case VK_ESCAPE:
        return host.OnEscape();
    default:
        break;
    }
    if (key >= VK_F1 && key <= VK_F12)
        return !ctrl && PressAccelerator(host, key);
    const bool onButtonOrBox = dynamic_cast<SButton*>(focused) || dynamic_cast<SCheck*>(focused);
    return !ctrl && onButtonOrBox && IsLetterOrDigit(key) && PressMnemonic(host, key);
}

}  // namespace

bool PreTranslateInput(const MSG& msg)
{
    const bool wheel = msg.message == WM_MOUSEWHEEL || msg.message == WM_MOUSEHWHEEL;
    if (!wheel && msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)
        return false;
    SHostWnd* host = SHostWnd::FromHwnd(GetAncestor(msg.hwnd, GA_ROOT));
    if (!host)
        return false;
    if (wheel) {
        SendMessageW(host->Hwnd(), msg.message, msg.wParam, msg.lParam);
        return true;
    }
    host->ShowFocusCues();
    return HandleKey(*host, msg);
}

void FocusFirstControl(const SHostWnd& host)
{
    MoveFocus(host, true);
}

}  // namespace uikit
