#pragma once

#include "uikit/control_win.h"
#include "uikit/textdraw_win.h"

namespace uikit {

// Button, image button and hyperlink: a native owner-drawn button, so that it takes the
// keyboard focus, answers BM_CLICK and shows accessibility tools its text and a button
// role. It paints skin frames for normal, hover, pressed and disabled, text colours per
// state, an optional underline (always or on hover), a hand cursor and a tooltip, and a
// dotted focus frame while it has the focus and its window is used from the keyboard.
//
// A click is the mouse pressed and released inside it, Space while it has the focus,
// BM_CLICK, or a press from the keyboard (Enter, its mnemonic, its `accel` key); it is
// delivered as a command, and a hyperlink then opens its `href`. Whatever the source, a
// click counts only when the operator could click the button (IsReachable).
// The tooltip window is made when the mouse first enters the button: a top-level window
// costs start-up time, and most are never needed.
class SButton : public SControl {
public:
    using SControl::SControl;
    ~SButton() override;
    bool Create(HWND parentHwnd) override;
    Size Measure(int maxWidth) const override;
    bool Reflect(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool IsTabStop() const override;

    // A click, from whatever source; false (and no command) when the button cannot be
    // clicked now.
    bool Press();
    // The letter after '&' in the text, in upper case, or 0.
    wchar_t Mnemonic() const;
    // The function key of the `accel` attribute ("F1" to "F12") as a virtual key, or 0.
    UINT AccelKey() const;
    // Enter presses the default button (`default="1"`) when the focus is not on a button.
    bool IsDefault() const;

protected:
    void Paint(HDC dc, const RECT& client) override;

private:
    enum State { Normal = 0, Hover = 1, Pressed = 2, Disabled = 3 };
    static LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnButtonMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void Draw(const DRAWITEMSTRUCT& item);
    COLORREF TextColor(State state) const;
    // Makes the tooltip on the first mouse move and hands it that move.
    void MakeTooltip(const MSG& move);
    bool hover_ = false;
    // What the system said at the last WM_DRAWITEM, for Paint.
    State drawState_ = Normal;
    bool drawFocus_ = false;
    std::wstring tip_;
    WindowHandle tooltip_;
};

}  // namespace uikit
