// The version directory list: the start-up scan, hand-added folders, the drive choice,
// the loading overlay and the busy guards.

#include "common/drives.h"
#include "syncfolderapp/discovery/seldrivedlg.h"
#include "syncfolderapp/sync/ctimermgr.h"
#include "syncfolderapp/sync/syncfiledriver.h"
#include "syncfolderapp/sync/syncmessages.h"
#include "tests/gui/mainwnd/mainwndenv.h"
#include "tests/support/pump.h"
#include "uikit/automation_win.h"
#include "uikit/button_win.h"
#include "uikit/checkbox_win.h"
#include "uikit/containers_win.h"
#include "uikit/image_win.h"
#include "uikit/listctrl_win.h"
#include "uikit/text_win.h"

namespace mainwndtest {
namespace {

using Paths = std::vector<std::wstring>;

class EngineListTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        OpenWindow();
    }
};

TEST_F(EngineListTest, StartupScansTheSecondFixedDiskAndListsWhatItFinds)
{
    const Paths fixed = GetFixedDrives();
    ASSERT_GE(fixed.size(), 2u);
    EXPECT_EQ(wnd->fixedDrives, fixed);
    EXPECT_EQ(wnd->scanDrives, Paths{fixed[1]});
    EXPECT_EQ(wnd->but_sel_drive->GetText(), fixed[1] + L":\\");
    EXPECT_EQ(wnd->systemDrive, GetSystemDrive());
    if (fixed[1] == L"D") {
        EXPECT_EQ(EngineRows(), (Paths{L"D:\\games\\srv1", L"D:\\games\\srv2"}));
        EXPECT_TRUE(wnd->lv_engine_folder->GetCheckState(0));
        EXPECT_TRUE(wnd->lv_engine_folder->GetCheckState(1));
    }
    EXPECT_EQ(wnd->knownEngineFolders, EngineRows());
    EXPECT_EQ(wnd->tt_bar_version->GetText(), L"Ver.1.0.1");
    EXPECT_FALSE(wnd->FindControl("txt_title2")->IsVisible());
    EXPECT_FALSE(wnd->win_loading->IsVisible());
    EXPECT_EQ(wnd->txt_loading->GetText(), L"加载中...");
}

TEST_F(EngineListTest, DriveCaptions)
{
    EXPECT_EQ(CMainFrameDriver::DriveCaption({L"D"}), L"D:\\");
    EXPECT_EQ(CMainFrameDriver::DriveCaption({L"D", L"E", L"F"}), L"[D][E][F]");
    EXPECT_EQ(CMainFrameDriver::DriveCaption({}), L"");
}

TEST_F(EngineListTest, HandAddedFoldersAreValidatedCutBackAndKeptUnique)
{
    MakeEngineFolder(L"E:\\MirServer");
    CreateDirectoryW(L"E:\\Other", nullptr);
    wnd->ClearEngineFolders();
    wnd->AddEngineFolders({L"E:\\MirServer", L"E:\\MirServer"}, false);
    EXPECT_EQ(EngineRows(), Paths{L"E:\\MirServer"});
    wnd->AddEngineFolders({L"E:\\MirServer\\Mir200", L"E:\\MirServer\\Mir200\\Envir"}, false);
    EXPECT_EQ(EngineRows(), Paths{L"E:\\MirServer"});
    EXPECT_TRUE(messages.empty());

    // Invalid paths: one message per call, error icon; the valid ones are added all the same.
    wnd->AddEngineFolders({L"E:\\Other", L"E:\\mir200data", L"D:\\Mir200"}, false);
    EXPECT_EQ(EngineRows(), (Paths{L"E:\\MirServer", L"D:"}));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"不合规的版本目录,请确保目录中存在[Mir200]子目录!");
    EXPECT_EQ(messages[0].caption, L"温馨提示");
    EXPECT_EQ(messages[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    // A silent call shows nothing.
    wnd->AddEngineFolders({L"E:\\Other"}, true);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(wnd->knownEngineFolders, EngineRows());
}

TEST_F(EngineListTest, AddFolderButtonUsesThePickerAndARescanDropsHandAddedFolders)
{
    MakeEngineFolder(L"E:\\picked");
    pickerAnswers = {{L"E:\\picked"}, {}};
    ASSERT_TRUE(uikit::ClickControl(*wnd, "but_addengine_folder"));
    ASSERT_FALSE(EngineRows().empty());
    EXPECT_EQ(EngineRows().back(), L"E:\\picked");
    const size_t count = EngineRows().size();
    ASSERT_TRUE(uikit::ClickControl(*wnd, "but_addengine_folder"));  // cancelled
    EXPECT_EQ(EngineRows().size(), count);

    ASSERT_TRUE(uikit::ClickControl(*wnd, "but_refresh_drive"));
    EXPECT_TRUE(wnd->win_loading->IsVisible());
    EXPECT_TRUE(EngineRows().empty());
    ASSERT_TRUE(WaitForScanEnd());
    const Paths rows = EngineRows();
    EXPECT_EQ(std::count(rows.begin(), rows.end(), L"E:\\picked"), 0);
    EXPECT_EQ(wnd->knownEngineFolders, EngineRows());
}

TEST_F(EngineListTest, RemoveCheckedClearAndCheckAll)
{
    wnd->ClearEngineFolders();
    MakeEngineFolder(L"E:\\a");
    MakeEngineFolder(L"E:\\b");
    MakeEngineFolder(L"E:\\c");
    wnd->AddEngineFolders({L"E:\\a", L"E:\\b", L"E:\\c"}, false);
    wnd->lv_engine_folder->SetCheckState(1, false);
    ASSERT_TRUE(uikit::ClickControl(*wnd, "but_remove_engine"));
    EXPECT_EQ(EngineRows(), Paths{L"E:\\b"});
    EXPECT_EQ(wnd->knownEngineFolders, Paths{L"E:\\b"});
    // A removed folder can come back.
    wnd->AddEngineFolders({L"E:\\a"}, false);
    EXPECT_EQ(EngineRows(), (Paths{L"E:\\b", L"E:\\a"}));

    wnd->FindControlAs<uikit::SCheck>("chk_engine_all")->SetCheck(true);
    wnd->FindControlAs<uikit::SCheck>("chk_engine_all")->SetCheck(false);
    EXPECT_FALSE(wnd->lv_engine_folder->GetCheckState(0));
    EXPECT_FALSE(wnd->lv_engine_folder->GetCheckState(1));
    EXPECT_TRUE(wnd->CheckedEngineFolders().empty());

    ASSERT_TRUE(uikit::ClickControl(*wnd, "but_clear_engine"));
    EXPECT_TRUE(EngineRows().empty());
    EXPECT_TRUE(wnd->knownEngineFolders.empty());
}

TEST_F(EngineListTest, ScanEndWithoutResultsLeavesTheListEmpty)
{
    SendMessageW(wnd->Hwnd(), UM_SCAN_NOTIFY, SCAN_BEGIN, 0);
    EXPECT_TRUE(wnd->win_loading->IsVisible());
    SendMessageW(wnd->Hwnd(), UM_SCAN_NOTIFY, SCAN_RESULTS, 0);  // no list: nothing
    SendMessageW(wnd->Hwnd(), UM_SCAN_NOTIFY, SCAN_END, 0);
    EXPECT_FALSE(wnd->win_loading->IsVisible());
    EXPECT_EQ(wnd->knownEngineFolders, EngineRows());
}

TEST_F(EngineListTest, LoadingAnimationCyclesThroughEightFrames)
{
    SendMessageW(wnd->Hwnd(), UM_SCAN_NOTIFY, SCAN_BEGIN, 0);
    EXPECT_EQ(wnd->img_loading->GetFrame(), 0);
    std::vector<int> frames;
    for (int tick = 0; tick < 9; ++tick) {
        SendMessageW(wnd->Hwnd(), WM_TIMER, TIMER_SCAN_ANIM, 0);
        frames.push_back(wnd->img_loading->GetFrame());
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 0, 1}));
    Snapshot(wnd->Hwnd(), "mainwnd-loading-overlay");
    SendMessageW(wnd->Hwnd(), UM_SCAN_NOTIFY, SCAN_END, 0);
}

