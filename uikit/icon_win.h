#pragma once

#include <string>

#include "uikit/control_win.h"

namespace uikit {

// An icon resource at the control's size ("src" names the icon, e.g. ICON_LOGO).
class SIcon : public SControl {
public:
    SIcon(SHostWnd& host, LayoutNode& node, SControl* parent);
    Size Measure(int maxWidth) const override;

protected:
    void Paint(HDC dc, const RECT& client) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    const std::wstring source_;
};

}  // namespace uikit
