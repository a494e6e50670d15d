#pragma once

#include <string>

#include "uikit/control_win.h"

namespace uikit {

// A native check box. Every change of its checked state, by the mouse or by SetCheck,
// is delivered as a check-state event.
class SCheck : public SControl {
public:
    using SControl::SControl;
    bool Create(HWND parentHwnd) override;
    Size Measure(int maxWidth) const override;
    bool Reflect(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    bool IsChecked() const { return checked_; }
    virtual void SetCheck(bool checked);

protected:
    void Changed();
    DWORD ButtonStyle() const;
    bool checked_ = false;
};

// A radio button; checking it unchecks the other radios of its group (the `group`
// attribute, or else the radios sharing its parent).
class SRadio : public SCheck {
public:
    using SCheck::SCheck;
    bool Create(HWND parentHwnd) override;
    bool Reflect(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void SetCheck(bool checked) override;
    bool SameGroup(const SRadio& other) const;
};

}  // namespace uikit
