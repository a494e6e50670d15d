#include "uikit/hostdialog_win.h"

#include "uikit/application_win.h"
#include "uikit/keyboard_win.h"

namespace uikit {

INT_PTR SHostDialog::DoModal(HWND owner)
{
    // The owner is a top-level window, never a child control.
    if (owner)
        owner = GetAncestor(owner, GA_ROOT);
    ended_ = false;
    code_ = IDCANCEL;
    if (!Create(owner))
        return -1;
    HWND self = hwnd_;
    SendMessageW(self, WM_INITDIALOG, 0, 0);
    const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (!ended_ && IsWindow(self)) {
        CenterWindow(owner);
        ShowWindow(self, SW_SHOWNORMAL);
        if (ownerWasEnabled)
            EnableWindow(owner, FALSE);
        if (const SHostWnd* ownerHost = FromHwnd(owner); ownerHost && ownerHost->FocusCuesShown())
            ShowFocusCues();
        SetInitialFocus();
        running_ = true;
        MSG msg;
        while (!ended_ && IsWindow(self)) {
            const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
            if (got == 0) {
                // Leave the quit request for the outer loop.
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (got == -1)
                break;
            SApplication::ProcessMessage(msg);
        }
        running_ = false;
    }
    // Re-enable the owner before the dialog goes, so the owner gets the activation back.
    if (ownerWasEnabled)
        EnableWindow(owner, TRUE);
    if (IsWindow(self)) {
        ShowWindow(self, SW_HIDE);
        DestroyWindow(self);
    }
    if (owner && IsWindow(owner))
        SetActiveWindow(owner);
    return code_;
}

void SHostDialog::EndDialog(INT_PTR code)
{
    code_ = code;
    ended_ = true;
    if (hwnd_)
        PostMessageW(hwnd_, WM_NULL, 0, 0);  // wakes the modal loop
}

void SHostDialog::SetInitialFocus()
{
    FocusFirstControl(*this);
}

bool SHostDialog::OnEscape()
{
    SendMessageW(hwnd_, WM_CLOSE, 0, 0);
    return true;
}

LRESULT SHostDialog::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CLOSE) {
        BOOL handled = FALSE;
        const LRESULT result = OnMessage(msg, wParam, lParam, handled);
        if (handled)
            return result;
        EndDialog(IDCANCEL);
        return 0;
    }
    return SHostWnd::WndProc(msg, wParam, lParam);
}

}  // namespace uikit
