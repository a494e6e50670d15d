#pragma once

#include <windows.h>

namespace testsupport {

enum KeyModifier { kShift = 1, kCtrl = 2, kAlt = 4 };

// A key pressed and released as the system delivers it to the window with the keyboard
// focus (or else the active window): the modifiers held in the thread's key state, Alt
// making it a system key. The messages are posted and go through the message loop
// before this returns.
void PressKey(UINT key, int modifiers = 0);

}  // namespace testsupport