TEST_F(EngineListTest, DriveChoiceRescansTheChosenDisksInDiskOrder)
{
    // Answer the modal drive dialog from inside its own loop: tick E and D, accept.
    static bool answered = false;
    answered = false;
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
        auto* dlg = dynamic_cast<CSelDriveDlg*>(uikit::SHostWnd::FromHwnd(GetActiveWindow()));
        if (!dlg)
            return;
        KillTimer(nullptr, id);
        for (const char* box : {"ck_E", "ck_D"}) {
            if (auto* check = dlg->FindControlAs<uikit::SCheck>(box))
                check->SetCheck(true);
        }
        answered = uikit::ClickControl(*dlg, "but_ok");
    });
    ASSERT_TRUE(uikit::ClickControl(*wnd, "but_sel_drive"));
    ASSERT_TRUE(answered);
    ASSERT_TRUE(WaitForScanEnd());
    Paths expected;
    for (const std::wstring& d : wnd->fixedDrives) {
        if (d == L"D" || d == L"E" || d == wnd->fixedDrives[1])
            expected.push_back(d);
    }
    EXPECT_EQ(wnd->scanDrives, expected);
    std::wstring caption;
    for (const std::wstring& d : expected)
        caption += L"[" + d + L"]";
    EXPECT_EQ(wnd->but_sel_drive->GetText(), caption);
    // D's version directories first, then E's.
    const Paths rows = EngineRows();
    const auto s3 = std::find(rows.begin(), rows.end(), L"E:\\mir\\s3");
    const auto srv1 = std::find(rows.begin(), rows.end(), L"D:\\games\\srv1");
    ASSERT_NE(s3, rows.end());
    ASSERT_NE(srv1, rows.end());
    EXPECT_LT(srv1, s3);
}

TEST_F(EngineListTest, NoFixedDiskMeansNoDriveDialog)
{
    wnd->fixedDrives.clear();
    ASSERT_TRUE(uikit::ClickControl(*wnd, "but_drop_drive"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"未检测到本地磁盘,请手动添加版本目录!");
    EXPECT_EQ(messages[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));
}

TEST_F(EngineListTest, DuringARunTheListButtonsOnlyShowTheToast)
{
    const Paths rows = EngineRows();
    const Paths drives = wnd->scanDrives;
    wnd->syncEngine->busy = true;
    for (const char* name : {"but_addengine_folder", "but_remove_engine", "but_clear_engine", "but_sel_drive",
                             "but_drop_drive", "but_refresh_drive"}) {
        const int before = ToastCount();
        ASSERT_TRUE(uikit::ClickControl(*wnd, name)) << name;
        EXPECT_EQ(ToastCount(), before + 1) << name;
    }
    EXPECT_EQ(EngineRows(), rows);
    EXPECT_EQ(wnd->scanDrives, drives);
    EXPECT_FALSE(wnd->win_loading->IsVisible());
    // Check boxes still work during a run.
    wnd->FindControlAs<uikit::SCheck>("chk_engine_all")->SetCheck(true);
    wnd->FindControlAs<uikit::SCheck>("chk_engine_all")->SetCheck(false);
    EXPECT_TRUE(wnd->CheckedEngineFolders().empty());
    wnd->syncEngine->busy = false;
}

}  // namespace
}  // namespace mainwndtest
