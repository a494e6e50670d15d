#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "tests/gui/layouts/layoutsenv.h"
#include "tests/support/pump.h"
#include "uikit/listctrl_win.h"
#include "uikit/tabctrl_win.h"

namespace layoutstest {
namespace {

using namespace uikit;

// What the window measures at its current density.
struct Measures {
    SIZE window{};
    SIZE start{};     // btn_startsync
    int row = 0;      // a row of lv_file
    int header = 0;   // lv_file's header
    LONG font = 0;    // the height tt_bar_version's font was made at
    POINT minimum{};  // the smallest size the window can be given
    bool operator==(const Measures& o) const
    {
        return window.cx == o.window.cx && window.cy == o.window.cy && start.cx == o.start.cx &&
               start.cy == o.start.cy && row == o.row && header == o.header && font == o.font &&
               minimum.x == o.minimum.x && minimum.y == o.minimum.y;
    }
};

Measures Measure(const SHostWnd& host)
{
    Measures m;
    RECT r;
    GetWindowRect(host.Hwnd(), &r);
    m.window = {Width(r), Height(r)};
    r = host.FindControl("btn_startsync")->ScreenRect();
    m.start = {Width(r), Height(r)};
    const auto* files = host.FindControlAs<SListCtrl>("lv_file");
    RECT row{LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(files->Hwnd(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    m.row = Height(row);
    GetWindowRect(files->Header(), &r);
    m.header = Height(r);
    LOGFONTW font{};
    GetObjectW(host.FindControl("tt_bar_version")->Font(), sizeof(font), &font);
    m.font = font.lfHeight;
    MINMAXINFO info{};
    SendMessageW(host.Hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    m.minimum = info.ptMinTrackSize;
    return m;
}

// Windows tells a window that moved to a screen of another density with WM_DPICHANGED
// and the rectangle it suggests there (here the screen's top left corner); Wine never
// sends it, so the test does.
void MoveToDensity(const SHostWnd& host, int dpi, SIZE size)
{
    RECT suggested{0, 0, size.cx, size.cy};
    SendMessageW(host.Hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    testsupport::PumpFor(std::chrono::milliseconds(50));
}

TEST(DpiChange, LayoutFontsListsAndLimitsFollowTheWindowToAScreenOfAnotherDensityAndBack)
{
    auto host = OpenMainWindow();
    ASSERT_TRUE(host);
    ASSERT_EQ(host->Dpi(), 96) << "the test prefix runs at 96 dpi";
    host->FindControlAs<STabCtrl>("tab_file")->SetCurSel(1);
    host->FindControlAs<SListCtrl>("lv_file")->InsertItem(0, L"Config.ini");
    const Measures at96 = Measure(*host);
    EXPECT_EQ(at96.start.cx, 100);
    EXPECT_EQ(at96.row, 20);
    EXPECT_EQ(at96.font, -14);

    MoveToDensity(*host, 144, {1350, 900});
    EXPECT_EQ(host->Dpi(), 144);
    const Measures at144 = Measure(*host);
    EXPECT_EQ(at144.window.cx, 1350);
    EXPECT_EQ(at144.window.cy, 900);
    EXPECT_EQ(at144.start.cx, 150);
    EXPECT_EQ(at144.start.cy, 39);
    EXPECT_EQ(at144.row, 30);
    EXPECT_EQ(at144.header, 33);
    EXPECT_EQ(at144.font, -21);  // made at 21 pixels, not drawn at 14 and stretched
    EXPECT_EQ(at144.minimum.x, 1020);
    EXPECT_EQ(at144.minimum.y, 450);
    EXPECT_TRUE(Snapshot(host->Hwnd(), "layouts_main_moved_to_144dpi"));

    MoveToDensity(*host, 96, at96.window);
    EXPECT_EQ(Measure(*host), at96);
}

}  // namespace
}  // namespace layoutstest
