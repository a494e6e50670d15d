#pragma once

#include <string>

#include <windows.h>

namespace uikit {

// Puts `text` on the clipboard as Unicode text, replacing what it held; false when the
// clipboard cannot be opened (another program holds it) or memory runs out.
bool SetClipboardText(HWND owner, const std::wstring& text);

}  // namespace uikit
