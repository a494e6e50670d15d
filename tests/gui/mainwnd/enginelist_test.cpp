// The version directory list: the start-up scan, hand-added folders, the drive choice,
// the loading overlay and the busy guards.

#include "common/drives.h"
#include "syncfolderapp/discovery/seldrivedlg.h"
#include "syncfolderapp/mainwnd/enginefolderpane.h"
#include "syncfolderapp/sync/ctimermgr.h"
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

    std::vector<bool> EngineChecks() const
    {
        const auto* list = Control<uikit::SListCtrl>("lv_engine_folder");
        std::vector<bool> checks;
        for (int row = 0; row < list->GetItemCount(); ++row)
            checks.push_back(list->GetCheckState(row));
        return checks;
    }
};

TEST_F(EngineListTest, StartupScansTheSecondFixedDiskAndListsWhatItFinds)
{
    const Paths fixed = GetFixedDrives();
    ASSERT_GE(fixed.size(), 2u);
    EXPECT_EQ(Control<uikit::SButton>("but_sel_drive")->GetText(), fixed[1] + L":\\");
    if (fixed[1] == L"D") {
        EXPECT_EQ(EngineRows(), (Paths{L"D:\\games\\srv1", L"D:\\games\\srv2"}));
        EXPECT_EQ(EngineChecks(), (std::vector<bool>{true, true}));
    }
    EXPECT_EQ(Control<uikit::SText>("tt_bar_version")->GetText(), L"Ver.1.0.1");
    EXPECT_FALSE(wnd->FindControl("txt_title2")->IsVisible());
    EXPECT_FALSE(Control<uikit::SWindow>("win_loading")->IsVisible());
    EXPECT_EQ(Control<uikit::SText>("txt_loading")->GetText(), L"加载中...");
}

TEST_F(EngineListTest, DriveCaptions)
{
    EXPECT_EQ(CEngineFolderPane::DriveCaption({L"D"}), L"D:\\");
    EXPECT_EQ(CEngineFolderPane::DriveCaption({L"D", L"E", L"F"}), L"[D][E][F]");
    EXPECT_EQ(CEngineFolderPane::DriveCaption({}), L"");
}

