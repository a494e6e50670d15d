// The sync file list: adds by dialog and by drop, duplicates, pages, check boxes.

#include "tests/gui/mainwnd/mainwndenv.h"
#include "tests/support/pump.h"
#include "uikit/automation_win.h"
#include "uikit/button_win.h"
#include "uikit/checkbox_win.h"
#include "uikit/listbox_win.h"
#include "uikit/listctrl_win.h"
#include "uikit/tabctrl_win.h"

namespace mainwndtest {
namespace {

using Paths = std::vector<std::wstring>;

class FileListTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        OpenWindow();
    }
    int Page() const { return wnd->tab_file->GetCurSel(); }
    std::vector<bool> Checks() const
    {
        std::vector<bool> checks;
        for (int row = 0; row < wnd->lv_file->GetItemCount(); ++row)
            checks.push_back(wnd->lv_file->GetCheckState(row));
        return checks;
    }
};

TEST_F(FileListTest, StartsEmptyAndAddsByDialogWithoutDuplicates)
{
    EXPECT_EQ(Page(), 0);
    pickerAnswers = {{L"D:\\a\\x.txt", L"D:\\a\\x.txt", L"D:\\b\\y.txt"}, {L"D:\\a\\x.txt", L"D:\\A\\x.txt"}, {}};
    ASSERT_TRUE(uikit::ClickControl(*wnd, "btn_addfile"));
    EXPECT_EQ(FileRows(), (Paths{L"D:\\a\\x.txt", L"D:\\b\\y.txt"}));
    EXPECT_EQ(wnd->lv_file->GetItemText(0, 0), L"x.txt");
    EXPECT_EQ(Page(), 1);
    // The comparison is exact: another letter case is another file.
    ASSERT_TRUE(uikit::ClickControl(*wnd, "but_add_file"));
    EXPECT_EQ(FileRows(), (Paths{L"D:\\a\\x.txt", L"D:\\b\\y.txt", L"D:\\A\\x.txt"}));
    EXPECT_EQ(wnd->fileEntries.size(), 3u);
    // A cancelled dialog changes nothing.
    ASSERT_TRUE(uikit::ClickControl(*wnd, "but_add_file"));
    EXPECT_EQ(FileRows().size(), 3u);
    EXPECT_EQ(wnd->but_sync_log->GetText(), L"查看日志");
}

TEST_F(FileListTest, FolderFilesComeAfterNamedFilesAndEmptyFoldersAddNothing)
{
    WriteText(L"D:\\pack\\one.txt", "1");
    WriteText(L"D:\\pack\\sub\\two.txt", "2");
    CreateDirectoryW(L"D:\\empty", nullptr);
    wnd->AddSyncFiles({L"D:\\empty"});
    EXPECT_EQ(Page(), 0);
    EXPECT_TRUE(FileRows().empty());

    wnd->AddSyncFiles({L"D:\\pack", L"D:\\single.txt"});
    EXPECT_EQ(FileRows(), (Paths{L"D:\\single.txt", L"D:\\pack\\one.txt", L"D:\\pack\\sub\\two.txt"}));
    // The same folder again adds nothing and keeps the list page.
    wnd->AddSyncFiles({L"D:\\pack"});
    EXPECT_EQ(FileRows().size(), 3u);
    EXPECT_EQ(Page(), 1);
}

TEST_F(FileListTest, NewRowsTakeTheDefaultCheckState)
{
    wnd->AddSyncFiles({L"D:\\1.txt"});
    wnd->chk_def_sel->SetCheck(false);
    wnd->AddSyncFiles({L"D:\\2.txt"});
    EXPECT_EQ(Checks(), (std::vector<bool>{true, false}));
}

TEST_F(FileListTest, CheckAllInvertRemoveAndClear)
{
    wnd->chk_def_sel->SetCheck(false);
    wnd->AddSyncFiles({L"D:\\1.txt", L"D:\\2.txt", L"D:\\3.txt"});
    wnd->chk_file_all->SetCheck(true);
    EXPECT_EQ(Checks(), (std::vector<bool>{true, true, true}));

    // Inverting an all-checked list leaves none checked and clears the check-all box.
    ASSERT_TRUE(uikit::ClickControl(*wnd, "but_invert"));
    EXPECT_EQ(Checks(), (std::vector<bool>{false, false, false}));
    EXPECT_FALSE(wnd->chk_file_all->IsChecked());
    // ... and clearing the box that way did not uncheck rows again: inverting again checks all.
    ASSERT_TRUE(uikit::ClickControl(*wnd, "but_invert"));
    EXPECT_EQ(Checks(), (std::vector<bool>{true, true, true}));
    EXPECT_FALSE(wnd->chk_file_all->IsChecked());

    wnd->lv_file->SetCheckState(1, false);
    ASSERT_TRUE(uikit::ClickControl(*wnd, "but_remove_file"));
    EXPECT_EQ(FileRows(), (Paths{L"D:\\2.txt"}));
    EXPECT_EQ(wnd->fileEntries.size(), 1u);
    // A removed file can be added again.
    wnd->AddSyncFiles({L"D:\\1.txt"});
    EXPECT_EQ(FileRows(), (Paths{L"D:\\2.txt", L"D:\\1.txt"}));

    ASSERT_TRUE(uikit::ClickControl(*wnd, "but_clear_file"));
    EXPECT_TRUE(FileRows().empty());
    EXPECT_TRUE(wnd->fileEntries.empty());
    EXPECT_EQ(Page(), 0);
}

