// Runs from the window: start checks, the run from start to summary on real disks, the
// log lists, settings, window buttons and closing during a run.

#include <filesystem>
#include <thread>

#include "epool/c_epool.h"
#include "syncfolderapp/sync/ctimermgr.h"
#include "tests/gui/mainwnd/mainwndenv.h"
#include "tests/support/files.h"
#include "tests/support/pump.h"
#include "uikit/button_win.h"
#include "uikit/checkbox_win.h"
#include "uikit/progress_win.h"

namespace fs = std::filesystem;

namespace mainwndtest {
namespace {

using Paths = std::vector<std::wstring>;

const std::wstring kSrc = L"D:\\games\\srv1";
const std::wstring kA = kSrc + L"\\Mir200\\Envir\\a.txt";
const std::wstring kB = kSrc + L"\\Mir200\\b.txt";
const std::wstring kReadme = kSrc + L"\\readme.txt";
const std::wstring kGone = kSrc + L"\\Mir200\\gone.txt";

class RunTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        WriteText(kA, "new a");
        WriteText(kB, "new b");
        WriteText(kReadme, "new readme");
        WriteText(L"D:\\games\\srv2\\Mir200\\b.txt", "old b");
    }

    // Opens the window with the files of the source copy listed and, as targets, the
    // other copy on D: and the one on E:.
    void OpenPrepared(const Paths& files)
    {
        OpenWindow();
        if (!files.empty())
            DropOnFileArea(files);
        ASSERT_TRUE(Click("but_clear_engine"));
        DropOnEngineList({L"D:\\games\\srv2", L"E:\\mir\\s3"});
    }

    void ChooseMode(bool mir200, bool backup)
    {
        Control<uikit::SRadio>(mir200 ? "radio_sync_mir200_file" : "radio_sync_level_file")->SetCheck(true);
        Control<uikit::SCheck>("check_sync_backup")->SetCheck(backup);
    }

    std::wstring ConfigPath() const { return DataDir() + L"\\syncfile.config"; }

    static Paths Backups(const std::wstring& dir)
    {
        Paths found;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(dir, ec)) {
            if (e.path().extension() == L".bak")
                found.push_back(e.path().filename().wstring());
        }
        return found;
    }
};

bool Contains(const Paths& lines, const std::wstring& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST_F(RunTest, DroppedFilesAndFolderRunInMir200ModeWithBackup)
{
    // Everything arrives the way an operator brings it: the source copy's Mir200 folder
    // and two loose files dropped on the file area, the two target copies dropped on the
    // version-directory list (one of them as its Mir200 folder).
    OpenWindow();
    DropOnFileArea({kSrc + L"\\Mir200", kReadme, kGone});
    EXPECT_EQ(FileRows(), (Paths{kReadme, kGone, kSrc + L"\\Mir200\\!Setup.txt", kB, kA}));
    ASSERT_TRUE(Click("but_clear_engine"));
    DropOnEngineList({L"D:\\games\\srv2", L"E:\\mir\\s3\\Mir200"});
    EXPECT_EQ(EngineRows(), (Paths{L"D:\\games\\srv2", L"E:\\mir\\s3"}));
    ChooseMode(true, true);
    Snapshot(wnd->Hwnd(), "mainwnd-idle-lists-filled");
    ASSERT_TRUE(Click("btn_startsync"));
    ASSERT_TRUE(WaitForRunEnd());

    for (const std::wstring target : {L"D:\\games\\srv2", L"E:\\mir\\s3"}) {
        EXPECT_EQ(ReadText(target + L"\\Mir200\\Envir\\a.txt"), "new a") << target;
        EXPECT_EQ(ReadText(target + L"\\Mir200\\b.txt"), "new b") << target;
        EXPECT_FALSE(fs::exists(target + L"\\readme.txt")) << target;
    }
    // The overwritten b.txt and both markers were kept as backups beside the new files.
    const Paths backups = Backups(L"D:\\games\\srv2\\Mir200");
    ASSERT_EQ(backups.size(), 2u);
    const auto oldB =
        std::find_if(backups.begin(), backups.end(), [](const std::wstring& n) { return n.starts_with(L"b.txt_"); });
    ASSERT_NE(oldB, backups.end());
    EXPECT_EQ(ReadText(L"D:\\games\\srv2\\Mir200\\" + *oldB), "old b");
    EXPECT_EQ(Backups(L"E:\\mir\\s3\\Mir200").size(), 1u);

    const Paths log = LogLines(false);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), L"开始同步文件...");
    EXPECT_EQ(log.back(), L"文件同步完成,共同步了 6 个文件!");
    EXPECT_TRUE(Contains(log, L"同步文件成功:" + kA + L" >> D:\\games\\srv2\\Mir200\\Envir\\a.txt"));
    EXPECT_TRUE(Contains(log, L"同步文件成功:" + kB + L" >> E:\\mir\\s3\\Mir200\\b.txt"));
    EXPECT_EQ(LogLines(true), Paths{L"获取文件信息失败:" + kGone});

    // Idle again, logs shown.
    EXPECT_EQ(BarPage(), 0);
    EXPECT_EQ(FilePage(), 2);
    EXPECT_EQ(Control<uikit::SButton>("but_sync_log")->GetText(), L"返回列表");
    Snapshot(wnd->Hwnd(), "mainwnd-log-page-after-run");

    const std::string config = ReadText(ConfigPath());
    EXPECT_NE(config.find("SyncType: 0"), std::string::npos) << config;
    EXPECT_NE(config.find("BackUp: true"), std::string::npos) << config;

    // The dated log files hold the window's own lines and the engine's, error included.
    const bool logged = testsupport::PumpUntil(
        [] { return ReadLogFiles().find(L"文件同步完成,共同步了 6 个文件!, LINE:418") != std::wstring::npos; });
    EXPECT_TRUE(logged);
    const std::wstring files = ReadLogFiles();
    EXPECT_NE(files.find(L"开始同步文件..., LINE:408"), std::wstring::npos);
    EXPECT_NE(files.find(L"获取文件信息失败:" + kGone + L", ERROR:2, LINE:64"), std::wstring::npos);

    // The next add starts afresh.
    DropOnFileArea({kB});
    EXPECT_EQ(FileRows(), Paths{kB});
    EXPECT_TRUE(LogLines(false).empty());
    EXPECT_TRUE(LogLines(true).empty());
}

