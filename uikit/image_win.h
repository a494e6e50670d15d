#pragma once

#include "uikit/control_win.h"

namespace uikit {

// An image frame: one frame of a skin strip. Reports the mouse entering (hover) and
// leaving it by name.
class SImage : public SControl {
public:
    SImage(SHostWnd& host, LayoutNode& node, SControl* parent);
    Size Measure(int maxWidth) const override;
    // Shows frame `frame`; false when the skin has no such frame.
    bool SetFrame(int frame);
    int GetFrame() const { return frame_; }

protected:
    void Paint(HDC dc, const RECT& client) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    int frame_;
    bool inside_ = false;
};

}  // namespace uikit
