#include <gtest/gtest.h>

#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "common/winhandle.h"
#include "tests/gui/uikit/uikitenv.h"
#include "tests/support/pump.h"
#include "uikit/automation_win.h"
#include "uikit/checkbox_win.h"
#include "uikit/listbox_win.h"
#include "uikit/progress_win.h"
#include "uikit/splitter_win.h"
#include "uikit/tabctrl_win.h"
#include "uikit/image_win.h"
#include "uikit/listctrl_win.h"

namespace uikittest {
namespace {

using namespace uikit;

class GalleryControls : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = OpenGallery();
        ASSERT_TRUE(host);
    }
    std::unique_ptr<TestHost> host;
};

TEST_F(GalleryControls, ClickDeliversCommandByNameOnlyForEnabledButtons)
{
    int invert = 0, clear = 0;
    host->OnCommand("but_remove_engine", [&] { ++invert; });
    host->OnCommand("but_clear_engine", [&] { ++clear; });
    EXPECT_TRUE(ClickControl(*host, "but_remove_engine"));
    EXPECT_EQ(invert, 1);
    // Disabled in the layout: no click, no command.
    EXPECT_FALSE(ClickControl(*host, "but_clear_engine"));
    host->FindControl("but_clear_engine")->SetEnabled(true);
    EXPECT_TRUE(ClickControl(*host, "but_clear_engine"));
    EXPECT_EQ(clear, 1);
}

// The tooltip window of the host that knows the control `tool`, or null.
HWND TooltipFor(const SHostWnd& host, HWND tool)
{
    struct Search {
        HWND owner;
        HWND tool;
        HWND found = nullptr;
    } search{host.Hwnd(), tool};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) {
            auto* s = reinterpret_cast<Search*>(param);
            TTTOOLINFOW info{};
            info.cbSize = sizeof(info);
            info.hwnd = s->owner;
            info.uId = reinterpret_cast<UINT_PTR>(s->tool);
            if (GetWindow(window, GW_OWNER) == s->owner &&
                SendMessageW(window, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info))) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST_F(GalleryControls, ButtonOffersItsTipOnceTheMouseComesOver)
{
    HWND close = host->FindControl("btn_close")->Hwnd();
    EXPECT_TRUE(HoverControl(*host, "btn_close"));
    HWND tip = TooltipFor(*host, close);
    ASSERT_NE(tip, nullptr);
    wchar_t text[80] = {};
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.hwnd = host->Hwnd();
    info.uId = reinterpret_cast<UINT_PTR>(close);
    info.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(text, L"关闭");
    // A second visit finds the same tooltip.
    EXPECT_TRUE(HoverControl(*host, "btn_close"));
    EXPECT_EQ(TooltipFor(*host, close), tip);
}

TEST_F(GalleryControls, PressAndReleaseOutsideIsNoClick)
{
    int clicks = 0;
    host->OnCommand("btn_startsync", [&] { ++clicks; });
    HWND button = host->FindControl("btn_startsync")->Hwnd();
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(500, 5));
    EXPECT_EQ(clicks, 0);
}

