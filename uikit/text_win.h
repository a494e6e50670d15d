#pragma once

#include "uikit/control_win.h"
#include "uikit/textdraw_win.h"

namespace uikit {

// Static text: font, colour (and a disabled colour), alignment, wrapping at `maxwidth`
// or at the control's width when `multilines` is set.
class SText : public SControl {
public:
    SText(SHostWnd& host, LayoutNode& node, SControl* parent);
    Size Measure(int maxWidth) const override;

protected:
    void Paint(HDC dc, const RECT& client) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    const bool wraps_;
};

}  // namespace uikit
