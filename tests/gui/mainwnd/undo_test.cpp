// "撤销上次同步" from the window: the button follows the journals (also after a restart),
// the question, the undo on the worker with its own bar caption and summary, the busy
// refusals both ways (also from another instance on the same data folder), damaged
// journal lines and journals, and a run whose journal cannot be written.

#include <filesystem>

#include "syncfolderapp/sync/syncmessages.h"
#include "tests/gui/mainwnd/mainwndenv.h"
#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/pump.h"
#include "tests/support/screenshot.h"
#include "uikit/automation_win.h"
#include "uikit/button_win.h"
#include "uikit/checkbox_win.h"
#include "uikit/messagebox_win.h"
#include "uikit/text_win.h"

namespace fs = std::filesystem;

namespace mainwndtest {
namespace {

using Paths = std::vector<std::wstring>;

const std::wstring kA = L"D:\\games\\srv1\\Mir200\\Envir\\a.txt";
const std::wstring kB = L"D:\\games\\srv1\\Mir200\\b.txt";
const std::wstring kTargetA = L"D:\\games\\srv2\\Mir200\\Envir\\a.txt";
const std::wstring kTargetB = L"D:\\games\\srv2\\Mir200\\b.txt";

// The real question box, looked at and answered with 是 from a timer inside its modal loop.
struct QuestionProbe {
    std::wstring text;
    bool answered = false;
};
QuestionProbe g_question;

class UndoTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        std::error_code ec;
        fs::remove_all(fs::path(DataDir()) / "journal", ec);
        WriteText(kA, "new a");
        WriteText(kB, "new b");
        WriteText(kTargetB, "old b");
        uikit::SetMessageBoxHook([this](HWND, const std::wstring& text, const std::wstring& caption, UINT type) {
            messages.push_back({text, caption, type});
            if (text == L"无法写入撤销记录,本次同步将无法撤销。仍要同步吗?")
                return journalAnswer;
            return (type & MB_TYPEMASK) == MB_YESNO ? answer : IDOK;
        });
    }

    void TearDown() override
    {
        // A test that put a file where the journal folder belongs takes it away again.
        std::error_code ec;
        if (fs::is_regular_file(fs::path(Journals()), ec))
            fs::remove(fs::path(Journals()), ec);
        MainWindowTest::TearDown();
    }

    std::wstring Journals() const { return DataDir() + L"\\journal"; }
    std::vector<fs::path> JournalFiles() const
    {
        std::vector<fs::path> files;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(fs::path(Journals()), ec)) {
            if (entry.path().extension() == ".journal")
                files.push_back(entry.path());
        }
        return files;
    }

    // A run of a.txt (new there) and b.txt (overwritten, with a backup) into srv2.
    void RunIntoSrv2()
    {
        DropOnFileArea({kA, kB});
        ASSERT_TRUE(Click("but_clear_engine"));
        DropOnEngineList({L"D:\\games\\srv2"});
        Control<uikit::SCheck>("check_sync_backup")->SetCheck(true);
        ASSERT_TRUE(Click("btn_startsync"));
        ASSERT_TRUE(WaitForRunEnd());
        ASSERT_EQ(ReadText(kTargetB), "new b");
    }

    bool UndoEnabled() const { return Control<uikit::SButton>("but_undo_sync")->IsEnabled(); }

    int answer = IDYES;
    int journalAnswer = IDNO;
};

