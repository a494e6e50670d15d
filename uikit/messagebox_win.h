#pragma once

// The skinned message box and the replaceable functions behind the message box and the
// file and folder pickers, so that a test can answer them.

#include <functional>
#include <string>
#include <vector>

#include <windows.h>

namespace uikit {

// Shows a modal message box built from the toolkit's own layout: caption, an icon by
// the type's icon flag, the text in blue wrapped at 300 pixels, and the buttons of the
// type. Returns IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES or IDNO. The box opens
// with the focus on its default button (the first, or the one MB_DEFBUTTON2/3 names),
// which Enter presses; Alt with a button's underlined letter presses that button; Esc,
// Alt+F4 and the close button answer IDCANCEL, or else IDNO, or IDOK for a box with only
// that button.
// (windows.h maps the name to MessageBoxW; declaration and callers agree either way.)
int MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type);

using MessageBoxHook = std::function<int(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type)>;
// Replaces the message box (an empty function restores the real one).
void SetMessageBoxHook(MessageBoxHook hook);

// The button captions of a message box type, in order, with the result of each.
struct MessageBoxButton {
    const wchar_t* text;
    int result;
};
std::vector<MessageBoxButton> MessageBoxButtons(UINT type);

struct PickerRequest {
    enum Kind { Files, Folder } kind = Files;
    HWND owner = nullptr;
    std::wstring title;
    std::wstring initial;
};
using PickerFunction = std::function<std::vector<std::wstring>(const PickerRequest&)>;
// Replaces the file and folder pickers (an empty function restores the real ones).
void SetPickerHook(PickerFunction hook);
// Runs the hook when one is set, otherwise `real` (the system dialog).
std::vector<std::wstring> RunPicker(const PickerRequest& request, const PickerFunction& real);

}  // namespace uikit
