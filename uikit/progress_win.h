#pragma once

#include "uikit/control_win.h"

namespace uikit {

// A progress bar over a range with the percentage written on it.
class SProgress : public SControl {
public:
    using SControl::SControl;
    void SetRange(int low, int high);
    void SetValue(int value);
    int GetValue() const;
    int Percent() const;

protected:
    void Paint(HDC dc, const RECT& client) override;
};

}  // namespace uikit
