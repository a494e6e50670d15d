#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/gui/layouts/layoutsenv.h"
#include "tests/support/pump.h"
#include "uikit/automation_win.h"
#include "uikit/checkbox_win.h"
#include "uikit/hostdialog_win.h"
#include "uikit/messagebox_win.h"

namespace layoutstest {
namespace {

using namespace uikit;

// The drive dialog filled the way the program fills it: one box per drive from markup,
// two per row, and 22 pixels more height for every row after the first.
class FilledDriveDialog : public SHostDialog {
public:
    FilledDriveDialog(std::wstring drives, std::string shot)
        : SHostDialog("LAYOUT:XML_SELDRIVE"), drives_(std::move(drives)), shot_(std::move(shot))
    {
    }

    int heightAtOpen = 0, widthAtOpen = 0;
    std::vector<RECT> boxes;  // in the grid's client coordinates
    RECT grid{}, ok{}, cancel{};
    std::wstring title;
    bool shotSaved = false;
    // The first box's background beside its label, and the dialog's in the grid's margin.
    COLORREF boxBack = 0, gridBack = 1;

protected:
    LRESULT OnMessage(UINT msg, WPARAM, LPARAM, BOOL& handled) override
    {
        handled = FALSE;
        if (msg == WM_INITDIALOG) {
            const int rows = (static_cast<int>(drives_.size()) + 1) / 2;
            if (rows >= 2)
                SetWindowPos(hwnd_, nullptr, 0, 0, 260, 90 + 22 * rows, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            SControl* wnd = FindControl("wnd_drive", "window");
            for (size_t i = 0; i < drives_.size(); ++i) {
                const char letter = static_cast<char>(drives_[i]);
                char markup[160];
                std::snprintf(markup, sizeof markup, "<check name=\"ck_%c\" text=\"%c盘(%s)\" %s/>", letter, letter,
                              i == 0 ? "系统磁盘" : "本地磁盘", i == 1 ? "checked=\"true\"" : "");
                CreateChildren(wnd, markup);
            }
            PostMessageW(hwnd_, WM_APP + 7, 0, 0);
        } else if (msg == WM_APP + 7) {
            handled = TRUE;
            Measure();
            EndDialog(IDOK);
        }
        return 0;
    }

private:
    void Measure()
    {
        RECT rc;
        GetWindowRect(hwnd_, &rc);
        widthAtOpen = Width(rc);
        heightAtOpen = Height(rc);
        wchar_t text[64] = {};
        GetWindowTextW(hwnd_, text, 64);
        title = text;
        SControl* wnd = FindControl("wnd_drive");
        GetClientRect(wnd->Hwnd(), &grid);
        for (wchar_t letter : drives_) {
            const std::string name = std::string("ck_") + static_cast<char>(letter);
            SControl* box = FindControl(name, "check");
            if (!box)
                continue;
            RECT r = box->ScreenRect();
            MapWindowPoints(nullptr, wnd->Hwnd(), reinterpret_cast<POINT*>(&r), 2);
            boxes.push_back(r);
        }
        if (!boxes.empty()) {
            RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            HDC dc = GetDC(wnd->Hwnd());
            boxBack = GetPixel(dc, boxes[0].right - 2, (boxes[0].top + boxes[0].bottom) / 2);
            gridBack = GetPixel(dc, 3, (boxes[0].top + boxes[0].bottom) / 2);
            ReleaseDC(wnd->Hwnd(), dc);
        }
        ok = ClientRectOf(*this, *FindControl("but_ok", "button"));
        cancel = ClientRectOf(*this, *FindControl("btn_cancel", "button"));
        shotSaved = Snapshot(hwnd_, shot_);
    }

    std::wstring drives_;
    std::string shot_;
};

TEST(DriveDialog, OneThreeAndSixDrivesFitTwoPerRow)
{
    auto owner = OpenMainWindow();
    ASSERT_TRUE(owner);
    struct Case {
        const wchar_t* drives;
        int height;
        const char* shot;
    };
    for (const Case& c : {Case{L"C", 112, "layouts_drives_1"}, Case{L"CDE", 134, "layouts_drives_3"},
                          Case{L"CDEFGH", 156, "layouts_drives_6"}}) {
        FilledDriveDialog dialog(c.drives, c.shot);
        ASSERT_EQ(dialog.DoModal(owner->Hwnd()), IDOK) << c.shot;
        EXPECT_TRUE(dialog.shotSaved);
        EXPECT_EQ(dialog.title, L"选择盘符");
        EXPECT_EQ(dialog.widthAtOpen, 260);
        EXPECT_EQ(dialog.heightAtOpen, c.height);
        const size_t count = wcslen(c.drives);
        ASSERT_EQ(dialog.boxes.size(), count) << c.shot;
        EXPECT_EQ(dialog.boxBack, dialog.gridBack) << c.shot;  // the boxes lie on the dialog's grey
        for (size_t i = 0; i < count; ++i) {
            const RECT& box = dialog.boxes[i];
            // Inside the grid's 10-pixel inner margin and not cut off at the bottom.
            EXPECT_GE(box.left, 10) << c.shot << " box " << i;
            EXPECT_GE(box.top, 10) << c.shot << " box " << i;
            EXPECT_LE(box.right, dialog.grid.right - 10) << c.shot << " box " << i;
            EXPECT_LE(box.bottom, dialog.grid.bottom) << c.shot << " box " << i;
            EXPECT_GE(Height(box), 12) << c.shot << " box " << i;
            if (i % 2 == 1) {
                EXPECT_EQ(box.top, dialog.boxes[i - 1].top) << c.shot << " box " << i;
                EXPECT_GE(box.left, dialog.boxes[i - 1].right + 5) << c.shot << " box " << i;
            }
            if (i >= 2) {
                EXPECT_GE(box.top, dialog.boxes[i - 2].bottom + 5) << c.shot << " box " << i;
            }
        }
        // Buttons 75 x 25, 15 apart, centred in the 258-pixel body.
        EXPECT_EQ(Width(dialog.ok), 75);
        EXPECT_EQ(Height(dialog.ok), 25);
        EXPECT_EQ(dialog.cancel.left - dialog.ok.right, 15);
        EXPECT_NEAR(dialog.ok.left - 1 - 8, 260 - 1 - 5 - dialog.cancel.right, 1);
        EXPECT_LE(dialog.ok.bottom, c.height - 1 - 5);
    }
}

}  // namespace
}  // namespace layoutstest
