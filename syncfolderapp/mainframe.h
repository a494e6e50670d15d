#pragma once

#include <windows.h>

// The program's main window: a top-level window of 900 x 600 whose destruction ends
// the message loop. It receives WM_INITDIALOG before it is shown.
class CMainFrame {
public:
    bool Create(HINSTANCE instance, HWND parent);
    void CenterAndShow();
    HWND Handle() const { return hwnd_; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};
