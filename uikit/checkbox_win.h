#pragma once

#include <string>
#include <vector>

#include "uikit/control_win.h"

namespace uikit {

// A native check box. Every change of its checked state, by the mouse, the space bar or
// SetCheck, is delivered as a check-state event. Tab stops at it unless `focusable="0"`.
class SCheck : public SControl {
public:
    using SControl::SControl;
    bool Create(HWND parentHwnd) override;
    Size Measure(int maxWidth) const override;
    bool Reflect(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool IsTabStop() const override;

    bool IsChecked() const { return checked_; }
    virtual void SetCheck(bool checked);

protected:
    void Changed();
    // Gives a box without text a focus frame of its own.
    void FrameWhenBare();
    DWORD ButtonStyle() const;
    bool checked_ = false;

private:
    static LRESULT CALLBACK BareBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
    void DrawBareFocusFrame() const;
};

// A radio button; checking it unchecks the other radios of its group (the `group`
// attribute, or else the radios sharing its parent). A group is one Tab stop, its checked
// radio (the first one while none is checked); the arrow keys move the focus and the
// check to the previous or next radio of the group.
class SRadio : public SCheck {
public:
    using SCheck::SCheck;
    bool Create(HWND parentHwnd) override;
    bool Reflect(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool IsTabStop() const override;
    bool OnKey(UINT key, bool ctrl) override;
    void SetCheck(bool checked) override;
    bool SameGroup(const SRadio& other) const;

private:
    // The radios of this one's group that the operator can reach, in layout order.
    std::vector<SRadio*> ReachableGroup() const;
};

}  // namespace uikit
