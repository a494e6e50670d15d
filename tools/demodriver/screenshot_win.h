#pragma once

#include <windows.h>

#include <string>

namespace demo {

// Copies the given rectangle of the screen (clipped to it) into a 24-bit BMP file.
// False when the screen cannot be read or the file cannot be written.
bool SaveScreenRect(const RECT& rect, const std::wstring& bmpPath);

// The union of the windows' rectangles, widened by `margin` and clipped to the screen.
RECT AroundWindows(const HWND* windows, size_t count, int margin);

}  // namespace demo
