#include "uikit/automation_win.h"

namespace uikit {
namespace {

HWND Usable(const SHostWnd& host, std::string_view name, POINT& centre)
{
    SControl* control = host.FindControl(name);
    if (!control || !control->Hwnd() || !IsWindowVisible(control->Hwnd()) || !IsWindowEnabled(control->Hwnd()))
        return nullptr;
    RECT client;
    GetClientRect(control->Hwnd(), &client);
    centre = {client.right / 2, client.bottom / 2};
    return control->Hwnd();
}

}  // namespace

bool ClickControl(const SHostWnd& host, std::string_view name)
{
    POINT c{};
    HWND hwnd = Usable(host, name, c);
    if (!hwnd)
        return false;
    const LPARAM at = MAKELPARAM(c.x, c.y);
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, at);
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    // The press may have replaced the window (a handler that rebuilds controls).
    if (IsWindow(hwnd))
        SendMessageW(hwnd, WM_LBUTTONUP, 0, at);
    return true;
}

bool HoverControl(const SHostWnd& host, std::string_view name)
{
    POINT c{};
    HWND hwnd = Usable(host, name, c);
    if (!hwnd)
        return false;
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(c.x, c.y));
    return true;
}

bool LeaveControl(const SHostWnd& host, std::string_view name)
{
    POINT c{};
    HWND hwnd = Usable(host, name, c);
    if (!hwnd)
        return false;
    SendMessageW(hwnd, WM_MOUSELEAVE, 0, 0);
    return true;
}

}  // namespace uikit
