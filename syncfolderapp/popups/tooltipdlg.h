#pragma once
// The explanation of a placement mode, shown above the question-mark icon next to its
// radio while the mouse rests on the icon. At most one exists at a time.
#include <string>
#include <windows.h>

#include "uikit/control_win.h"
#include "uikit/hostwnd_win.h"

class CToolTipDlg : public uikit::SHostWnd {
public:
    // Placement: the popup's left edge at the anchor's x and its bottom edge at its y.
    static constexpr int kPlaceAbove = 1;
    // The anchor lies this far (pixels at 96 dpi) left of the hovered icon.
    static constexpr int kAnchorOffsetX = 40;

    CToolTipDlg(std::string layoutId, int anchorX, int anchorY, int mode);

    int AnchorX() const { return anchorX_; }
    int AnchorY() const { return anchorY_; }
    int Mode() const { return mode_; }

    // Where a window of the given size stands for the anchor and mode; for an unknown
    // mode, `current` is kept.
    static POINT PlacedOrigin(int anchorX, int anchorY, int mode, int width, int height, POINT current);

protected:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
    void OnFinalMessage(HWND hwnd) override;

private:
    int anchorX_;
    int anchorY_;
    int mode_;
};

// The mode text for a question-mark icon's name, or null for any other control.
const wchar_t* ModeTipTextFor(const std::string& iconName);

// Replaces any current mode tooltip by one for `icon` (img_sync_mir200_file or
// img_sync_level_file); other controls are ignored. Returns the new tooltip or null.
CToolTipDlg* ShowModeTip(const uikit::SControl& icon);

// Destroys the current mode tooltip, if any.
void HideModeTip();

// The mode tooltip shown now, or null.
CToolTipDlg* CurrentModeTip();
