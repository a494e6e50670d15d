// Runs that write in lanes, in the prefix of run-network.sh: version directories on N:, on
// the shares \\srv\share and \\srv\other and on the local disk D:. A run in lanes against
// the same run one lane at a time, a kill in the middle of several lanes, and closing the
// window while they write.

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include <windows.h>

#include "common/winhandle.h"
#include "syncfolderapp/sync/runjournal.h"
#include "syncfolderapp/sync/syncfiledriver.h"
#include "tests/gui/mainwnd/mainwndenv.h"
#include "tests/support/process.h"
#include "tests/support/pump.h"
#include "tests/support/tempdir.h"
#include "tests/win/sync/recordingsink.h"
#include "tests/win/sync/synctestutil.h"
#include "uikit/checkbox_win.h"

namespace fs = std::filesystem;

namespace mainwndtest {
namespace {

using Paths = std::vector<std::wstring>;

// Each lane's first write waits until `lanes` lanes write at the same time; false when
// they did not come together within the deadline (the deadline only guards against hangs).
class LaneMeeting {
public:
    explicit LaneMeeting(std::size_t lanes) : lanes_(lanes) {}

    void Arrive()
    {
        std::unique_lock<std::mutex> held(mutex_);
        if (!arrived_.insert(std::this_thread::get_id()).second)
            return;
        met_.notify_all();
        if (!met_.wait_for(held, std::chrono::seconds(30), [this] { return arrived_.size() >= lanes_; }))
            missed_ = true;
    }
    bool Met()
    {
        const std::lock_guard<std::mutex> held(mutex_);
        return !missed_ && arrived_.size() == lanes_;
    }

private:
    std::mutex mutex_;
    std::condition_variable met_;
    std::set<std::thread::id> arrived_;
    const std::size_t lanes_;
    bool missed_ = false;
};

// What a run leaves behind, for comparing two runs of one job. Backup names carry the
// second they were made in, which is left out.
struct RunResult {
    std::int32_t copied = 0;
    std::int32_t skipped = 0;
    std::vector<std::tuple<std::wstring, std::int32_t>> unfinished;
    std::map<std::wstring, Paths> linesByRoot;                // result lines by version directory tree
    std::vector<std::pair<std::wstring, std::string>> files;  // every file below the roots
    std::vector<std::wstring> journal;                        // the run's journal lines, sorted
};

std::wstring WithoutStamp(const std::wstring& path)
{
    static const std::wregex stamp(L"_[0-9]{12}a(_[0-9]+)?\\.bak");
    return std::regex_replace(path, stamp, L"_<stamp>.bak");
}

void ExpectSameRun(const RunResult& a, const RunResult& b)
{
    EXPECT_EQ(a.copied, b.copied);
    EXPECT_EQ(a.skipped, b.skipped);
    EXPECT_EQ(a.unfinished, b.unfinished);
    EXPECT_EQ(a.linesByRoot, b.linesByRoot);
    EXPECT_EQ(a.files, b.files);
    EXPECT_EQ(a.journal, b.journal);
}

// Version directories on three shares and the local disk, in run order; the second lies
// inside the first one on \\srv\share. Sources in D:\src\k\inner land in ...\inner of
// \\srv\share\v2 from both of them: SameLevel places them by depth.
const Paths kRoots = {L"N:\\v1", L"\\\\srv\\share\\v2", L"D:\\v4", L"\\\\srv\\other\\v3"};
const Paths kFolders = {L"N:\\v1", L"\\\\srv\\share\\v2", L"D:\\v4", L"\\\\srv\\share\\v2\\inner",
                        L"\\\\srv\\other\\v3"};
constexpr int kSources = 6;

std::wstring Source(int i)
{
    return L"D:\\src\\k\\inner\\f" + std::to_wstring(i) + L".txt";
}

void SetWriteTime(const std::wstring& path, std::uint64_t time)
{
    FileHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    const FILETIME at{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    EXPECT_TRUE(file && SetFileTime(file.Get(), nullptr, nullptr, &at)) << testing::PrintToString(path);
}

// The version directories as each run meets them: every first target holds old contents
// (backed up), \\srv\other's second one already the source's size and time (skipped), and
// a directory stands where its third one goes (failed).
void ArrangeTargets()
{
    for (const std::wstring& root : kRoots)
        fs::remove_all(root);
    for (const std::wstring& folder : kFolders)
        fs::create_directories(folder);
    for (const wchar_t* target : {L"N:\\v1\\k\\inner\\f0.txt", L"\\\\srv\\share\\v2\\inner\\f0.txt",
                                  L"D:\\v4\\k\\inner\\f0.txt", L"\\\\srv\\other\\v3\\inner\\f0.txt"}) {
        Put(target, "old f0");
        SetWriteTime(target, 132'000'000'000'000'000ull);
    }
    const std::wstring same = L"\\\\srv\\other\\v3\\inner\\f1.txt";
    fs::copy_file(Source(1), same);
    SetWriteTime(same, 133'000'000'000'000'001ull);
    const std::wstring blocked = L"\\\\srv\\other\\v3\\inner\\f2.txt";
    fs::create_directories(blocked);
    SetWriteTime(blocked, 132'000'000'000'000'000ull);
}

RunResult RunJob(CSyncFileDriver& engine, RecordingSink& sink)
{
    ArrangeTargets();
    sink.Clear();
    RunResult result;
    result.copied = engine.StartSync({Source(0), Source(1), Source(2), Source(3), Source(4), Source(5)}, kFolders,
                                     SameLevel, true, RunChecks{true, true});
    result.skipped = engine.skippedCount.load();
    for (const UnfinishedFolder& folder : engine.unfinishedFolders)
        result.unfinished.emplace_back(folder.folder, folder.failed);
    for (const ResultLine& line : sink.Lines()) {
        const std::wstring target = line.text.substr(line.text.find(L">> ") + 3);
        for (const std::wstring& root : kRoots) {
            if (target.rfind(root + L"\\", 0) == 0)
                result.linesByRoot[root].push_back(line.text);
        }
    }
    for (const std::wstring& root : kRoots) {
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            if (entry.is_regular_file())
                result.files.emplace_back(WithoutStamp(entry.path().wstring()), testsupport::ReadFile(entry.path()));
        }
    }
    std::sort(result.files.begin(), result.files.end());
    std::vector<JournalEntry> entries;
    std::size_t damaged = 0;
    EXPECT_EQ(CRunJournal::Read(CRunJournal::NewestOpen(engine.JournalFolder()), entries, damaged),
              CRunJournal::ReadResult::Ok);
    EXPECT_EQ(damaged, 0u);
    for (JournalEntry& entry : entries) {
        entry.backupPath = WithoutStamp(entry.backupPath);
        result.journal.push_back(FormatJournalLine(entry));
    }
    std::sort(result.journal.begin(), result.journal.end());
    return result;
}

class Lanes : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(GetDriveTypeW(L"N:\\"), static_cast<UINT>(DRIVE_REMOTE)) << "run by run-network.sh";
        ClearDrive(L"D:\\");
        ClearDrive(L"N:\\");
        for (int i = 0; i < kSources; ++i) {
            Put(Source(i), "new f" + std::to_string(i));
            SetWriteTime(Source(i), 133'000'000'000'000'000ull + static_cast<std::uint64_t>(i));
        }
    }
    void TearDown() override
    {
        for (const std::wstring& root : kRoots)
            fs::remove_all(root);
        ClearDrive(L"D:\\");
        ClearDrive(L"N:\\");
    }
};

TEST_F(Lanes, RunInLanesWritesWhatARunOneLaneAtATimeWritesAndNestedDirectoriesShareALane)
{
    testsupport::TempDir journals;
    RecordingSink sink;
    CSyncFileDriver engine(&sink);
    engine.KeepJournalIn(journals.wpath());
    // N:, \\srv\share (with the directory inside), D: and \\srv\other: four lanes at once.
    LaneMeeting meeting(4);
    std::mutex mutex;
    std::map<std::wstring, std::set<std::thread::id>> threadsByRoot;
    engine.Writer().SetStepHook([&](WriteStep step, const PairWrite& pair) -> std::uint32_t {
        if (step != WriteStep::Copied)
            return ERROR_SUCCESS;
        meeting.Arrive();
        const std::lock_guard<std::mutex> held(mutex);
        for (const std::wstring& root : kRoots) {
            if (pair.target.rfind(root + L"\\", 0) == 0)
                threadsByRoot[root].insert(std::this_thread::get_id());
        }
        return ERROR_SUCCESS;
    });
    const RunResult inLanes = RunJob(engine, sink);
    EXPECT_TRUE(meeting.Met()) << "the four lanes did not write at the same time";
    std::set<std::thread::id> threads;
    for (const std::wstring& root : kRoots) {
        EXPECT_EQ(threadsByRoot[root].size(), 1u) << "one lane writes " << testing::PrintToString(root);
        threads.insert(threadsByRoot[root].begin(), threadsByRoot[root].end());
    }
    EXPECT_EQ(threads.size(), kRoots.size());

    engine.Writer().SetStepHook(nullptr);
    engine.laneLimits = LaneLimits{1, 1};
    const RunResult oneLane = RunJob(engine, sink);
    ExpectSameRun(inLanes, oneLane);

    // What both runs did: 5 directories x 6 sources, less the failed pair and the skipped
    // ones. \\srv\share\v2 writes \\srv\share\v2\inner\f*.txt first, in its lane, so that
    // \\srv\share\v2\inner then finds them as the sources are and skips them.
    EXPECT_EQ(oneLane.copied, 22);
    EXPECT_EQ(oneLane.skipped, 7);
    EXPECT_EQ(oneLane.unfinished, (std::vector<std::tuple<std::wstring, std::int32_t>>{{L"\\\\srv\\other\\v3", 1}}));
    EXPECT_EQ(oneLane.journal.size(), 23u) << "a line for each copy, and for the commit that failed";
    const Paths& nested = oneLane.linesByRoot.at(L"\\\\srv\\share\\v2");
    ASSERT_EQ(nested.size(), 12u);
    for (int i = 0; i < kSources; ++i) {
        const std::wstring pair = Source(i) + L" >> \\\\srv\\share\\v2\\inner\\f" + std::to_wstring(i) + L".txt";
        EXPECT_EQ(nested[static_cast<std::size_t>(i)], L"同步文件成功:" + pair);
        EXPECT_EQ(nested[static_cast<std::size_t>(i + kSources)], L"文件相同,已跳过:" + pair);
    }
    EXPECT_EQ(BackupsIn(L"\\\\srv\\share\\v2\\inner").size(), 1u);
}

constexpr std::size_t kLargeFile = 4u << 20;

// A kill while four lanes each hold between the backup link and the rename of their
// second pair, their first pairs committed and journaled.
TEST_F(Lanes, KillDuringARunInLanesLeavesEveryTargetOldOrNewAndTheNextRunClearsUp)
{
    // Of one depth, as the shares' are: SameLevel places the sources directly into each.
    const Paths folders = {L"N:\\kill\\k1", L"\\\\srv\\share\\k2", L"\\\\srv\\other\\k3", L"D:\\kill\\k4"};
    const std::vector<std::string> newContents = {"new f0", std::string(kLargeFile, 'n')};
    const std::vector<std::string> oldContents = {"old f0", std::string(kLargeFile, 'o')};
    Paths files;
    for (std::size_t i = 0; i < newContents.size(); ++i) {
        files.push_back(L"D:\\ksrc\\x\\f" + std::to_wstring(i) + L".bin");
        Put(files.back(), newContents[i]);
        for (const std::wstring& folder : folders)
            Put(folder + L"\\f" + std::to_wstring(i) + L".bin", oldContents[i]);
    }
    testsupport::TempDir journals;
    const std::wstring eventName = L"Local\\sf_lanes_kill_" + std::to_wstring(GetCurrentProcessId());
    KernelHandle ready(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
    ASSERT_TRUE(ready);
    std::wstring joined;
    for (const std::wstring& folder : folders)
        joined += (joined.empty() ? L"" : L"|") + folder;
    testsupport::ChildProcess helper(testsupport::ProgramBesideThisOne(L"network_kill_helper.exe"),
                                     {L"D:\\ksrc", joined, L"1", L"commit2", L"0", eventName, journals.wpath()});
    ASSERT_TRUE(helper.Started());
    ASSERT_EQ(WaitForSingleObject(ready.Get(), 60000), WAIT_OBJECT_0);
    // Every lane held: its second target's backup made, its temporary file complete.
    const auto held = [&](const std::wstring& folder) {
        const Paths backups = BackupsIn(folder);
        return std::any_of(backups.begin(), backups.end(),
                           [](const std::wstring& n) { return n.rfind(L"f1", 0) == 0; }) &&
               TempFilesIn(folder).size() == 1;
    };
    EXPECT_TRUE(testsupport::PumpUntil([&] { return std::all_of(folders.begin(), folders.end(), held); }));
    helper.Kill();

    for (const std::wstring& folder : folders) {
        for (std::size_t i = 0; i < newContents.size(); ++i) {
            const std::string now = Get(folder + L"\\f" + std::to_wstring(i) + L".bin");
            EXPECT_TRUE(now == oldContents[i] || now == newContents[i]) << testing::PrintToString(folder) << i;
        }
        EXPECT_EQ(Get(folder + L"\\f0.bin"), newContents[0]);
    }
    // One whole line from each lane.
    std::vector<JournalEntry> entries;
    std::size_t damaged = 0;
    ASSERT_EQ(CRunJournal::Read(CRunJournal::NewestOpen(journals.wpath()), entries, damaged),
              CRunJournal::ReadResult::Ok);
    EXPECT_EQ(damaged, 0u);
    Paths journaled;
    for (const JournalEntry& entry : entries)
        journaled.push_back(entry.target);
    std::sort(journaled.begin(), journaled.end());
    EXPECT_EQ(journaled, (Paths{L"D:\\kill\\k4\\f0.bin", L"N:\\kill\\k1\\f0.bin", L"\\\\srv\\other\\k3\\f0.bin",
                                L"\\\\srv\\share\\k2\\f0.bin"}));

    RecordingSink sink;
    CSyncFileDriver next(&sink);
    EXPECT_EQ(next.StartSync(files, folders, SameLevel, true), 8);
    EXPECT_EQ(sink.Lines().size(), 8u) << "leftovers are never counted or reported";
    for (const std::wstring& folder : folders) {
        EXPECT_TRUE(TempFilesIn(folder).empty()) << testing::PrintToString(folder);
        for (std::size_t i = 0; i < newContents.size(); ++i) {
            const std::wstring name = L"f" + std::to_wstring(i) + L".bin";
            EXPECT_TRUE(Get(folder + L"\\" + name) == newContents[i]);
            const Paths backups = BackupsIn(folder);
            EXPECT_TRUE(std::any_of(backups.begin(), backups.end(),
                                    [&](const std::wstring& backup) {
                                        return backup.rfind(name + L"_", 0) == 0 &&
                                               Get(folder + L"\\" + backup) == oldContents[i];
                                    }))
                << "old contents of " << testing::PrintToString(folder + L"\\" + name) << " lost";
        }
    }
    for (const std::wstring& folder : folders)
        fs::remove_all(folder);
}

// Closed while lanes into N:, both shares and E: write: the window goes only once every
// lane has written its last target and the summary line is out.
TEST_F(MainWindowTest, ClosingDuringARunInLanesWaitsForEveryLane)
{
    ClearDrive(L"N:\\");
    const Paths folders = {L"N:\\net\\v1", L"\\\\srv\\share\\c2", L"\\\\srv\\other\\c3", L"E:\\mir\\s3"};
    for (const std::wstring& folder : folders)
        MakeEngineFolder(folder);
    Paths files;
    for (int i = 0; i < 60; ++i) {
        files.push_back(L"D:\\games\\srv1\\Mir200\\bulk\\f" + std::to_wstring(i) + L".txt");
        WriteText(files.back(), "bulk");
    }
    OpenWindow();
    DropOnFileArea(files);
    ASSERT_TRUE(Click("but_clear_engine"));
    DropOnEngineList(folders);
    ASSERT_EQ(EngineRows(), folders);
    Control<uikit::SRadio>("radio_sync_mir200_file")->SetCheck(true);
    workerHold.HoldAtLine(20);
    ASSERT_TRUE(Click("btn_startsync"));
    ASSERT_TRUE(workerHold.WaitUntilHeld());
    Snapshot(wnd->Hwnd(), "network-lanes-run");
    workerHold.Release();
    SendMessageW(wnd->Hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(wnd->Hwnd()));
    for (const std::wstring& folder : folders) {
        for (int i = 0; i < 60; ++i)
            EXPECT_EQ(ReadText(folder + L"\\Mir200\\bulk\\f" + std::to_wstring(i) + L".txt"), "bulk");
    }
    EXPECT_TRUE(testsupport::PumpUntil(
        [] { return ReadLogFiles().find(L"文件同步完成,共同步了 240 个文件!") != std::wstring::npos; }));
    CloseWindow();
    for (const std::wstring& folder : folders)
        fs::remove_all(folder);
}

}  // namespace
}  // namespace mainwndtest