TEST_F(UndoTest, TheButtonAsksThenPutsTheLastRunBackAlsoAfterARestart)
{
    OpenWindow();
    EXPECT_FALSE(UndoEnabled()) << "no run to undo yet";
    RunIntoSrv2();
    EXPECT_TRUE(UndoEnabled());
    Snapshot(wnd->Hwnd(), "mainwnd-undo-log-page");

    // 否 changes nothing.
    answer = IDNO;
    ASSERT_TRUE(Click("but_undo_sync"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"确定撤销上次同步吗?");
    EXPECT_EQ(messages[0].caption, L"温馨提示");
    EXPECT_EQ(messages[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2));
    EXPECT_EQ(BarPage(), 0);
    EXPECT_EQ(ReadText(kTargetB), "new b");

    // After a restart the run can still be undone.
    CloseWindow();
    OpenWindow();
    EXPECT_TRUE(UndoEnabled());
    ASSERT_TRUE(Click("but_sync_log"));

    // The real box, answered with 是.
    uikit::SetMessageBoxHook(nullptr);
    g_question = {};
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND box = FindWindowW(nullptr, L"温馨提示");
        uikit::SHostWnd* host = uikit::SHostWnd::FromHwnd(box);
        const uikit::SControl* text = host ? host->FindControl("msgbox_text", "text") : nullptr;
        if (!text)
            return;
        KillTimer(nullptr, id);
        g_question.text = text->GetText();
        testsupport::SaveScreenshot(box, "mainwnd-undo-question");
        g_question.answered = uikit::ClickControl(*host, "msgbox_btn_" + std::to_string(IDYES));
    });
    ASSERT_TRUE(Click("but_undo_sync"));
    EXPECT_TRUE(g_question.answered);
    EXPECT_EQ(g_question.text, L"确定撤销上次同步吗?");
    ASSERT_TRUE(WaitForRunEnd());

    EXPECT_FALSE(fs::exists(kTargetA));
    EXPECT_FALSE(fs::exists(fs::path(kTargetA).parent_path())) << "the folder the run made goes too";
    EXPECT_EQ(ReadText(kTargetB), "old b");
    EXPECT_EQ(testsupport::ListNames(fs::path(L"D:\\games\\srv2\\Mir200")),
              (std::vector<std::string>{"!Setup.txt", "b.txt"}));
    const Paths log = LogLines(false);
    EXPECT_EQ(log, (Paths{L"撤销成功:" + kTargetB, L"撤销成功:" + kTargetA, L"撤销完成,共恢复了 2 个文件!"}));
    EXPECT_TRUE(LogLines(true).empty());
    EXPECT_FALSE(UndoEnabled()) << "the only run is undone";
    Snapshot(wnd->Hwnd(), "mainwnd-undo-done");
    const bool logged = testsupport::PumpUntil(
        [] { return ReadLogFiles().find(L"撤销完成,共恢复了 2 个文件!, LINE:420") != std::wstring::npos; });
    EXPECT_TRUE(logged);
    EXPECT_NE(ReadLogFiles().find(L"撤销成功:" + kTargetB + L", LINE:142"), std::wstring::npos);
}

TEST_F(UndoTest, RefusedWhileARunOrAScanGoesAndRunsAndScansAreRefusedWhileItGoes)
{
    OpenWindow();
    RunIntoSrv2();

    // A run held at its first line: the undo is refused with the busy toast, unasked.
    workerHold.HoldAtLine(1);
    ASSERT_TRUE(Click("btn_startsync"));
    ASSERT_TRUE(workerHold.WaitUntilHeld());
    ASSERT_TRUE(Click("but_undo_sync"));
    EXPECT_EQ(ToastCount(), 1);
    EXPECT_TRUE(messages.empty());
    workerHold.Release();
    ASSERT_TRUE(WaitForRunEnd());
    testsupport::PumpUntil([this] { return ToastCount() == 0; }, std::chrono::seconds(5));

    // A scan going: refused the same way (its overlay covers the button from the mouse).
    SendMessageW(wnd->Hwnd(), UM_SCAN_NOTIFY, SCAN_BEGIN, 0);
    FireCommand("but_undo_sync");
    EXPECT_EQ(ToastCount(), 1);
    EXPECT_TRUE(messages.empty());
    SendMessageW(wnd->Hwnd(), UM_SCAN_NOTIFY, SCAN_END, 0);
    testsupport::PumpUntil([this] { return ToastCount() == 0; }, std::chrono::seconds(5));

    // The undo held at its first line: its own caption on the running bar, the start
    // button out of reach, and a scan refused.
    workerHold.HoldAtLine(1);
    ASSERT_TRUE(Click("but_undo_sync"));
    ASSERT_TRUE(workerHold.WaitUntilHeld());
    EXPECT_EQ(BarPage(), 1);
    EXPECT_EQ(Control<uikit::SText>("text_ing")->GetText(), L"正在撤销:");
    Snapshot(wnd->Hwnd(), "mainwnd-undo-in-progress");
    ASSERT_TRUE(Click("but_refresh_drive"));
    EXPECT_EQ(ToastCount(), 1);
    workerHold.Release();
    ASSERT_TRUE(WaitForRunEnd());
    EXPECT_EQ(LogLines(false).back(), L"撤销完成,共恢复了 2 个文件!");
    EXPECT_EQ(ReadText(kTargetB), "new b") << "the second run is undone, the first stays";

    // A run afterwards shows its own caption again.
    workerHold.HoldAtLine(1);
    ASSERT_TRUE(Click("btn_startsync"));
    ASSERT_TRUE(workerHold.WaitUntilHeld());
    EXPECT_EQ(Control<uikit::SText>("text_ing")->GetText(), L"正在同步:");
    workerHold.Release();
    ASSERT_TRUE(WaitForRunEnd());
}

