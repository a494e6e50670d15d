#pragma once

#include "uikit/control_win.h"

namespace uikit {

// A progress bar over a range with the percentage written on it.
class SProgress : public SControl {
public:
    SProgress(SHostWnd& host, LayoutNode& node, SControl* parent);
    void SetRange(int low, int high);
    void SetValue(int value);
    int GetValue() const { return value_; }
    int Percent() const;

protected:
    void Paint(HDC dc, const RECT& client) override;

private:
    int low_;
    int high_;
    int value_;
    const bool showPercent_;
};

}  // namespace uikit
