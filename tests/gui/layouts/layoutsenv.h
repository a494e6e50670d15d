#pragma once
#include <memory>
#include <string>
#include <windows.h>

#include "uikit/application_win.h"
#include "uikit/hostwnd_win.h"

namespace layoutstest {

// The toolkit set up once for the test program over its own resources, as the program does.
uikit::SApplication& App();

// The main window built from its layout, initialised, shown and painted.
std::unique_ptr<uikit::SHostWnd> OpenMainWindow();

// A control's rectangle in the client coordinates of `host`.
RECT ClientRectOf(const uikit::SHostWnd& host, const uikit::SControl& control);

int Width(const RECT& r);
int Height(const RECT& r);

// Draws everything now and saves the window's picture; true when the PNG was written.
bool Snapshot(HWND window, const std::string& name);

}  // namespace layoutstest