TEST_F(EngineListTest, HandAddedFoldersAreValidatedCutBackAndKeptUnique)
{
    MakeEngineFolder(L"E:\\MirServer");
    CreateDirectoryW(L"E:\\Other", nullptr);
    ASSERT_TRUE(Click("but_clear_engine"));
    DropOnEngineList({L"E:\\MirServer", L"E:\\MirServer"});
    EXPECT_EQ(EngineRows(), Paths{L"E:\\MirServer"});
    DropOnEngineList({L"E:\\MirServer\\Mir200", L"E:\\MirServer\\Mir200\\Envir"});
    EXPECT_EQ(EngineRows(), Paths{L"E:\\MirServer"});
    EXPECT_TRUE(messages.empty());

    // Invalid paths: one message per call, error icon; the valid ones are added all the same.
    DropOnEngineList({L"E:\\Other", L"E:\\mir200data", L"D:\\Mir200"});
    EXPECT_EQ(EngineRows(), (Paths{L"E:\\MirServer", L"D:"}));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"不合规的版本目录,请确保目录中存在[Mir200]子目录!");
    EXPECT_EQ(messages[0].caption, L"温馨提示");
    EXPECT_EQ(messages[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    // What a scan reports is taken without a message, duplicates dropped all the same.
    ReportScanResults({L"E:\\Other", L"E:\\MirServer", L"D:\\games\\srv1"});
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(EngineRows(), (Paths{L"E:\\MirServer", L"D:", L"D:\\games\\srv1"}));
}

TEST_F(EngineListTest, AddFolderButtonUsesThePickerAndARescanDropsHandAddedFolders)
{
    MakeEngineFolder(L"E:\\picked");
    pickerAnswers = {{L"E:\\picked"}, {}};
    ASSERT_TRUE(Click("but_addengine_folder"));
    ASSERT_FALSE(EngineRows().empty());
    EXPECT_EQ(EngineRows().back(), L"E:\\picked");
    const size_t count = EngineRows().size();
    ASSERT_TRUE(Click("but_addengine_folder"));  // cancelled
    EXPECT_EQ(EngineRows().size(), count);

    ASSERT_TRUE(Click("but_refresh_drive"));
    EXPECT_TRUE(Control<uikit::SWindow>("win_loading")->IsVisible());
    EXPECT_TRUE(EngineRows().empty());
    ASSERT_TRUE(WaitForScanEnd());
    const Paths rows = EngineRows();
    EXPECT_EQ(std::count(rows.begin(), rows.end(), L"E:\\picked"), 0);
    // The rescan forgot it, so it can be added again.
    DropOnEngineList({L"E:\\picked"});
    EXPECT_EQ(EngineRows().back(), L"E:\\picked");
}

TEST_F(EngineListTest, RemoveCheckedClearAndCheckAll)
{
    ASSERT_TRUE(Click("but_clear_engine"));
    MakeEngineFolder(L"E:\\a");
    MakeEngineFolder(L"E:\\b");
    MakeEngineFolder(L"E:\\c");
    DropOnEngineList({L"E:\\a", L"E:\\b", L"E:\\c"});
    Control<uikit::SListCtrl>("lv_engine_folder")->SetCheckState(1, false);
    ASSERT_TRUE(Click("but_remove_engine"));
    EXPECT_EQ(EngineRows(), Paths{L"E:\\b"});
    // A removed folder can come back; a kept one is not added twice.
    DropOnEngineList({L"E:\\a", L"E:\\b"});
    EXPECT_EQ(EngineRows(), (Paths{L"E:\\b", L"E:\\a"}));

    ASSERT_TRUE(Click("chk_engine_all"));
    ASSERT_TRUE(Click("chk_engine_all"));
    EXPECT_EQ(EngineChecks(), (std::vector<bool>{false, false}));

    ASSERT_TRUE(Click("but_clear_engine"));
    EXPECT_TRUE(EngineRows().empty());
    DropOnEngineList({L"E:\\b"});
    EXPECT_EQ(EngineRows(), Paths{L"E:\\b"});
}

TEST_F(EngineListTest, ScanNoticesShowAndHideTheOverlay)
{
    const Paths rows = EngineRows();
    SendMessageW(wnd->Hwnd(), UM_SCAN_NOTIFY, SCAN_BEGIN, 0);
    EXPECT_TRUE(Control<uikit::SWindow>("win_loading")->IsVisible());
    SendMessageW(wnd->Hwnd(), UM_SCAN_NOTIFY, SCAN_RESULTS, 0);  // no list: nothing
    SendMessageW(wnd->Hwnd(), UM_SCAN_NOTIFY, SCAN_END, 0);
    EXPECT_FALSE(Control<uikit::SWindow>("win_loading")->IsVisible());
    EXPECT_EQ(EngineRows(), rows);
}

TEST_F(EngineListTest, LoadingAnimationCyclesThroughEightFrames)
{
    SendMessageW(wnd->Hwnd(), UM_SCAN_NOTIFY, SCAN_BEGIN, 0);
    const auto* image = Control<uikit::SImage>("img_loading");
    EXPECT_EQ(image->GetFrame(), 0);
    std::vector<int> frames;
    for (int tick = 0; tick < 9; ++tick) {
        SendMessageW(wnd->Hwnd(), WM_TIMER, TIMER_SCAN_ANIM, 0);
        frames.push_back(image->GetFrame());
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 0, 1}));
    Snapshot(wnd->Hwnd(), "mainwnd-loading-overlay");
    SendMessageW(wnd->Hwnd(), UM_SCAN_NOTIFY, SCAN_END, 0);
}

// What the drive dialog offered: its boxes by letter, with their first check state.
struct OfferedDrive {
    std::wstring letter;
    bool checked;
    bool operator==(const OfferedDrive&) const = default;
};

