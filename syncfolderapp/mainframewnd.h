#pragma once

#include "uikit/hostwnd_win.h"

// The program's main window, built from its layout; its destruction ends the message
// loop.
class CMainFrameWnd : public uikit::SHostWnd {
public:
    CMainFrameWnd();
};
