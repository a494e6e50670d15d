#pragma once

#include "uikit/hostwnd_win.h"

namespace uikit {

// A modal dialog built from a layout: its owner is disabled while it is open, and it ends
// with a code (closing it, btn_close, Esc or Alt+F4 end it with IDCANCEL). It opens with
// the focus on its first tab stop, and with focus frames shown when its owner was being
// used from the keyboard.
class SHostDialog : public SHostWnd {
public:
    using SHostWnd::SHostWnd;
    // Creates the dialog, sends it WM_INITDIALOG, shows it centred on the owner and runs
    // until EndDialog; returns the code, or -1 when the dialog cannot be created.
    INT_PTR DoModal(HWND owner = GetActiveWindow());
    void EndDialog(INT_PTR code);
    bool IsModalRunning() const { return running_; }
    bool OnEscape() override;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Puts the focus where the dialog opens with it: its first tab stop.
    virtual void SetInitialFocus();

private:
    bool running_ = false;
    bool ended_ = false;
    INT_PTR code_ = IDCANCEL;
};

}  // namespace uikit