TEST_F(EngineListTest, DriveChoiceOffersTheFixedDisksAndRescansTheChosenOnesInDiskOrder)
{
    // Answer the modal drive dialog from inside its own loop: note what it offers, tick E
    // and D, accept.
    static std::vector<OfferedDrive> offered;
    static bool answered = false;
    offered.clear();
    answered = false;
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
        auto* dlg = dynamic_cast<CSelDriveDlg*>(uikit::SHostWnd::FromHwnd(GetActiveWindow()));
        if (!dlg)
            return;
        KillTimer(nullptr, id);
        dlg->ForEachControl([](uikit::SControl& control) {
            const std::string& name = control.Name();
            if (auto* box = dynamic_cast<uikit::SCheck*>(&control); box && name.starts_with("ck_"))
                offered.push_back({std::wstring(name.begin() + 3, name.end()), box->IsChecked()});
        });
        for (const char* box : {"ck_E", "ck_D"}) {
            if (auto* check = dlg->FindControlAs<uikit::SCheck>(box))
                check->SetCheck(true);
        }
        answered = uikit::ClickControl(*dlg, "but_ok");
    });
    ASSERT_TRUE(Click("but_sel_drive"));
    ASSERT_TRUE(answered);
    const Paths fixed = GetFixedDrives();
    std::vector<OfferedDrive> expectedOffer;
    for (const std::wstring& d : fixed)
        expectedOffer.push_back({d, d == fixed[1]});
    EXPECT_EQ(offered, expectedOffer);

    ASSERT_TRUE(WaitForScanEnd());
    std::wstring caption;
    for (const std::wstring& d : fixed) {
        if (d == L"D" || d == L"E" || d == fixed[1])
            caption += L"[" + d + L"]";
    }
    EXPECT_EQ(Control<uikit::SButton>("but_sel_drive")->GetText(), caption);
    // D's version directories first, then E's.
    const Paths rows = EngineRows();
    const auto s3 = std::find(rows.begin(), rows.end(), L"E:\\mir\\s3");
    const auto srv1 = std::find(rows.begin(), rows.end(), L"D:\\games\\srv1");
    ASSERT_NE(s3, rows.end());
    ASSERT_NE(srv1, rows.end());
    EXPECT_LT(srv1, s3);
}

TEST_F(MainWindowTest, WithoutFixedDisksTheScanFindsNothingAndTheDriveButtonsExplain)
{
    seams.fixedDrives = [] { return Paths{}; };
    OpenWindow();
    EXPECT_EQ(Control<uikit::SButton>("but_sel_drive")->GetText(), L"");
    EXPECT_TRUE(EngineRows().empty());
    EXPECT_FALSE(Control<uikit::SWindow>("win_loading")->IsVisible());
    ASSERT_TRUE(Click("but_drop_drive"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"未检测到本地磁盘,请手动添加版本目录!");
    EXPECT_EQ(messages[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));
}

TEST_F(EngineListTest, DuringARunTheListButtonsOnlyShowTheToast)
{
    WriteText(L"D:\\src\\Mir200\\x.txt", "x");
    DropOnFileArea({L"D:\\src\\Mir200\\x.txt"});
    const Paths rows = EngineRows();
    const std::wstring drives = Control<uikit::SButton>("but_sel_drive")->GetText();
    workerHold.HoldAtLine(1);
    ASSERT_TRUE(Click("btn_startsync"));
    ASSERT_TRUE(workerHold.WaitUntilHeld());
    for (const char* name : {"but_addengine_folder", "but_remove_engine", "but_clear_engine", "but_sel_drive",
                             "but_drop_drive", "but_refresh_drive"}) {
        const int before = ToastCount();
        ASSERT_TRUE(Click(name)) << name;
        EXPECT_EQ(ToastCount(), before + 1) << name;
    }
    EXPECT_EQ(EngineRows(), rows);
    EXPECT_EQ(Control<uikit::SButton>("but_sel_drive")->GetText(), drives);
    EXPECT_FALSE(Control<uikit::SWindow>("win_loading")->IsVisible());
    // Check boxes and drops still work during a run.
    ASSERT_TRUE(Click("chk_engine_all"));
    ASSERT_TRUE(Click("chk_engine_all"));
    EXPECT_EQ(EngineChecks(), std::vector<bool>(rows.size(), false));
    MakeEngineFolder(L"E:\\late");
    DropOnEngineList({L"E:\\late"});
    EXPECT_EQ(EngineRows().back(), L"E:\\late");
    workerHold.Release();
    EXPECT_TRUE(WaitForRunEnd());
}

}  // namespace
}  // namespace mainwndtest
