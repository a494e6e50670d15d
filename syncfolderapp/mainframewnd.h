#pragma once

#include <string>
#include <vector>

#include <windows.h>
#include <shellapi.h>

#include "syncfolderapp/mainframedriver.h"
#include "syncfolderapp/sync/ctimermgr.h"
#include "uikit/hostwnd_win.h"

// The program's main window: its layout, its message table and its events by control
// name, all handed to the controller. Its destruction ends the message loop.
class CMainFrameWnd : public uikit::SHostWnd, public CMainFrameDriver, public CTimerMgr {
public:
    // `dataDir` is the directory of the settings file.
    explicit CMainFrameWnd(std::wstring dataDir);

protected:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;

private:
    void SubscribeEvents();
    void OnSize(WPARAM kind);
    void OnDropFiles(HDROP drop);

    std::wstring dataDir_;
};

// Every path of a shell drop, in drop order and at full length.
std::vector<std::wstring> DroppedPaths(HDROP drop);
