// The sync file list: adds by dialog and by drop, duplicates, pages, check boxes.

#include <thread>

#include "syncfolderapp/sync/syncmessages.h"
#include "tests/gui/mainwnd/mainwndenv.h"
#include "tests/support/pump.h"
#include "uikit/button_win.h"
#include "uikit/checkbox_win.h"
#include "uikit/listctrl_win.h"

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
};

TEST_F(FileListTest, StartsEmptyAndAddsByDialogWithoutDuplicates)
{
    EXPECT_EQ(FilePage(), 0);
    pickerAnswers = {{L"D:\\a\\x.txt", L"D:\\a\\x.txt", L"D:\\b\\y.txt"}, {L"D:\\a\\x.txt", L"D:\\A\\x.txt"}, {}};
    ASSERT_TRUE(Click("btn_addfile"));
    EXPECT_EQ(FileRows(), (Paths{L"D:\\a\\x.txt", L"D:\\b\\y.txt"}));
    EXPECT_EQ(Control<uikit::SListCtrl>("lv_file")->GetItemText(0, 0), L"x.txt");
    EXPECT_EQ(FilePage(), 1);
    // The comparison is exact: another letter case is another file.
    ASSERT_TRUE(Click("but_add_file"));
    EXPECT_EQ(FileRows(), (Paths{L"D:\\a\\x.txt", L"D:\\b\\y.txt", L"D:\\A\\x.txt"}));
    // A cancelled dialog changes nothing.
    ASSERT_TRUE(Click("but_add_file"));
    EXPECT_EQ(FileRows().size(), 3u);
    EXPECT_EQ(Control<uikit::SButton>("but_sync_log")->GetText(), L"查看日志");
}

TEST_F(FileListTest, FolderFilesComeAfterNamedFilesAndEmptyFoldersAddNothing)
{
    WriteText(L"D:\\pack\\one.txt", "1");
    WriteText(L"D:\\pack\\sub\\two.txt", "2");
    CreateDirectoryW(L"D:\\empty", nullptr);
    DropOnFileArea({L"D:\\empty"});
    EXPECT_EQ(FilePage(), 0);
    EXPECT_TRUE(FileRows().empty());

    DropOnFileArea({L"D:\\pack", L"D:\\single.txt"});
    EXPECT_EQ(FileRows(), (Paths{L"D:\\single.txt", L"D:\\pack\\one.txt", L"D:\\pack\\sub\\two.txt"}));
    // The same folder again adds nothing and keeps the list page.
    DropOnFileArea({L"D:\\pack"});
    EXPECT_EQ(FileRows().size(), 3u);
    EXPECT_EQ(FilePage(), 1);
}

TEST_F(FileListTest, DefaultCheckCheckAllInvertRemoveAndClear)
{
    DropOnFileArea({L"D:\\1.txt"});
    ASSERT_TRUE(Click("chk_def_sel"));  // later rows arrive unchecked; row 1 keeps its check
    DropOnFileArea({L"D:\\2.txt", L"D:\\3.txt"});
    EXPECT_EQ(FileChecks(), (std::vector<bool>{true, false, false}));
    ASSERT_TRUE(Click("chk_file_all"));
    EXPECT_EQ(FileChecks(), (std::vector<bool>{true, true, true}));

    // Inverting an all-checked list leaves none checked and clears the check-all box.
    ASSERT_TRUE(Click("but_invert"));
    EXPECT_EQ(FileChecks(), (std::vector<bool>{false, false, false}));
    EXPECT_FALSE(Control<uikit::SCheck>("chk_file_all")->IsChecked());
    // ... and clearing the box that way did not uncheck rows again: inverting again checks all.
    ASSERT_TRUE(Click("but_invert"));
    EXPECT_EQ(FileChecks(), (std::vector<bool>{true, true, true}));
    EXPECT_FALSE(Control<uikit::SCheck>("chk_file_all")->IsChecked());

    Control<uikit::SListCtrl>("lv_file")->SetCheckState(1, false);
    ASSERT_TRUE(Click("but_remove_file"));
    EXPECT_EQ(FileRows(), (Paths{L"D:\\2.txt"}));
    // A removed file can be added again; a kept one still cannot.
    DropOnFileArea({L"D:\\1.txt", L"D:\\2.txt"});
    EXPECT_EQ(FileRows(), (Paths{L"D:\\2.txt", L"D:\\1.txt"}));

    ASSERT_TRUE(Click("but_clear_file"));
    EXPECT_TRUE(FileRows().empty());
    EXPECT_EQ(FilePage(), 0);
    DropOnFileArea({L"D:\\2.txt"});
    EXPECT_EQ(FileRows(), (Paths{L"D:\\2.txt"}));
}

