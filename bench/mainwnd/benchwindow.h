#pragma once

// What the main window's timing programs share: the clock, the message pump, the window
// opened as the program opens it, files handed over as the open-file dialog hands them.

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "syncfolderapp/mainwnd/mainframewnd.h"
#include "uikit/automation_win.h"
#include "uikit/containers_win.h"
#include "uikit/messagebox_win.h"

namespace benchwnd {

using Clock = std::chrono::steady_clock;

inline double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

inline void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The main window with its data folder `dataDir`, shown, once its start-up scan has ended.
inline CMainFrameWnd* OpenWindow(const std::wstring& dataDir)
{
    auto* wnd = new CMainFrameWnd(dataDir);
    wnd->Create(nullptr);
    SendMessageW(wnd->Hwnd(), WM_INITDIALOG, 0, 0);
    wnd->ShowNormal();
    const auto* overlay = wnd->FindControlAs<uikit::SWindow>("win_loading");
    const auto start = Clock::now();
    while (MsSince(start) < 30000 && overlay->IsVisible()) {
        Pump();
        Sleep(5);
    }
    return wnd;
}

// Adds `paths` the way the open-file dialog hands them over.
inline void AddByDialog(CMainFrameWnd& wnd, const std::vector<std::wstring>& paths)
{
    uikit::SetPickerHook([&paths](const uikit::PickerRequest&) { return paths; });
    uikit::ClickControl(wnd, "btn_addfile");
    uikit::SetPickerHook({});
}

}  // namespace benchwnd
