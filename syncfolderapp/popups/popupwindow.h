#pragma once
// What the toast and the mode tooltip share: a borderless popup built from its layout,
// showing one text in its `txt_tip`, placed by its own WM_WINDOWPOSCHANGING rule and
// shown topmost without taking activation.
#include <memory>
#include <string>

#include "uikit/hostwnd_win.h"

// Builds the popup's window (no parent, zero rectangle, content scale 100 %), sets
// `text` and shows it. False when the window cannot be built.
bool OpenPopupWindow(uikit::SHostWnd& popup, const std::wstring& text);

// Opens the popup and hands the object to its window, which deletes it once destroyed.
// Returns the popup (valid while its window lives), or null when it cannot be built.
template <typename Popup>
Popup* ShowPopup(std::unique_ptr<Popup> popup, const std::wstring& text)
{
    if (!OpenPopupWindow(*popup, text))
        return nullptr;
    popup->SetAutoDelete(true);
    return popup.release();
}
