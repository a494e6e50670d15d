#pragma once

// A plain container window (background colour or skin, border skin); also the caption
// area that drags the host window.

#include "uikit/control_win.h"

namespace uikit {

class SWindow : public SControl {
public:
    using SControl::SControl;
    bool IsContainer() const override { return true; }
    // A plain group (an unnamed "window" that shows nothing of its own: no colour, skin,
    // border, cursor or tooltip, and visible) only arranges its children: it gets no
    // window of its own, and they go into the nearest window above it. Fewer windows make
    // a window quicker to create, lay out and show.
    bool Create(HWND parentHwnd) override;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace uikit
