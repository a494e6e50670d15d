#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "tests/gui/layouts/layoutsenv.h"
#include "tests/support/pump.h"
#include "uikit/button_win.h"
#include "uikit/checkbox_win.h"
#include "uikit/image_win.h"
#include "uikit/listbox_win.h"
#include "uikit/listctrl_win.h"
#include "uikit/progress_win.h"
#include "uikit/splitter_win.h"
#include "uikit/tabctrl_win.h"

namespace layoutstest {
namespace {

using namespace uikit;

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = OpenMainWindow();
        ASSERT_TRUE(host);
    }

    void Resize(int cx, int cy) const
    {
        SetWindowPos(host->Hwnd(), nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        testsupport::PumpFor(std::chrono::milliseconds(50));
    }

    STabCtrl* Tab(const char* name) const { return host->FindControlAs<STabCtrl>(name); }

    std::unique_ptr<SHostWnd> host;
};

TEST_F(MainWindow, EveryNamedControlExistsWithItsKind)
{
    const std::pair<const char*, const char*> expected[] = {{"btn_min", "button"},
                                                            {"btn_max", "button"},
                                                            {"btn_restore", "button"},
                                                            {"btn_close", "button"},
                                                            {"txt_title2", "text"},
                                                            {"tab_file", "tabctrl"},
                                                            {"but_sel_drive", "button"},
                                                            {"but_drop_drive", "button"},
                                                            {"but_refresh_drive", "button"},
                                                            {"lv_engine_folder", "listctrl"},
                                                            {"chk_engine_all", "check"},
                                                            {"but_remove_engine", "button"},
                                                            {"but_clear_engine", "button"},
                                                            {"but_addengine_folder", "button"},
                                                            {"tab_sync_bar", "tabctrl"},
                                                            {"radio_sync_level_file", "radio"},
                                                            {"img_sync_level_file", "img"},
                                                            {"radio_sync_mir200_file", "radio"},
                                                            {"img_sync_mir200_file", "img"},
                                                            {"check_sync_backup", "check"},
                                                            {"check_skip_same", "check"},
                                                            {"check_verify_copy", "check"},
                                                            {"btn_preview", "button"},
                                                            {"btn_startsync", "button"},
                                                            {"but_sync_log", "button"},
                                                            {"text_ing", "text"},
                                                            {"pro_ing", "progress"},
                                                            {"but_stopsync", "button"},
                                                            {"tt_bar_state", "text"},
                                                            {"win_qq", "window"},
                                                            {"link_qq", "link"},
                                                            {"tt_bar_version", "text"},
                                                            {"win_loading", "window"},
                                                            {"img_loading", "img"},
                                                            {"txt_loading", "text"},
                                                            // The three file-area pages.
                                                            {"imgbtn_addfile", "imgbtn"},
                                                            {"btn_addfile", "button"},
                                                            {"lv_file", "listctrl"},
                                                            {"chk_file_all", "check"},
                                                            {"chk_def_sel", "check"},
                                                            {"but_invert", "button"},
                                                            {"but_remove_file", "button"},
                                                            {"but_clear_file", "button"},
                                                            {"but_add_file", "button"},
                                                            {"but_back", "button"},
                                                            {"lv_log", "listbox"},
                                                            {"lv_errorlog", "listbox"},
                                                            {"txt_plan_summary", "text"},
                                                            {"lv_plan", "listctrl"},
                                                            {"but_cancel_preview", "button"},
                                                            {"but_confirm_sync", "button"}};
    for (const auto& [name, kind] : expected) {
        SControl* control = host->FindControl(name, kind);
        ASSERT_NE(control, nullptr) << name << " as " << kind;
        EXPECT_EQ(control->Kind(), kind) << name;
        EXPECT_NE(control->Hwnd(), nullptr) << name;
    }
    // Registered identifiers reach the named controls of the pages.
    EXPECT_EQ(GetDlgCtrlID(host->FindControl("lv_errorlog")->Hwnd()), 65553);
    EXPECT_EQ(GetDlgCtrlID(host->FindControl("imgbtn_addfile")->Hwnd()), 65542);
}

TEST_F(MainWindow, AsBuiltShowsTheIdlePagesAndTheVersionWithTheOverlayHidden)
{
    RECT window;
    GetWindowRect(host->Hwnd(), &window);
    EXPECT_EQ(Width(window), 900);
    EXPECT_EQ(Height(window), 600);
    wchar_t title[128] = {};
    GetWindowTextW(host->Hwnd(), title, 128);
    EXPECT_STREQ(title, L"Korvel文件同步工具-Korvel技术服务平台 官网：");

    EXPECT_EQ(Tab("tab_file")->GetCurSel(), 0);
    EXPECT_EQ(Tab("tab_sync_bar")->GetCurSel(), 0);
    EXPECT_FALSE(IsWindowVisible(host->FindControl("btn_restore")->Hwnd()));
    EXPECT_TRUE(IsWindowVisible(host->FindControl("btn_max")->Hwnd()));
    EXPECT_FALSE(IsWindowVisible(host->FindControl("win_loading")->Hwnd()));
    EXPECT_FALSE(IsWindowVisible(host->FindControl("txt_title2")->Hwnd()));
    EXPECT_TRUE(IsWindowVisible(host->FindControl("imgbtn_addfile")->Hwnd()));
    EXPECT_FALSE(IsWindowVisible(host->FindControl("lv_file")->Hwnd()));
    EXPECT_EQ(host->FindControl("tt_bar_version")->GetText(), L"Ver.1.0.0");
    EXPECT_EQ(host->FindControl("tt_bar_state")->GetText(), L"");
    EXPECT_EQ(host->FindControl("btn_addfile")->GetText(), L"当前无同步文件，可通过拖拽或点击添加需要同步的文件。");

    EXPECT_TRUE(host->FindControlAs<SCheck>("radio_sync_mir200_file")->IsChecked());
    EXPECT_FALSE(host->FindControlAs<SCheck>("radio_sync_level_file")->IsChecked());
    EXPECT_FALSE(host->FindControlAs<SCheck>("check_sync_backup")->IsChecked());
    EXPECT_TRUE(host->FindControlAs<SCheck>("chk_def_sel")->IsChecked());
    // The two mode radios are one group: checking one clears the other.
    host->FindControlAs<SCheck>("radio_sync_level_file")->SetCheck(true);
    EXPECT_FALSE(host->FindControlAs<SCheck>("radio_sync_mir200_file")->IsChecked());
    host->FindControlAs<SCheck>("radio_sync_mir200_file")->SetCheck(true);
    EXPECT_TRUE(Snapshot(host->Hwnd(), "layouts_main_900x600"));
}

TEST_F(MainWindow, CaptionStatusBarAndSyncBarStandWhereTheLayoutSays)
{
    // The caption starts 1 pixel in; window buttons count from its right edge.
    EXPECT_EQ(ClientRectOf(*host, *host->FindControl("btn_close")).left, 900 - 1 - 35);
    EXPECT_EQ(ClientRectOf(*host, *host->FindControl("btn_max")).left, 900 - 1 - 68);
    EXPECT_EQ(ClientRectOf(*host, *host->FindControl("btn_min")).left, 900 - 1 - 103);
    EXPECT_EQ(ClientRectOf(*host, *host->FindControl("btn_min")).top, 1 + 2);

    // Status bar: 23 high at the bottom edge inside the 1-pixel padding.
    const RECT version = ClientRectOf(*host, *host->FindControl("tt_bar_version"));
    EXPECT_EQ(Width(version), 100);
    EXPECT_EQ(version.right, 900 - 1);
    const RECT qq = ClientRectOf(*host, *host->FindControl("link_qq"));
    EXPECT_EQ(Width(qq), 178);
    const RECT sep = ClientRectOf(*host, *host->FindControl("win_qq"));
    EXPECT_EQ(Width(sep), 1);
    EXPECT_EQ(sep.bottom, 600 - 1);
    EXPECT_EQ(Height(sep), 23);

    // The overlay leaves the status bar visible and covers everything above it.
    host->FindControl("win_loading")->SetVisible(true);
    const RECT overlay = ClientRectOf(*host, *host->FindControl("win_loading"));
    EXPECT_EQ(overlay.bottom, 600 - 1 - 23);
    EXPECT_EQ(overlay.top, 1 + 34 + 1 + 1);
    EXPECT_EQ(Width(overlay), 900 - 2);
    const RECT spinner = ClientRectOf(*host, *host->FindControl("img_loading"));
    EXPECT_EQ(Width(spinner), 32);
    EXPECT_NEAR((spinner.top + spinner.bottom) / 2 + (105 / 2 - 12 - 16), (overlay.top + overlay.bottom) / 2, 2);

    // Sync bar buttons 100 x 26, the icons 14 x 14.
    const RECT start = ClientRectOf(*host, *host->FindControl("btn_startsync"));
    EXPECT_EQ(Width(start), 100);
    EXPECT_EQ(Height(start), 26);
    const RECT log = ClientRectOf(*host, *host->FindControl("but_sync_log"));
    EXPECT_EQ(log.left - start.right, 3);
    EXPECT_EQ(Width(ClientRectOf(*host, *host->FindControl("img_sync_mir200_file"))), 14);
    EXPECT_TRUE(Snapshot(host->Hwnd(), "layouts_main_loading"));
}

TEST_F(MainWindow, CannotBeMadeSmallerThan680By300)
{
    MINMAXINFO info{};
    SendMessageW(host->Hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 680);
    EXPECT_EQ(info.ptMinTrackSize.y, 300);
    // The sizing margin is 5 on every side.
    EXPECT_EQ(host->FrameHitTest({4, 300}), HTLEFT);
    EXPECT_EQ(host->FrameHitTest({895, 300}), HTRIGHT);
    EXPECT_EQ(host->FrameHitTest({450, 596}), HTBOTTOM);
    EXPECT_EQ(host->FrameHitTest({450, 20}), HTCAPTION);

    Resize(680, 300);
    const RECT right = ClientRectOf(*host, *host->FindControl("wnd_engine"));
    const RECT left = ClientRectOf(*host, *host->FindControl("tab_file"));
    EXPECT_GE(Width(left), 420);
    EXPECT_GE(Width(right), 240);
    EXPECT_LE(right.right, 680 - 1);
    // Everything still fits: the sync buttons and the status bar stay inside the window.
    EXPECT_LE(ClientRectOf(*host, *host->FindControl("but_sync_log")).right, 680 - 1);
    EXPECT_EQ(ClientRectOf(*host, *host->FindControl("tt_bar_version")).bottom, 300 - 1);
    EXPECT_TRUE(Snapshot(host->Hwnd(), "layouts_main_680x300"));
}

// The idle bar at the usual and at the minimum size: every choice at its full width,
// left of the buttons, and nothing outside the bar.
TEST_F(MainWindow, IdleBarShowsEveryChoiceAndButtonUnclipped)
{
    for (const auto& [cx, cy] : {std::pair{900, 600}, std::pair{680, 300}}) {
        Resize(cx, cy);
        const RECT bar = ClientRectOf(*host, *host->FindControl("tab_sync_bar"));
        const RECT preview = ClientRectOf(*host, *host->FindControl("btn_preview"));
        for (const char* name : {"radio_sync_level_file", "img_sync_level_file", "radio_sync_mir200_file",
                                 "img_sync_mir200_file", "check_sync_backup", "check_skip_same", "check_verify_copy"}) {
            SControl* control = host->FindControl(name);
            const RECT rect = ClientRectOf(*host, *control);
            EXPECT_GE(Width(rect), control->Measure(0).cx) << name << " at " << cx;
            EXPECT_GE(Height(rect), control->Measure(0).cy) << name << " at " << cx;
            EXPECT_LT(rect.right, preview.left) << name << " at " << cx;
            EXPECT_GT(rect.top, bar.top) << name << " at " << cx;
            EXPECT_LT(rect.bottom, bar.bottom) << name << " at " << cx;
        }
        const RECT start = ClientRectOf(*host, *host->FindControl("btn_startsync"));
        const RECT log = ClientRectOf(*host, *host->FindControl("but_sync_log"));
        EXPECT_LE(preview.right, start.left) << cx;
        EXPECT_LE(start.right, log.left) << cx;
        EXPECT_LT(log.right, bar.right) << cx;
        EXPECT_TRUE(Snapshot(host->Hwnd(), "layouts_main_bar_" + std::to_string(cx) + "x" + std::to_string(cy)));
    }
}

TEST_F(MainWindow, SplitterKeepsBothPanesAtTheirMinimum)
{
    auto* split = host->FindControlAs<SSplitWnd>("split_main");
    ASSERT_NE(split, nullptr);
    for (const int width : {900, 680}) {
        Resize(width, 600);
        split->DragSeparator(0, -2000);
        auto sizes = split->PaneSizes();
        ASSERT_EQ(sizes.size(), 2u);
        EXPECT_EQ(sizes[0], 420) << width;
        EXPECT_GE(sizes[1], 240) << width;
        EXPECT_EQ(Width(ClientRectOf(*host, *host->FindControl("tab_file"))), 420) << width;
        split->DragSeparator(0, 2000);
        sizes = split->PaneSizes();
        EXPECT_GE(sizes[0], 420) << width;
        EXPECT_EQ(sizes[1], 240) << width;
        EXPECT_EQ(Width(ClientRectOf(*host, *host->FindControl("wnd_engine"))), 240) << width;
        // The separator is 6 wide and the split leaves 5 pixels to the window's sides.
        const RECT left = ClientRectOf(*host, *host->FindControl("tab_file"));
        const RECT right = ClientRectOf(*host, *host->FindControl("wnd_engine"));
        EXPECT_EQ(right.left - left.right, 6);
        EXPECT_EQ(left.left, 1 + 5);
        EXPECT_EQ(right.right, width - 1 - 5);
    }
}

TEST_F(MainWindow, ListRowsAre20PixelsAndHeaderBoxesSitOverColumnZero)
{
    Tab("tab_file")->SetCurSel(1);
    testsupport::PumpFor(std::chrono::milliseconds(50));
    struct Case {
        const char* list;
        const char* checkAll;
    };
    for (const Case& c : {Case{"lv_file", "chk_file_all"}, Case{"lv_engine_folder", "chk_engine_all"}}) {
        auto* list = host->FindControlAs<SListCtrl>(c.list);
        ASSERT_NE(list, nullptr) << c.list;
        EXPECT_EQ(list->GetColumnCount(), 2) << c.list;
        const int first = list->InsertItem(0, L"a.txt");
        list->InsertItem(1, L"b.txt");
        RECT row0{LVIR_BOUNDS, 0, 0, 0}, row1{LVIR_BOUNDS, 0, 0, 0};
        ASSERT_TRUE(SendMessageW(list->Hwnd(), LVM_GETITEMRECT, first, reinterpret_cast<LPARAM>(&row0)));
        ASSERT_TRUE(SendMessageW(list->Hwnd(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row1)));
        EXPECT_EQ(Height(row0), 20) << c.list;
        EXPECT_EQ(row1.top - row0.top, 20) << c.list;
        RECT header;
        GetWindowRect(list->Header(), &header);
        EXPECT_EQ(Height(header), 22) << c.list;
        RECT column0{};
        ASSERT_TRUE(SendMessageW(list->Header(), HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&column0)));
        MapWindowPoints(list->Header(), nullptr, reinterpret_cast<POINT*>(&column0), 2);
        const RECT box = host->FindControl(c.checkAll)->ScreenRect();
        EXPECT_TRUE(IsWindowVisible(host->FindControl(c.checkAll)->Hwnd())) << c.checkAll;
        EXPECT_GE(box.left, column0.left) << c.checkAll;
        EXPECT_LE(box.right, column0.right) << c.checkAll;
        EXPECT_GE(box.top, column0.top) << c.checkAll;
        EXPECT_LE(box.bottom, column0.bottom) << c.checkAll;
        list->DeleteAllItems();
    }
    // Column widths: the folder list's check column is 23 wide, the file name column 150.
    RECT col{};
    SendMessageW(host->FindControlAs<SListCtrl>("lv_engine_folder")->Header(), HDM_GETITEMRECT, 0,
                 reinterpret_cast<LPARAM>(&col));
    EXPECT_EQ(Width(col), 23);
    SendMessageW(host->FindControlAs<SListCtrl>("lv_file")->Header(), HDM_GETITEMRECT, 0,
                 reinterpret_cast<LPARAM>(&col));
    EXPECT_EQ(Width(col), 150);

