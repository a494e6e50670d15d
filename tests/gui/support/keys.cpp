#include "tests/gui/support/keys.h"

#include <chrono>

#include "tests/support/pump.h"

namespace testsupport {

void PressKey(UINT key, int modifiers)
{
    const HWND target = GetFocus() ? GetFocus() : GetActiveWindow();
    BYTE saved[256] = {};
    GetKeyboardState(saved);
    BYTE held[256];
    std::copy(std::begin(saved), std::end(saved), std::begin(held));
    held[VK_SHIFT] = (modifiers & kShift) ? 0x80 : 0;
    held[VK_CONTROL] = (modifiers & kCtrl) ? 0x80 : 0;
    held[VK_MENU] = (modifiers & kAlt) ? 0x80 : 0;
    SetKeyboardState(held);

    const bool alt = (modifiers & kAlt) != 0;
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    const LPARAM context = alt ? (1 << 29) : 0;
    PostMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1 | scan | context);
    PostMessageW(target, alt ? WM_SYSKEYUP : WM_KEYUP, key, 1 | scan | context | (3LL << 30));
    PumpUntil([] {
        MSG pending;
        return !PeekMessageW(&pending, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE);
    });
    SetKeyboardState(saved);
}

}  // namespace testsupport
