#pragma once

// A plain container window (background colour or skin, border skin); also the caption
// area that drags the host window.

#include "uikit/control_win.h"

namespace uikit {

class SWindow : public SControl {
public:
    using SControl::SControl;
    bool IsContainer() const override { return true; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace uikit