TEST_F(FileListTest, DropsGoToTheListUnderTheMouse)
{
    WriteText(L"D:\\drop\\f.txt", "f");
    MakeEngineFolder(L"E:\\hand\\srv");
    // Anywhere on the left: sync files.
    DropAt(wnd->Hwnd(), {L"D:\\drop", L"D:\\loose.txt"}, CentreOf(*wnd->lv_file->Parent()));
    EXPECT_EQ(FileRows(), (Paths{L"D:\\loose.txt", L"D:\\drop\\f.txt"}));

    // On the version-directory list or the drive selector above it: version directories.
    const size_t before = EngineRows().size();
    DropAt(wnd->Hwnd(), {L"E:\\hand\\srv\\Mir200"}, CentreOf(*wnd->lv_engine_folder));
    DropAt(wnd->Hwnd(), {L"D:\\games\\srv1\\Mir200\\x"}, CentreOf(*wnd->but_sel_drive));
    EXPECT_EQ(EngineRows().size(), before + 1);
    EXPECT_EQ(EngineRows().back(), L"E:\\hand\\srv");
    EXPECT_EQ(FileRows().size(), 2u);
    EXPECT_TRUE(messages.empty());
}

TEST_F(FileListTest, DropOfAPathLongerThanMaxPathKeepsThePathWhole)
{
    std::wstring longPath = L"D:\\";
    while (longPath.size() < 300)
        longPath += L"a-rather-long-directory-name\\";
    longPath += L"file.txt";
    DropAt(wnd->Hwnd(), {longPath}, CentreOf(*wnd->lv_file->Parent()));
    EXPECT_EQ(FileRows(), (Paths{longPath}));
}

TEST_F(FileListTest, AddingAfterAFinishedRunStartsAFreshListAndFreshLogs)
{
    wnd->AddSyncFiles({L"D:\\1.txt"});
    wnd->AppendSyncLog(L"old line", 1);
    wnd->errorLogQueue.push_back(L"old error");
    wnd->DrainLogQueue(1);
    wnd->chk_file_all->SetCheck(true);
    wnd->runFinished = true;
    wnd->AddSyncFiles({L"D:\\2.txt"});
    EXPECT_EQ(FileRows(), (Paths{L"D:\\2.txt"}));
    EXPECT_FALSE(wnd->chk_file_all->IsChecked());
    EXPECT_TRUE(LogLines(false).empty());
    EXPECT_TRUE(LogLines(true).empty());
    EXPECT_FALSE(wnd->runFinished);
}

TEST_F(FileListTest, ManyPathsArriveInOrderWithoutDuplicates)
{
    Paths paths;
    for (int i = 0; i < 20000; ++i)
        paths.push_back(L"D:\\many\\f" + std::to_wstring(i % 12000) + L".txt");
    wnd->AddSyncFiles(paths);
    ASSERT_EQ(wnd->lv_file->GetItemCount(), 12000);
    EXPECT_EQ(wnd->lv_file->GetItemText(11999, 1), L"D:\\many\\f11999.txt");
    wnd->chk_file_all->SetCheck(true);
    wnd->chk_file_all->SetCheck(false);
    for (int row = 0; row < 12000; row += 2)
        wnd->lv_file->SetCheckState(row, true);
    wnd->RemoveCheckedFiles();
    ASSERT_EQ(wnd->lv_file->GetItemCount(), 6000);
    EXPECT_EQ(wnd->lv_file->GetItemText(0, 1), L"D:\\many\\f1.txt");
    EXPECT_EQ(wnd->fileEntries.size(), 6000u);
    EXPECT_EQ(wnd->fileEntries.back().fullPath, L"D:\\many\\f11999.txt");
}

}  // namespace
}  // namespace mainwndtest