TEST_F(FileListTest, DropsGoToTheListUnderTheMouse)
{
    WriteText(L"D:\\drop\\f.txt", "f");
    MakeEngineFolder(L"E:\\hand\\srv");
    // Anywhere on the left: sync files.
    DropOnFileArea({L"D:\\drop", L"D:\\loose.txt"});
    EXPECT_EQ(FileRows(), (Paths{L"D:\\loose.txt", L"D:\\drop\\f.txt"}));

    // On the version-directory list or the drive selector above it: version directories.
    const size_t before = EngineRows().size();
    DropOnEngineList({L"E:\\hand\\srv\\Mir200"});
    DropAt(wnd->Hwnd(), {L"D:\\games\\srv1\\Mir200\\x"}, CentreOf(*Control<uikit::SControl>("but_sel_drive")));
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
    DropOnFileArea({longPath});
    EXPECT_EQ(FileRows(), (Paths{longPath}));
}

TEST_F(FileListTest, AddingAfterAFinishedRunStartsAFreshListAndFreshLogs)
{
    DropOnFileArea({L"D:\\1.txt"});
    ASSERT_TRUE(Click("chk_file_all"));
    std::thread([this] { wnd->SyncReceiver().OnSyncError(L"old error", 5, 139); }).join();
    SendMessageW(wnd->Hwnd(), UM_SYNC_NOTIFY, SYNC_END, 0);
    EXPECT_EQ(LogLines(true), Paths{L"old error"});
    EXPECT_EQ(LogLines(false), Paths{L"文件同步完成,共同步了 0 个文件!"});

    DropOnFileArea({L"D:\\2.txt"});
    EXPECT_EQ(FileRows(), (Paths{L"D:\\2.txt"}));
    EXPECT_FALSE(Control<uikit::SCheck>("chk_file_all")->IsChecked());
    EXPECT_TRUE(LogLines(false).empty());
    EXPECT_TRUE(LogLines(true).empty());
    // Only the first add after the run starts afresh.
    DropOnFileArea({L"D:\\3.txt"});
    EXPECT_EQ(FileRows(), (Paths{L"D:\\2.txt", L"D:\\3.txt"}));
}

TEST_F(FileListTest, ManyPathsArriveInOrderWithoutDuplicates)
{
    Paths paths;
    for (int i = 0; i < 20000; ++i)
        paths.push_back(L"D:\\many\\f" + std::to_wstring(i % 12000) + L".txt");
    DropOnFileArea(paths);
    auto* list = Control<uikit::SListCtrl>("lv_file");
    ASSERT_EQ(list->GetItemCount(), 12000);
    EXPECT_EQ(list->GetItemText(11999, 1), L"D:\\many\\f11999.txt");
    ASSERT_TRUE(Click("chk_file_all"));
    ASSERT_TRUE(Click("chk_file_all"));
    for (int row = 0; row < 12000; row += 2)
        list->SetCheckState(row, true);
    ASSERT_TRUE(Click("but_remove_file"));
    ASSERT_EQ(list->GetItemCount(), 6000);
    EXPECT_EQ(list->GetItemText(0, 1), L"D:\\many\\f1.txt");
    EXPECT_EQ(list->GetItemText(5999, 1), L"D:\\many\\f11999.txt");
    // The removed paths are free again, the kept ones are not.
    DropOnFileArea({L"D:\\many\\f0.txt", L"D:\\many\\f1.txt"});
    ASSERT_EQ(list->GetItemCount(), 6001);
    EXPECT_EQ(list->GetItemText(6000, 1), L"D:\\many\\f0.txt");
}

}  // namespace
}  // namespace mainwndtest
