#include "syncfolderapp/popups/popupwindow.h"

bool OpenPopupWindow(uikit::SHostWnd& popup, const std::wstring& text)
{
    if (!popup.Create(nullptr, 0, 0, 0, 0))
        return false;
    popup.SetScale(100);
    if (uikit::SControl* tip = popup.FindControl("txt_tip", "text"))
        tip->SetText(text);
    HWND hwnd = popup.Hwnd();
    // Apply the current size once more so the popup is placed even when the text left
    // its size unchanged.
    RECT rc{};
    GetWindowRect(hwnd, &rc);
    SetWindowPos(hwnd, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return true;
}
