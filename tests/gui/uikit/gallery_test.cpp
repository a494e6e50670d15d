#include <gtest/gtest.h>

#include "tests/gui/uikit/uikitenv.h"
#include "tests/support/pump.h"
#include "tests/support/screenshot.h"
#include "uikit/button_win.h"
#include "uikit/checkbox_win.h"
#include "uikit/listbox_win.h"
#include "uikit/progress_win.h"
#include "uikit/tabctrl_win.h"
#include "uikit/image_win.h"
#include "uikit/listctrl_win.h"

namespace uikittest {
namespace {

using namespace uikit;

RECT ClientRectOf(const SHostWnd& host, const SControl& control)
{
    RECT r = control.ScreenRect();
    MapWindowPoints(nullptr, host.Hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST(Gallery, BuildsEveryControlKindFromTheLayoutAndInitialisesBeforeShowing)
{
    auto host = OpenGallery();
    ASSERT_TRUE(host);
    EXPECT_TRUE(host->initSeen);
    EXPECT_FALSE(host->visibleAtInit);

    const std::pair<const char*, const char*> expected[] = {{"tab_file", "tabctrl"},
                                                            {"tab_sync_bar", "tabctrl"},
                                                            {"lv_file", "listctrl"},
                                                            {"lv_engine_folder", "listctrl"},
                                                            {"chk_def_sel", "check"},
                                                            {"chk_file_all", "check"},
                                                            {"check_sync_backup", "check"},
                                                            {"but_sel_drive", "button"},
                                                            {"but_sync_log", "button"},
                                                            {"win_loading", "window"},
                                                            {"img_loading", "img"},
                                                            {"img_sync_mir200_file", "img"},
                                                            {"txt_loading", "text"},
                                                            {"tt_bar_version", "text"},
                                                            {"lv_log", "listbox"},
                                                            {"lv_errorlog", "listbox"},
                                                            {"radio_sync_mir200_file", "radio"},
                                                            {"pro_ing", "progress"},
                                                            {"imgbtn_addfile", "button"},
                                                            {"link_qq", "button"},
                                                            {"split_main", "split"}};
    for (const auto& [name, kind] : expected)
        EXPECT_NE(host->FindControl(name, kind), nullptr) << name << " as " << kind;
    // The name alone is not enough: the kind must match too.
    EXPECT_EQ(host->FindControl("lv_log", "listctrl"), nullptr);
    EXPECT_EQ(host->FindControl("no_such_control"), nullptr);
    // Registered identifiers are used for the named controls.
    EXPECT_EQ(host->FindControl("lv_file")->Id(), 65544);
    EXPECT_EQ(GetDlgCtrlID(host->FindControl("lv_file")->Hwnd()), 65544);
}

TEST(Gallery, PlacesControlsAsTheLayoutSays)
{
    auto host = OpenGallery();
    ASSERT_TRUE(host);
    RECT window;
    GetWindowRect(host->Hwnd(), &window);
    EXPECT_EQ(window.right - window.left, 900);
    EXPECT_EQ(window.bottom - window.top, 600);

    // Window buttons count from the right edge of the caption (which starts 1 pixel in).
    const RECT close = ClientRectOf(*host, *host->FindControl("btn_close"));
    EXPECT_EQ(close.left, 900 - 1 - 35);
    EXPECT_EQ(close.top, 1 + 2);
    EXPECT_FALSE(IsWindowVisible(host->FindControl("btn_restore")->Hwnd()));
    EXPECT_FALSE(IsWindowVisible(host->FindControl("win_loading")->Hwnd()));

    // The split: left pane grows beyond its ideal, right pane keeps a width of at least 240.
    const RECT right = ClientRectOf(*host, *host->FindControl("pane_right"));
    const RECT left = ClientRectOf(*host, *host->FindControl("tab_file"));
    EXPECT_GE(right.right - right.left, 240);
    EXPECT_GE(left.right - left.left, 420);
    EXPECT_EQ(right.left - left.right, 6);

    // Rows of the list are 20 pixels high, its header 22.
    auto* list = host->FindControlAs<SListCtrl>("lv_file");
    ASSERT_NE(list, nullptr);
    list->InsertItem(0, L"a.txt");
    RECT row{};
    row.left = LVIR_BOUNDS;
    ASSERT_TRUE(SendMessageW(list->Hwnd(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)));
    EXPECT_EQ(row.bottom - row.top, 20);
    RECT header;
    GetWindowRect(list->Header(), &header);
    EXPECT_EQ(header.bottom - header.top, 22);
    // The check-all box lies over the header's column 0.
    const RECT checkAll = host->FindControl("chk_file_all")->ScreenRect();
    EXPECT_GE(checkAll.top, header.top);
    EXPECT_LE(checkAll.bottom, header.bottom);
}

TEST(Gallery, ScreenshotsOfTheMainStates)
{
    auto host = OpenGallery();
    ASSERT_TRUE(host);
    auto* files = host->FindControlAs<SListCtrl>("lv_file");
    auto* folders = host->FindControlAs<SListCtrl>("lv_engine_folder");
    const wchar_t* names[] = {L"Config.ini", L"QManage.txt", L"Mir200脚本.txt", L"物品数据.db"};
    for (int i = 0; i < 4; ++i) {
        const int row = files->InsertItem(i, names[i]);
        files->SetItemText(row, 1, std::wstring(L"D:\\MirServer\\Mir200\\Envir\\") + names[i]);
        files->SetCheckState(row, i != 2);
    }
    files->SetSelected(1, true);
    for (const wchar_t* dir : {L"D:\\MirServer", L"E:\\传奇版本\\1.76", L"E:\\传奇版本\\1.80"}) {
        const int row = folders->InsertItem(folders->GetItemCount(), L"");
        folders->SetItemText(row, 1, dir);
        folders->SetCheckState(row, true);
    }
    testsupport::PumpFor(std::chrono::milliseconds(200));
    EXPECT_FALSE(testsupport::SaveScreenshot(host->Hwnd(), "uikit_gallery_list").empty());

    auto* tab = host->FindControlAs<STabCtrl>("tab_file");
    tab->SetCurSel(0);
    host->FindControlAs<STabCtrl>("tab_sync_bar")->SetCurSel(1);
    host->FindControlAs<SProgress>("pro_ing")->SetValue(42);
    testsupport::PumpFor(std::chrono::milliseconds(200));
    EXPECT_FALSE(testsupport::SaveScreenshot(host->Hwnd(), "uikit_gallery_empty_running").empty());

    tab->SetCurSel(2);
    auto* log = host->FindControlAs<SListBox>("lv_log");
    auto* errors = host->FindControlAs<SListBox>("lv_errorlog");
    log->AddString(L"开始同步文件...");
    log->AddString(L"同步文件成功:D:\\src\\Config.ini >> D:\\MirServer\\Mir200\\Config.ini");
    errors->AddString(L"同步文件失败:D:\\src\\a.txt >> E:\\传奇版本\\a.txt");
    testsupport::PumpFor(std::chrono::milliseconds(200));
    EXPECT_FALSE(testsupport::SaveScreenshot(host->Hwnd(), "uikit_gallery_log").empty());
    host->FindControl("win_loading")->SetVisible(true);
    host->FindControlAs<SImage>("img_loading")->SetFrame(3);
    testsupport::PumpFor(std::chrono::milliseconds(200));
    EXPECT_FALSE(testsupport::SaveScreenshot(host->Hwnd(), "uikit_gallery_loading").empty());
}

}  // namespace
}  // namespace uikittest
