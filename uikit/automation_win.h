#pragma once

// Driving controls the way the mouse does, for tests: the same window messages a real
// click, hover or leave produces, sent to the control's window.

#include <string_view>

#include "uikit/hostwnd_win.h"

namespace uikit {

// Moves the mouse onto the control, presses and releases the left button at its centre.
// False when the control does not exist, has no window or is hidden or disabled.
bool ClickControl(const SHostWnd& host, std::string_view name);
// Mouse entering and leaving the control.
bool HoverControl(const SHostWnd& host, std::string_view name);
bool LeaveControl(const SHostWnd& host, std::string_view name);

}  // namespace uikit
