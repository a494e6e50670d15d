#pragma once

#include "uikit/control_win.h"
#include "uikit/textdraw_win.h"

namespace uikit {

// Button, image button and hyperlink: skin frames for normal, hover, pressed and disabled,
// text colours per state, optional underline (always or on hover), hand cursor, a
// tooltip, and no focus frame. A click is a press and release inside the control; a
// hyperlink then opens its `href`. The tooltip window is made when the mouse first
// enters the button: a top-level window costs start-up time, and most are never needed.
class SButton : public SControl {
public:
    using SControl::SControl;
    ~SButton() override;
    bool Create(HWND parentHwnd) override;
    Size Measure(int maxWidth) const override;
    enum State { Normal = 0, Hover = 1, Pressed = 2, Disabled = 3 };
    State CurrentState() const;

protected:
    void Paint(HDC dc, const RECT& client) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Click();

private:
    COLORREF TextColor(State state) const;
    // Makes the tooltip on the first mouse move and hands it that move.
    void MakeTooltip(const MSG& move);
    bool hover_ = false;
    bool pressed_ = false;
    std::wstring tip_;
    WindowHandle tooltip_;
};

}  // namespace uikit
