#pragma once
// A transient notice centred on the main window that closes itself after two seconds.
#include <string>
#include <windows.h>

#include "uikit/hostwnd_win.h"

class CToastWnd : public uikit::SHostWnd {
public:
    static constexpr UINT_PTR kCloseTimerId = 100;
    static constexpr UINT kCloseAfterMs = 2000;

    CToastWnd(std::string layoutId, int centerX, int centerY);

    int CenterX() const { return centerX_; }
    int CenterY() const { return centerY_; }

    // Where a window of the given size stands when centred on (centerX, centerY).
    static POINT CenteredOrigin(int centerX, int centerY, int width, int height);

protected:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;

private:
    int centerX_;
    int centerY_;
};

// The centre of a window's screen rectangle, computed in floating point and truncated.
POINT WindowCenter(HWND window);

// Shows a toast with `text` centred on `mainWnd`, topmost and without taking activation.
// The toast owns itself and is destroyed by its own timer; any number may be open at once.
// Returns the toast (valid until its timer fires), or null when it cannot be built.
CToastWnd* ShowToast(HWND mainWnd, const std::wstring& text);
