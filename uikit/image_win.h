#pragma once

#include "uikit/control_win.h"

namespace uikit {

// An image frame: one frame of a skin strip. Reports the mouse entering (hover) and
// leaving it by name.
class SImage : public SControl {
public:
    using SControl::SControl;
    Size Measure(int maxWidth) const override;
    // Shows frame `frame`; false when the skin has no such frame.
    bool SetFrame(int frame);
    int GetFrame() const;

protected:
    void Paint(HDC dc, const RECT& client) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    bool inside_ = false;
};

}  // namespace uikit
