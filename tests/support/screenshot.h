#pragma once

#include <string>

#include <windows.h>

namespace testsupport {

// Saves what the window shows on screen as <SF_SCREENSHOT_DIR>/<name>.png so that
// people can look at it; returns the PNG's path, or an empty string on failure.
std::string SaveScreenshot(HWND window, const std::string& name);

}  // namespace testsupport