TEST_F(UndoTest, ADamagedLineIsCountedAfterTheSummaryAndAJournalWithAWrongHeaderIsRefused)
{
    OpenWindow();
    RunIntoSrv2();
    // The line of a.txt (the run's first) damaged: b.txt goes back, a.txt stays.
    ASSERT_EQ(JournalFiles().size(), 1u);
    std::string text = testsupport::ReadFile(JournalFiles()[0]);
    text[text.find('\n') + 4] ^= 0x01;
    testsupport::WriteFile(JournalFiles()[0], text);

    ASSERT_TRUE(Click("but_undo_sync"));
    ASSERT_TRUE(WaitForRunEnd());
    EXPECT_EQ(ReadText(kTargetB), "old b");
    EXPECT_EQ(ReadText(kTargetA), "new a");
    const Paths log = LogLines(false);
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], L"撤销成功:" + kTargetB);
    EXPECT_EQ(log.back(), L"撤销完成,共恢复了 1 个文件!");
    EXPECT_EQ(LogLines(true), Paths{L"撤销记录中 1 行已损坏,未撤销"});
    Snapshot(wnd->Hwnd(), "mainwnd-undo-damaged-line");
    // One error report: in the full log and in the error log.
    const std::wstring reported = L"撤销记录中 1 行已损坏,未撤销, ERROR:0, LINE:421";
    const auto count = [&reported] {
        const std::wstring files = ReadLogFiles();
        std::size_t found = 0;
        for (std::size_t at = files.find(reported); at != std::wstring::npos; at = files.find(reported, at + 1))
            ++found;
        return found;
    };
    EXPECT_TRUE(testsupport::PumpUntil([&count] { return count() == 2; })) << count();
    EXPECT_FALSE(UndoEnabled()) << "nothing a later undo could do better";

    // A journal whose header is wrong: the message, nothing changes, no summary.
    ASSERT_TRUE(Click("btn_startsync"));
    ASSERT_TRUE(WaitForRunEnd());
    ASSERT_EQ(JournalFiles().size(), 1u);
    WriteText(JournalFiles()[0].wstring(), "not a journal\nnot a journal line\n");
    const std::size_t logLines = LogLines(false).size();
    messages.clear();
    ASSERT_TRUE(Click("but_undo_sync"));
    ASSERT_TRUE(WaitForRunEnd());
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, L"撤销记录已损坏,无法撤销!");
    EXPECT_EQ(messages[1].caption, L"温馨提示");
    EXPECT_EQ(messages[1].type, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(ReadText(kTargetB), "new b");
    EXPECT_EQ(LogLines(false).size(), logLines) << "no summary for an undo that did nothing";
    EXPECT_TRUE(JournalFiles().empty()) << "set aside";
    EXPECT_FALSE(UndoEnabled()) << "the run before it was undone already";
}