TEST_F(RunTest, SameLevelModeWithoutBackupPlacesEveryFile)
{
    OpenPrepared({kA, kB, kReadme});
    ChooseMode(false, false);
    ASSERT_TRUE(Click("btn_startsync"));
    ASSERT_TRUE(WaitForRunEnd());
    for (const std::wstring target : {L"D:\\games\\srv2", L"E:\\mir\\s3"}) {
        EXPECT_EQ(ReadText(target + L"\\readme.txt"), "new readme") << target;
        EXPECT_EQ(ReadText(target + L"\\Mir200\\b.txt"), "new b") << target;
    }
    EXPECT_TRUE(Backups(L"D:\\games\\srv2\\Mir200").empty());
    EXPECT_EQ(LogLines(false).back(), L"文件同步完成,共同步了 6 个文件!");
    EXPECT_TRUE(LogLines(true).empty());
    const std::string config = ReadText(ConfigPath());
    EXPECT_NE(config.find("SyncType: 1"), std::string::npos) << config;
    EXPECT_NE(config.find("BackUp: false"), std::string::npos) << config;
}

TEST_F(RunTest, VersionDirectoriesWithFailedPairsAreListedAfterTheSummaryAsErrors)
{
    // E:\mir\s3 takes neither file (directories stand where they go); in D:\games\srv2 a.txt
    // is skipped as the same file and b.txt is written.
    fs::create_directories(L"E:\\mir\\s3\\Mir200\\Envir\\a.txt");
    fs::create_directories(L"E:\\mir\\s3\\Mir200\\b.txt");
    fs::create_directories(L"D:\\games\\srv2\\Mir200\\Envir");
    ASSERT_TRUE(CopyFileW(kA.c_str(), L"D:\\games\\srv2\\Mir200\\Envir\\a.txt", FALSE));
    WriteText(L"D:\\games\\srv2\\Mir200\\b.txt", "older b");
    OpenPrepared({kA, kB});
    ChooseMode(true, false);
    Control<uikit::SCheck>("check_skip_same")->SetCheck(true);
    ASSERT_TRUE(Click("btn_startsync"));
    ASSERT_TRUE(WaitForRunEnd());

    const std::wstring unfinished = L"未完成的版本目录:E:\\mir\\s3 (失败 2 个)";
    const Paths log = LogLines(false);
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], L"文件同步完成,共同步了 1 个文件!");
    EXPECT_EQ(log.back(), L"相同文件 1 个,已跳过");
    const Paths errors = LogLines(true);
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_TRUE(errors[0].starts_with(L"同步文件失败:"));
    EXPECT_EQ(errors.back(), unfinished);
    Snapshot(wnd->Hwnd(), "mainwnd-unfinished-version-directory");
    ASSERT_TRUE(testsupport::PumpUntil(
        [&] { return ReadLogFiles().find(unfinished + L", ERROR:0, LINE:422") != std::wstring::npos; }));
    // In the log files (which earlier tests wrote to as well): this run's start, summary,
    // skipped line, then the directory.
    const std::wstring files = ReadLogFiles();
    const std::size_t listed = files.rfind(unfinished);
    const std::size_t skipped = files.rfind(L", LINE:419", listed);
    const std::size_t summary = files.rfind(L", LINE:418", listed);
    EXPECT_LT(files.rfind(L", LINE:408", listed), summary);
    EXPECT_LT(summary, skipped);
    EXPECT_NE(skipped, std::wstring::npos);

    // Once every pair succeeds nothing is added.
    fs::remove_all(L"E:\\mir\\s3\\Mir200");
    ASSERT_TRUE(Click("btn_startsync"));
    ASSERT_TRUE(WaitForRunEnd());
    EXPECT_EQ(LogLines(false).back(), L"相同文件 2 个,已跳过");
    EXPECT_EQ(LogLines(true).size(), 3u);
}

