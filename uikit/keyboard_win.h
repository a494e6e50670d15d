#pragma once

// The keyboard of the toolkit's windows, in one place: every message loop (the
// application's, the modal dialogs', the tests') shows each message to PreTranslateInput
// before translating and dispatching it.
//
//  - Tab and Shift+Tab move the focus through the window's tab stops in layout order,
//    skipping what the operator cannot reach (hidden, disabled, under an overlay); a
//    radio group is one stop, and the arrow keys move within it (SRadio).
//  - The focused control first sees its own keys (SControl::OnKey): Ctrl+A, Delete and
//    Ctrl+C in lists.
//  - Enter presses the focused button, or else the window's default button; Esc closes a
//    dialog as if cancelled (SHostWnd::OnEscape); Space presses the focused button (the
//    button itself does that).
//  - Alt with a letter, or the letter alone while a button or box has the focus, presses
//    the button whose text marks that letter with '&' ("确定(&O)"); F1 to F12 press the
//    button whose `accel` names the key.
//  - The mouse wheel goes to the window, which passes it to the list under the cursor.
// Any key pressed in a window makes its focus frames visible.

#include <windows.h>

namespace uikit {

class SHostWnd;

// True when the message was handled here and must not be translated or dispatched.
bool PreTranslateInput(const MSG& msg);

// Puts the focus on the next tab stop: the first one while the window itself has the
// focus.
void FocusFirstControl(const SHostWnd& host);

}  // namespace uikit