TEST_F(GalleryControls, CheckBoxReportsEveryChangeOfStateWhetherClickedOrSet)
{
    std::vector<bool> changes;
    host->OnCheckChanged("chk_def_sel", [&](bool checked) { changes.push_back(checked); });
    auto* box = host->FindControlAs<SCheck>("chk_def_sel");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->IsChecked());  // checked="1" in the layout
    EXPECT_TRUE(ClickControl(*host, "chk_def_sel"));
    EXPECT_FALSE(box->IsChecked());
    EXPECT_EQ(SendMessageW(box->Hwnd(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    box->SetCheck(true);
    box->SetCheck(true);  // no change, no event
    EXPECT_EQ(changes, (std::vector<bool>{false, true}));
}

TEST_F(GalleryControls, RadiosOfOneGroupExcludeEachOther)
{
    auto* level = host->FindControlAs<SRadio>("radio_sync_level_file");
    auto* mir200 = host->FindControlAs<SRadio>("radio_sync_mir200_file");
    ASSERT_TRUE(level && mir200);
    EXPECT_TRUE(mir200->IsChecked());
    EXPECT_FALSE(level->IsChecked());
    std::vector<std::string> events;
    for (const char* name : {"radio_sync_level_file", "radio_sync_mir200_file"})
        host->Subscribe(EventKind::CheckChanged, name,
                        [&events](EventArgs& e) { events.push_back(e.name + (e.checked ? "+" : "-")); });
    EXPECT_TRUE(ClickControl(*host, "radio_sync_level_file"));
    EXPECT_TRUE(level->IsChecked());
    EXPECT_FALSE(mir200->IsChecked());
    // Clicking a checked radio leaves it checked.
    EXPECT_TRUE(ClickControl(*host, "radio_sync_level_file"));
    EXPECT_TRUE(level->IsChecked());
    EXPECT_EQ(events, (std::vector<std::string>{"radio_sync_level_file+", "radio_sync_mir200_file-"}));
}

TEST_F(GalleryControls, ImageFrameReportsHoverAndLeaveByName)
{
    std::vector<std::string> seen;
    host->OnHover("img_sync_mir200_file", [&] { seen.push_back("hover"); });
    host->OnLeave("img_sync_mir200_file", [&] { seen.push_back("leave"); });
    EXPECT_TRUE(HoverControl(*host, "img_sync_mir200_file"));
    EXPECT_TRUE(HoverControl(*host, "img_sync_mir200_file"));  // still inside: no second hover
    EXPECT_TRUE(LeaveControl(*host, "img_sync_mir200_file"));
    EXPECT_EQ(seen, (std::vector<std::string>{"hover", "leave"}));

    auto* loading = host->FindControlAs<SImage>("img_loading");
    EXPECT_TRUE(loading->SetFrame(7));
    EXPECT_FALSE(loading->SetFrame(8));
    EXPECT_EQ(loading->GetFrame(), 7);
}

TEST_F(GalleryControls, TabControlShowsOnePageAtATime)
{
    auto* tab = host->FindControlAs<STabCtrl>("tab_file");
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->GetPageCount(), 3);
    EXPECT_EQ(tab->GetCurSel(), 1);
    HWND list = host->FindControl("lv_file")->Hwnd();
    HWND addImage = host->FindControl("imgbtn_addfile")->Hwnd();
    EXPECT_TRUE(IsWindowVisible(list));
    EXPECT_FALSE(IsWindowVisible(addImage));
    EXPECT_TRUE(tab->SetCurSel(0));
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_TRUE(IsWindowVisible(addImage));
    // The shown page fills the tab control.
    RECT page = host->FindControl("imgbtn_addfile")->Parent()->ScreenRect();
    RECT whole = tab->ScreenRect();
    EXPECT_EQ(page.right - page.left, whole.right - whole.left);
    EXPECT_FALSE(tab->SetCurSel(3));
    EXPECT_FALSE(tab->SetCurSel(-1));
    EXPECT_EQ(tab->GetCurSel(), 0);
}

TEST_F(GalleryControls, AnimatedPageSlidesInAndEndsWhereTheLayoutPutsIt)
{
    auto* bar = host->FindControlAs<STabCtrl>("tab_sync_bar");
    SControl* page = host->FindControl("pro_ing")->Parent();
    ASSERT_TRUE(bar->SetCurSel(1));
    const auto left = [&] {
        RECT r = page->ScreenRect();
        return r.left - bar->ScreenRect().left;
    };
    const int home = page->Node().rect.left - bar->Node().rect.left;
    EXPECT_GT(left(), home);  // still on its way in
    EXPECT_TRUE(testsupport::PumpUntil([&] { return left() == home; }));
    EXPECT_TRUE(IsWindowVisible(host->FindControl("pro_ing")->Hwnd()));
    EXPECT_FALSE(IsWindowVisible(host->FindControl("btn_startsync")->Hwnd()));
}

TEST_F(GalleryControls, ProgressKeepsItsValueInRange)
{
    auto* progress = host->FindControlAs<SProgress>("pro_ing");
    progress->SetValue(42);
    EXPECT_EQ(progress->Percent(), 42);
    progress->SetValue(250);
    EXPECT_EQ(progress->GetValue(), 100);
    progress->SetValue(-3);
    EXPECT_EQ(progress->Percent(), 0);
    progress->SetRange(0, 200);
    progress->SetValue(50);
    EXPECT_EQ(progress->Percent(), 25);
}

TEST_F(GalleryControls, ListControlKeepsRowsTextsAndCheckStates)
{
    auto* list = host->FindControlAs<SListCtrl>("lv_file");
    EXPECT_EQ(list->GetColumnCount(), 2);
    const std::wstring longPath = L"D:\\" + std::wstring(700, L'长') + L"\\x.txt";
    EXPECT_EQ(list->InsertItem(0, L"x.txt"), 0);
    EXPECT_TRUE(list->SetItemText(0, 1, longPath));
    EXPECT_EQ(list->InsertItem(99, L"y.txt"), 1);  // past the end: appended
    EXPECT_EQ(list->GetItemText(0, 1), longPath);
    EXPECT_FALSE(list->GetCheckState(0));
    EXPECT_TRUE(list->SetCheckState(0, true));
    EXPECT_TRUE(list->GetCheckState(0));
    EXPECT_FALSE(list->GetCheckState(1));
    EXPECT_FALSE(list->SetCheckState(5, true));
    EXPECT_FALSE(list->SetItemText(2, 0, L"none"));
    EXPECT_TRUE(list->DeleteItem(0));
    EXPECT_EQ(list->GetItemCount(), 1);
    EXPECT_EQ(list->GetItemText(0, 0), L"y.txt");
    list->DeleteAllItems();
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_EQ(list->GetItemText(0, 0), L"");
}

TEST_F(GalleryControls, ListBoxHoldsLinesInOrder)
{
    host->FindControlAs<STabCtrl>("tab_file")->SetCurSel(2);
    auto* box = host->FindControlAs<SListBox>("lv_log");
    for (int i = 0; i < 50; ++i)
        box->AddString(L"行 " + std::to_wstring(i));
    EXPECT_EQ(box->GetCount(), 50);
    EXPECT_TRUE(box->DeleteString(0));
    EXPECT_EQ(box->GetText(0), L"行 1");
    EXPECT_FALSE(box->DeleteString(49));
    box->EnsureVisible(48);
    EXPECT_GT(SendMessageW(box->Hwnd(), LB_GETTOPINDEX, 0, 0), 0);
    EXPECT_EQ(SendMessageW(box->Hwnd(), LB_GETITEMHEIGHT, 0, 0), 20);
    box->ResetContent();
    EXPECT_EQ(box->GetCount(), 0);
    EXPECT_EQ(box->GetText(0), L"");
}

TEST_F(GalleryControls, SplitterDragStopsAtThePaneMinimums)
{
    auto* split = host->FindControlAs<SSplitWnd>("split_main");
    ASSERT_NE(split, nullptr);
    split->DragSeparator(0, -1000);
    auto sizes = split->PaneSizes();
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_EQ(sizes[0], 420);
    split->DragSeparator(0, 1000);
    sizes = split->PaneSizes();
    EXPECT_EQ(sizes[1], 240);
    // The panes' windows follow.
    RECT right = host->FindControl("pane_right")->ScreenRect();
    EXPECT_EQ(right.right - right.left, 240);
}

TEST_F(GalleryControls, ControlsCreatedFromMarkupJoinTheGridAndAreFoundByName)
{
    TestHost dialog("LAYOUT:XML_GDIALOG");
    ASSERT_TRUE(dialog.Create(host->Hwnd()));
    SControl* grid = dialog.FindControl("wnd_drive", "window");
    ASSERT_NE(grid, nullptr);
    for (const char* markup :
         {R"x(<check name="ck_C" text="C盘(系统磁盘)" checked="true"/>)x",
          R"x(<check name="ck_D" text="D盘(本地磁盘)" />)x", R"x(<check name="ck_E" text="E盘(本地磁盘)" />)x"})
        EXPECT_NE(dialog.CreateChildren(grid, markup), nullptr);
    auto* c = dialog.FindControlAs<SCheck>("ck_C");
    auto* e = dialog.FindControlAs<SCheck>("ck_E");
    ASSERT_TRUE(c && e);
    EXPECT_TRUE(c->IsChecked());
    EXPECT_FALSE(dialog.FindControlAs<SCheck>("ck_D")->IsChecked());
    EXPECT_EQ(GetParent(e->Hwnd()), grid->Hwnd());
    // Two per row: E starts the second row below C.
    const RECT rc = c->ScreenRect(), re = e->ScreenRect();
    EXPECT_EQ(re.left, rc.left);
    EXPECT_GT(re.top, rc.top);
    EXPECT_EQ(SetWindowPos(dialog.Hwnd(), nullptr, 0, 0, 260, 134, SWP_NOMOVE | SWP_NOZORDER), TRUE);
    EXPECT_EQ(dialog.CreateChildren(grid, "<check name=broken"), nullptr);
}

// The colour on screen at a point of a control's window.
COLORREF PixelOf(const SControl& control, int x, int y)
{
    const WindowDc dc(control.Hwnd());
    return GetPixel(dc.Get(), x, y);
}

TEST(ControlStyle, ColoursAndFontsGivenAtCreationAreWhatPaints)
{
    App();
    TestHost host("LAYOUT:TEST_STYLE", R"(<window size="320,200" layout="vbox">
      <text name="txt_plain" height="24" colorBkgnd="#0000FF" colorText="#FFFFFF" text="M"/>
      <listctrl name="lv_rows" height="share" rowHeight="20" colorItemBkgnd="#FF0000" colorItemBkgnd2="orange">
        <header height="22" colorBkgnd="#FFFF00"><column text="" width="share"/></header>
      </listctrl></window>)");
    ASSERT_TRUE(host.Create(nullptr));
    ShowWindow(host.Hwnd(), SW_SHOWNOACTIVATE);
    auto* list = host.FindControlAs<SListCtrl>("lv_rows");
    list->InsertItem(0, L"a");
    list->InsertItem(1, L"b");
    testsupport::PumpFor(std::chrono::milliseconds(100));
    UpdateWindow(host.Hwnd());

    const SControl& text = *host.FindControl("txt_plain");
    EXPECT_EQ(PixelOf(text, 300, 2), RGB(0, 0, 255));
    EXPECT_EQ(text.Font(), text.Style().font);
    EXPECT_NE(text.Font(), nullptr);
    EXPECT_EQ(PixelOf(*list, 200, 11), RGB(255, 255, 0)) << "header";
    EXPECT_EQ(PixelOf(*list, 200, 22 + 10), RGB(255, 0, 0)) << "first row";
    // A name from the colour table resolves like a literal.
    EXPECT_EQ(PixelOf(*list, 200, 22 + 20 + 10), ToColorRef(*App().Ui().ResolveColor("orange"))) << "second row";
    DestroyWindow(host.Hwnd());
}

}  // namespace
}  // namespace uikittest