TEST_F(UndoTest, AJournalFolderThatCannotBeWrittenIsAskedAboutBeforeAnythingIsWritten)
{
    // A file where the journal folder would be (rights block nothing for the tests' root).
    WriteText(Journals(), "in the way");
    OpenWindow();
    DropOnFileArea({kA, kB});
    ASSERT_TRUE(Click("but_clear_engine"));
    DropOnEngineList({L"D:\\games\\srv2"});

    // 否, the default: the run ends as it began, with nothing written.
    ASSERT_TRUE(Click("btn_startsync"));
    ASSERT_TRUE(WaitForRunEnd());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"无法写入撤销记录,本次同步将无法撤销。仍要同步吗?");
    EXPECT_EQ(messages[0].caption, L"温馨提示");
    EXPECT_EQ(messages[0].type, static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2));
    EXPECT_EQ(ReadText(kTargetB), "old b");
    EXPECT_FALSE(fs::exists(kTargetA));
    EXPECT_EQ(LogLines(false), (Paths{L"开始同步文件...", L"文件同步完成,共同步了 0 个文件!"}));
    EXPECT_TRUE(LogLines(true).empty());

    // 是: the run goes without a journal, and the undo button stays grey.
    journalAnswer = IDYES;
    ASSERT_TRUE(Click("btn_startsync"));
    ASSERT_TRUE(WaitForRunEnd());
    EXPECT_EQ(ReadText(kTargetB), "new b");
    EXPECT_EQ(LogLines(false).back(), L"文件同步完成,共同步了 2 个文件!");
    EXPECT_FALSE(UndoEnabled());

    // Once the folder can be written again, a run keeps its journal and can be undone.
    fs::remove(fs::path(Journals()));
    ASSERT_TRUE(Click("btn_startsync"));
    ASSERT_TRUE(WaitForRunEnd());
    EXPECT_EQ(messages.size(), 2u) << "no question this time";
    EXPECT_TRUE(UndoEnabled());
}

TEST_F(UndoTest, AnotherInstanceOnTheSameDataFolderRefusesRunsAndUndosWhileItHoldsTheLock)
{
    OpenWindow();
    RunIntoSrv2();
    const std::size_t logLines = LogLines(false).size();
    const std::wstring eventName = L"Local\\sf_lock_" + std::to_wstring(GetCurrentProcessId());
    KernelHandle ready(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
    ASSERT_TRUE(ready);
    // The other instance's run, as far as the data folder sees it.
    testsupport::ChildProcess other(testsupport::ProgramBesideThisOne(L"lockholder.exe"), {Journals(), eventName});
    ASSERT_TRUE(other.Started());
    ASSERT_EQ(WaitForSingleObject(ready.Get(), 60000), WAIT_OBJECT_0);

    messages.clear();
    WriteText(kB, "newer b");
    ASSERT_TRUE(Click("btn_startsync"));
    ASSERT_TRUE(Click("but_undo_sync"));
    ASSERT_EQ(messages.size(), 2u) << "refused before the undo's question";
    for (const ShownMessage& message : messages) {
        EXPECT_EQ(message.text, L"另一个窗口正在同步或撤销,请稍后再试!");
        EXPECT_EQ(message.caption, L"温馨提示");
        EXPECT_EQ(message.type, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    }
    EXPECT_EQ(BarPage(), 0);
    EXPECT_EQ(LogLines(false).size(), logLines);
    EXPECT_EQ(ReadText(kTargetB), "new b");

    // Once it has ended, the undo goes.
    other.Kill();
    ASSERT_TRUE(Click("but_undo_sync"));
    ASSERT_TRUE(WaitForRunEnd());
    EXPECT_EQ(ReadText(kTargetB), "old b");
}

}  // namespace
}  // namespace mainwndtest