TEST_F(RunTest, StartNeedsACheckedFileAndACheckedVersionDirectory)
{
    OpenPrepared({});
    ASSERT_TRUE(Click("but_sync_log"));
    EXPECT_EQ(FilePage(), 2);
    ASSERT_TRUE(Click("btn_startsync"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"请至少选择一个同步文件!");
    EXPECT_EQ(messages[0].caption, L"温馨提示");
    EXPECT_EQ(messages[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(FilePage(), 0);  // left the log page for the empty page
    EXPECT_EQ(Control<uikit::SButton>("but_sync_log")->GetText(), L"查看日志");

    DropOnFileArea({kA});
    ASSERT_TRUE(Click("chk_engine_all"));
    ASSERT_TRUE(Click("chk_engine_all"));
    ChooseMode(true, true);
    const std::string configBefore = ReadText(ConfigPath());
    const int page = FilePage();
    ASSERT_TRUE(Click("btn_startsync"));
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, L"请至少选择一个待同步的游戏版本目录!");
    EXPECT_EQ(FilePage(), page);
    EXPECT_EQ(ReadText(ConfigPath()), configBefore);
    // No run began.
    EXPECT_EQ(BarPage(), 0);
    EXPECT_TRUE(LogLines(false).empty());
}

TEST_F(RunTest, RunningBarProgressAndBusyGuardsWhileTheRunIsHeld)
{
    OpenPrepared({kA});
    ChooseMode(true, false);
    // Held at its second copy: the files are examined (10 %) and the first of the two
    // version directories is done (45 %).
    workerHold.HoldAtLine(2);
    ASSERT_TRUE(Click("btn_startsync"));
    EXPECT_EQ(BarPage(), 1);
    EXPECT_EQ(FilePage(), 2);
    EXPECT_EQ(LogLines(false).front(), L"开始同步文件...");
    ASSERT_TRUE(workerHold.WaitUntilHeld());
    SendMessageW(wnd->Hwnd(), WM_TIMER, TIMER_PROGRESS, 0);
    EXPECT_EQ(Control<uikit::SProgress>("pro_ing")->GetValue(), 55);
    // The run's lines reach the sync log with the progress ticks, not only at its end.
    for (int tick = 0; tick < 3; ++tick)
        SendMessageW(wnd->Hwnd(), WM_TIMER, TIMER_PROGRESS, 0);
    EXPECT_EQ(LogLines(false).size(), 3u);
    Snapshot(wnd->Hwnd(), "mainwnd-run-in-progress");

    // While busy, the back button only shows the toast; the log button (on the idle bar,
    // out of the mouse's reach now) still switches.
    const int toasts = ToastCount();
    ASSERT_TRUE(Click("but_back"));
    EXPECT_EQ(ToastCount(), toasts + 1);
    EXPECT_EQ(FilePage(), 2);
    FireCommand("but_sync_log");
    EXPECT_EQ(FilePage(), 1);
    FireCommand("but_sync_log");
    EXPECT_EQ(FilePage(), 2);

    workerHold.Release();
    ASSERT_TRUE(WaitForRunEnd());
    EXPECT_EQ(Control<uikit::SProgress>("pro_ing")->GetValue(), 0);
    EXPECT_EQ(LogLines(false).back(), L"文件同步完成,共同步了 2 个文件!");
}

TEST_F(RunTest, AStopWhileTheFilesAreExaminedEndsTheRunWithZero)
{
    OpenPrepared({kGone, kA});
    ChooseMode(true, false);
    workerHold.HoldAtLine(1);  // the missing file's error line
    ASSERT_TRUE(Click("btn_startsync"));
    ASSERT_TRUE(workerHold.WaitUntilHeld());
    ASSERT_TRUE(Click("but_stopsync"));
    workerHold.Release();
    ASSERT_TRUE(WaitForRunEnd());
    EXPECT_EQ(LogLines(false).back(), L"文件同步完成,共同步了 0 个文件!");
    EXPECT_EQ(LogLines(true), Paths{L"获取文件信息失败:" + kGone});
    EXPECT_FALSE(fs::exists(L"D:\\games\\srv2\\Mir200\\Envir\\a.txt"));
}

TEST_F(RunTest, LogListsKeepTheLast200LinesAndScrollWhenShown)
{
    OpenPrepared({kGone});
    std::thread worker([this] {
        for (int i = 0; i < 450; ++i)
            wnd->SyncReceiver().OnSyncLog(L"line " + std::to_wstring(i), 136);
    });
    worker.join();
    ASSERT_TRUE(testsupport::PumpUntil([this] {
        const Paths lines = LogLines(false);
        return !lines.empty() && lines.back() == L"line 449";
    }));
    EXPECT_EQ(LogLines(false).size(), 200u);
    EXPECT_EQ(LogLines(false).front(), L"line 250");

    // A run that copies nothing: its summary arrives while the operator looks at the file
    // list, and the log page shows it scrolled to the end when it is shown again.
    workerHold.HoldAtLine(1);
    ASSERT_TRUE(Click("btn_startsync"));
    ASSERT_TRUE(workerHold.WaitUntilHeld());
    FireCommand("but_sync_log");
    EXPECT_EQ(FilePage(), 1);
    workerHold.Release();
    ASSERT_TRUE(WaitForRunEnd());
    const Paths log = LogLines(false);
    ASSERT_EQ(log.size(), 200u);
    EXPECT_EQ(log.front(), L"line 252");  // 450 lines, the start line, the summary
    EXPECT_EQ(log.back(), L"文件同步完成,共同步了 0 个文件!");
    const HWND list = Control<uikit::SControl>("lv_log")->Hwnd();
    SendMessageW(list, LB_SETTOPINDEX, 0, 0);
    ASSERT_TRUE(Click("but_sync_log"));
    EXPECT_EQ(FilePage(), 2);
    EXPECT_GT(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 0);
}

TEST_F(RunTest, LinesFromTheWorkerReachBothListsAndTheLogFiles)
{
    OpenPrepared({kA});
    std::thread worker([this] {
        for (int i = 0; i < 300; ++i) {
            wnd->SyncReceiver().OnSyncLog(L"ok " + std::to_wstring(i), 136);
            if (i % 3 == 0)
                wnd->SyncReceiver().OnSyncError(L"bad " + std::to_wstring(i), 5, 139);
        }
    });
    worker.join();
    ASSERT_TRUE(testsupport::PumpUntil([this] {
        return !LogLines(false).empty() && LogLines(false).back() == L"ok 299" && !LogLines(true).empty() &&
               LogLines(true).back() == L"bad 297";
    }));
    EXPECT_EQ(LogLines(false).size(), 200u);
    EXPECT_EQ(LogLines(true).size(), 100u);
    EXPECT_EQ(LogLines(true).front(), L"bad 0");
}

TEST_F(RunTest, ClosingDuringARunFinishesTheRunFirst)
{
    Paths files;
    for (int i = 0; i < 150; ++i) {
        const std::wstring file = kSrc + L"\\Mir200\\bulk\\f" + std::to_wstring(i) + L".txt";
        WriteText(file, "bulk");
        files.push_back(file);
    }
    const std::wstring lastTarget = L"E:\\mir\\s3\\Mir200\\bulk\\f149.txt";
    const std::wstring summary = L"文件同步完成,共同步了 300 个文件!";
    const auto summaries = [&summary] {
        const std::wstring logs = ReadLogFiles();
        size_t count = 0;
        for (size_t at = logs.find(summary); at != std::wstring::npos; at = logs.find(summary, at + 1))
            ++count;
        return count;
    };
    const size_t summariesBefore = summaries();
    // The second time, the system refuses the pumped wait of the pool's shutdown, as
    // Windows 7 refuses a wake mask with bits it does not know.
    for (const bool waitRefused : {false, true}) {
        SCOPED_TRACE(waitRefused ? "pumped wait refused" : "system's pumped wait");
        fs::remove_all(L"D:\\games\\srv2\\Mir200\\bulk");
        fs::remove_all(L"E:\\mir\\s3\\Mir200\\bulk");
        OpenPrepared(files);
        ChooseMode(true, false);
        // Closed once the run has really begun copying (a run still waiting in the pool's
        // queue would be dropped by the shutdown).
        workerHold.HoldAtLine(1);
        ASSERT_TRUE(Click("btn_startsync"));
        ASSERT_TRUE(workerHold.WaitUntilHeld());
        const int refusedBefore = testsupport::RefusedPumpWaitCalls();
        epool::SetPumpWait(waitRefused ? &testsupport::RefusedPumpWait : nullptr);
        workerHold.Release();
        SendMessageW(wnd->Hwnd(), WM_CLOSE, 0, 0);
        epool::SetPumpWait(nullptr);
        EXPECT_EQ(testsupport::RefusedPumpWaitCalls() > refusedBefore, waitRefused);
        EXPECT_FALSE(IsWindow(wnd->Hwnd()));
        EXPECT_EQ(ReadText(lastTarget), "bulk");
        const size_t expected = summariesBefore + (waitRefused ? 2 : 1);
        EXPECT_TRUE(testsupport::PumpUntil([&] { return summaries() == expected; }));
        CloseWindow();
    }
}

TEST_F(RunTest, SavedChoicesSetTheRadiosAndTheCheckBoxes)
{
    OpenWindow();  // no settings file yet: same level, no backup
    EXPECT_TRUE(Control<uikit::SRadio>("radio_sync_level_file")->IsChecked());
    EXPECT_FALSE(Control<uikit::SRadio>("radio_sync_mir200_file")->IsChecked());
    EXPECT_FALSE(Control<uikit::SCheck>("check_sync_backup")->IsChecked());
    CloseWindow();

    WriteText(ConfigPath(), "OpenDefaultDir: \"\"\nSyncType: 0\nBackUp: true\nSkipSame: true\n");
    OpenWindow();
    EXPECT_TRUE(Control<uikit::SRadio>("radio_sync_mir200_file")->IsChecked());
    EXPECT_FALSE(Control<uikit::SRadio>("radio_sync_level_file")->IsChecked());
    EXPECT_TRUE(Control<uikit::SCheck>("check_sync_backup")->IsChecked());
    EXPECT_TRUE(Control<uikit::SCheck>("check_skip_same")->IsChecked());
    EXPECT_FALSE(Control<uikit::SCheck>("check_verify_copy")->IsChecked());
}

TEST_F(RunTest, MaximiseAndRestoreSwapTheirButtons)
{
    OpenWindow();
    uikit::SControl* maximize = wnd->FindControl("btn_max");
    uikit::SControl* restore = wnd->FindControl("btn_restore");
    ASSERT_TRUE(Click("btn_max"));
    EXPECT_TRUE(IsZoomed(wnd->Hwnd()));
    EXPECT_TRUE(restore->IsVisible());
    EXPECT_FALSE(maximize->IsVisible());
    ASSERT_TRUE(Click("btn_restore"));
    EXPECT_FALSE(IsZoomed(wnd->Hwnd()));
    EXPECT_FALSE(restore->IsVisible());
    EXPECT_TRUE(maximize->IsVisible());
    ASSERT_TRUE(Click("btn_min"));
    EXPECT_TRUE(IsIconic(wnd->Hwnd()));
    EXPECT_TRUE(maximize->IsVisible());
    ShowWindow(wnd->Hwnd(), SW_RESTORE);
}

}  // namespace
}  // namespace mainwndtest