    Tab("tab_file")->SetCurSel(2);
    testsupport::PumpFor(std::chrono::milliseconds(50));
    for (const char* name : {"lv_log", "lv_errorlog"}) {
        auto* box = host->FindControlAs<SListBox>(name);
        ASSERT_NE(box, nullptr) << name;
        box->AddString(L"开始同步文件...");
        EXPECT_EQ(SendMessageW(box->Hwnd(), LB_GETITEMHEIGHT, 0, 0), 20) << name;
    }
}

TEST_F(MainWindow, ScreenshotsOfTheFileAreaPagesAndTheRunningBar)
{
    EXPECT_TRUE(Snapshot(host->Hwnd(), "layouts_page0_empty"));

    Tab("tab_file")->SetCurSel(1);
    auto* files = host->FindControlAs<SListCtrl>("lv_file");
    const wchar_t* names[] = {L"Config.ini", L"QManage.txt", L"Mir200脚本.txt", L"物品数据.db"};
    for (int i = 0; i < 4; ++i) {
        const int row = files->InsertItem(i, names[i]);
        files->SetItemText(row, 1, std::wstring(L"D:\\MirServer\\Mir200\\Envir\\") + names[i]);
        files->SetCheckState(row, i != 2);
    }
    auto* folders = host->FindControlAs<SListCtrl>("lv_engine_folder");
    for (const wchar_t* dir : {L"D:\\MirServer", L"E:\\传奇版本\\1.76"}) {
        const int row = folders->InsertItem(folders->GetItemCount(), L"");
        folders->SetItemText(row, 1, dir);
        folders->SetCheckState(row, true);
    }
    host->FindControl("but_sel_drive")->SetText(L"[D][E]");
    EXPECT_TRUE(IsWindowVisible(files->Hwnd()));
    EXPECT_FALSE(IsWindowVisible(host->FindControl("imgbtn_addfile")->Hwnd()));
    EXPECT_TRUE(Snapshot(host->Hwnd(), "layouts_page1_files"));

    Tab("tab_file")->SetCurSel(2);
    Tab("tab_sync_bar")->SetCurSel(1);
    host->FindControlAs<SProgress>("pro_ing")->SetValue(42);
    host->FindControlAs<SListBox>("lv_log")->AddString(L"开始同步文件...");
    host->FindControlAs<SListBox>("lv_log")->AddString(
        L"同步文件成功:D:\\src\\Config.ini >> D:\\MirServer\\Mir200\\Config.ini");
    host->FindControlAs<SListBox>("lv_errorlog")->AddString(L"同步文件失败:D:\\src\\a.txt >> E:\\传奇版本\\a.txt");
    testsupport::PumpUntil([&] { return IsWindowVisible(host->FindControl("pro_ing")->Hwnd()) != FALSE; });
    testsupport::PumpFor(std::chrono::milliseconds(300));  // let the bar's slide finish for the picture
    EXPECT_TRUE(IsWindowVisible(host->FindControl("lv_log")->Hwnd()));
    const RECT back = ClientRectOf(*host, *host->FindControl("but_back"));
    EXPECT_EQ(Width(back), 55);
    EXPECT_EQ(Height(back), 20);
    // The upper log takes size changes first; the lower keeps its ideal 100 pixels.
    const RECT errors = ClientRectOf(*host, *host->FindControl("lv_errorlog"));
    EXPECT_EQ(Height(errors), 100 - 1 - 22);
    EXPECT_TRUE(Snapshot(host->Hwnd(), "layouts_page2_log_running"));
}

}  // namespace
}  // namespace layoutstest
