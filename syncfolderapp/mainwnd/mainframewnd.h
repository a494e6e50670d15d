#pragma once

#include <string>
#include <vector>

#include <windows.h>
#include <shellapi.h>

#include "syncfolderapp/mainwnd/mainframedriver.h"
#include "uikit/hostwnd_win.h"

// The program's main window: its layout, its own window buttons and its message table;
// everything else goes to its controller. Its destruction ends the message loop.
class CMainFrameWnd : public uikit::SHostWnd {
public:
    // `settingsDir` is the data directory, which holds the settings file.
    explicit CMainFrameWnd(std::wstring settingsDir, MainFrameSeams seams = {});

    // The receiver of a run's result lines, which the sync engine calls on the worker.
    SyncFileImpl& SyncReceiver() { return driver; }

protected:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
    bool OnEscape() override { return driver.OnEscape(); }

private:
    void SubscribeWindowButtons();
    void OnSize(WPARAM kind);
    void OnDropFiles(HDROP drop);

    std::wstring dataDir;
    CMainFrameDriver driver;
};

// Every path of a shell drop, in drop order and at full length.
std::vector<std::wstring> DroppedPaths(HDROP drop);
