// The undo of a run from its journal: version directories back as before the run, what
// cannot be put back reported (and a refused target retried), damaged lines and journals
// set aside, and fail-safe when killed.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <windows.h>

#include "common/winhandle.h"
#include "syncfolderapp/sync/runjournal.h"
#include "syncfolderapp/sync/runundo.h"
#include "syncfolderapp/sync/syncfiledriver.h"
#include "syncfolderapp/sync/undolines.h"
#include "tests/support/process.h"
#include "tests/support/tempdir.h"
#include "tests/win/sync/recordingsink.h"
#include "tests/win/sync/synctestutil.h"

namespace fs = std::filesystem;

namespace {

// Every file (with its contents) and directory below `root`, by relative path.
using Tree = std::map<std::wstring, std::string>;
const std::string kDirMark = "<dir>";

Tree Snapshot(const std::wstring& root)
{
    Tree tree;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(root))) {
        const std::wstring rel = entry.path().lexically_relative(fs::path(root)).wstring();
        tree[rel] = entry.is_directory() ? kDirMark : Get(entry.path().wstring());
    }
    return tree;
}

std::vector<std::wstring> TextsOfTag(const std::vector<ResultLine>& lines, unsigned tag)
{
    std::vector<std::wstring> texts;
    for (const ResultLine& line : lines) {
        if (line.tag == tag)
            texts.push_back(line.text);
    }
    std::sort(texts.begin(), texts.end());
    return texts;
}

class Undo : public ::testing::Test {
protected:
    std::wstring P(const std::wstring& relative) const { return dir.wpath(relative); }
    std::wstring Journals() const { return P(L"journal"); }

    // A run as the window starts it, its journal kept.
    std::int32_t Run(const std::vector<std::wstring>& files, const std::vector<std::wstring>& folders, bool backup)
    {
        CSyncFileDriver engine(&sink);
        engine.KeepJournalIn(Journals());
        return engine.StartSync(files, folders, SameLevel, backup);
    }

    // The undo by a new engine, as after a restart of the program; its lines in `lines`.
    std::int32_t UndoLast(std::vector<ResultLine>& lines, CTargetWriter::StepHook hook = {})
    {
        RecordingSink undoSink;
        CSyncFileDriver engine(&undoSink);
        engine.Writer().SetStepHook(std::move(hook));
        const std::int32_t restored = CRunUndo(engine).StartUndo(Journals());
        lines = undoSink.Lines();
        damagedLines = engine.damagedJournalLines.load();
        EXPECT_FALSE(engine.busy.load());
        return restored;
    }

    testsupport::TempDir dir;
    RecordingSink sink;
    std::int32_t damagedLines = 0;  // of the last UndoLast
};

TEST_F(Undo, RandomTreesComeBackByteForByteAfterTwoRunsInARow)
{
    // Files at these places, below the source copies and the version directories: new
    // ones in nested new folders, overwritten ones with and without a backup.
    const std::vector<std::wstring> places = {L"f0.txt",         L"f1.txt",         L"d1\\f2.txt",
                                              L"d1\\d2\\f3.txt", L"d3\\f4.txt",     L"d3\\d4\\d5\\f5.txt",
                                              L"d3\\d4\\f6.txt", L"d6\\d7\\f7.txt", L"f8.txt"};
    const std::vector<std::wstring> versions = {P(L"v1"), P(L"v2")};
    for (unsigned seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        auto someOf = [&](int percent) {
            std::vector<std::wstring> chosen;
            for (const std::wstring& place : places) {
                if (static_cast<int>(random() % 100) < percent)
                    chosen.push_back(place);
            }
            return chosen;
        };
        auto contents = [&] { return std::string(random() % 300, static_cast<char>('a' + random() % 26)); };
        for (const std::wstring& version : versions) {
            CreateDirectoryW(version.c_str(), nullptr);
            for (const std::wstring& place : someOf(40))
                Put(version + L"\\" + place, contents());
        }
        std::vector<std::vector<std::wstring>> sources(2);
        for (int run = 0; run < 2; ++run) {
            const std::wstring src = P(L"s" + std::to_wstring(run));
            std::vector<std::wstring> chosen = someOf(60);
            if (chosen.empty())
                chosen.push_back(places[run]);
            for (const std::wstring& place : chosen) {
                Put(src + L"\\" + place, contents());
                sources[run].push_back(src + L"\\" + place);
            }
        }
        // The first run keeps no backups on every other seed; the second always does.
        const bool firstBackup = seed % 2 == 0;
        const Tree before = Snapshot(P(L"v1")), beforeV2 = Snapshot(P(L"v2"));
        Run(sources[0], versions, firstBackup);
        const Tree afterFirst = Snapshot(P(L"v1")), afterFirstV2 = Snapshot(P(L"v2"));
        Run(sources[1], versions, true);

        std::vector<ResultLine> lines;
        const std::int32_t second = UndoLast(lines);
        EXPECT_EQ(Snapshot(P(L"v1")), afterFirst);
        EXPECT_EQ(Snapshot(P(L"v2")), afterFirstV2);
        EXPECT_EQ(second, static_cast<std::int32_t>(2 * sources[1].size()));
        EXPECT_EQ(TextsOfTag(lines, kUndoneLine).size(), 2 * sources[1].size());

        const std::int32_t first = UndoLast(lines);
        // Overwritten without a backup: reported, and the run's contents stay.
        std::vector<std::wstring> unrestorable;
        int expectedRestored = 0;
        Tree expected = before, expectedV2 = beforeV2;
        for (const std::wstring& source : sources[0]) {
            const std::wstring place = source.substr(P(L"s0\\").size());
            for (Tree* tree : {&expected, &expectedV2}) {
                const std::wstring version = tree == &expected ? P(L"v1") : P(L"v2");
                if (!firstBackup && tree->count(place)) {
                    (*tree)[place] = Get(source);
                    unrestorable.push_back(kUndoNoBackupText + version + L"\\" + place);
                } else {
                    ++expectedRestored;
                }
            }
        }
        std::sort(unrestorable.begin(), unrestorable.end());
        EXPECT_EQ(Snapshot(P(L"v1")), expected);
        EXPECT_EQ(Snapshot(P(L"v2")), expectedV2);
        EXPECT_EQ(first, expectedRestored);
        EXPECT_EQ(TextsOfTag(lines, kUndoNoBackupLine), unrestorable);
        EXPECT_EQ(lines.size(), static_cast<std::size_t>(first) + unrestorable.size());

        // Both runs undone: nothing is left to undo.
        EXPECT_TRUE(CRunJournal::NewestOpen(Journals()).empty());
        EXPECT_EQ(UndoLast(lines), 0);
        EXPECT_TRUE(lines.empty());
        for (const wchar_t* folder : {L"v1", L"v2", L"s0", L"s1"})
            fs::remove_all(fs::path(P(folder)));
    }
}

TEST_F(Undo, ChangedMissingAndRefusedTargetsAreReportedAndARefusedOneIsRetriedByTheNextUndo)
{
    for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt", L"d.txt", L"e.txt"}) {
        Put(P(L"src\\") + name, std::string("new ") + static_cast<char>(name[0]));
        Put(P(L"ver\\") + name, std::string("old ") + static_cast<char>(name[0]));
    }
    Put(P(L"src\\new\\f.txt"), "new f");
    const std::vector<std::wstring> files = {P(L"src\\a.txt"), P(L"src\\b.txt"), P(L"src\\c.txt"),
                                             P(L"src\\d.txt"), P(L"src\\e.txt"), P(L"src\\new\\f.txt")};
    ASSERT_EQ(Run(files, {P(L"ver")}, true), 6);
    const std::wstring firstJournal = CRunJournal::NewestOpen(Journals());

    // a.txt is changed after the run, the backup of b.txt is gone, and the system
    // refuses to put c.txt back (as it does a running program's file); d.txt, e.txt and
    // the new f.txt go back as they were.
    Put(P(L"ver\\a.txt"), "edited by hand");
    for (const std::wstring& name : BackupsIn(P(L"ver"))) {
        if (name.rfind(L"b.txt_", 0) == 0)
            DeleteFileW(P(L"ver\\" + name).c_str());
    }
    std::vector<ResultLine> lines;
    const std::int32_t restored = UndoLast(lines, [&](WriteStep step, const PairWrite& pair) -> std::uint32_t {
        return step == WriteStep::Undo && pair.target == P(L"ver\\c.txt") ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    });
    EXPECT_EQ(restored, 3);
    EXPECT_EQ(Get(P(L"ver\\a.txt")), "edited by hand");
    EXPECT_EQ(Get(P(L"ver\\b.txt")), "new b");
    EXPECT_EQ(Get(P(L"ver\\c.txt")), "new c");
    EXPECT_EQ(Get(P(L"ver\\d.txt")), "old d");
    EXPECT_EQ(Get(P(L"ver\\e.txt")), "old e");
    EXPECT_FALSE(Exists(P(L"ver\\new")));
    // Last line first; each with its tag, failures with their error code.
    ASSERT_EQ(lines.size(), 6u);
    const std::vector<std::tuple<std::wstring, std::uint32_t, unsigned>> expected = {
        {kUndoneText + P(L"ver\\new\\f.txt"), 0, kUndoneLine},
        {kUndoneText + P(L"ver\\e.txt"), 0, kUndoneLine},
        {kUndoneText + P(L"ver\\d.txt"), 0, kUndoneLine},
        {kUndoFailedText + P(L"ver\\c.txt"), ERROR_ACCESS_DENIED, kUndoFailedLine},
        {kUndoNoBackupText + P(L"ver\\b.txt"), ERROR_FILE_NOT_FOUND, kUndoNoBackupLine},
        {kUndoChangedText + P(L"ver\\a.txt"), 0, kUndoChangedLine}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(lines[i].text, std::get<0>(expected[i])) << i;
        EXPECT_EQ(lines[i].code, std::get<1>(expected[i])) << i;
        EXPECT_EQ(lines[i].tag, std::get<2>(expected[i])) << i;
        EXPECT_EQ(lines[i].error, std::get<2>(expected[i]) != kUndoneLine) << i;
    }
    // A failed line keeps the journal open: the next undo puts c.txt back, the targets
    // already back pass silently, and only then is the run marked undone.
    EXPECT_EQ(CRunJournal::NewestOpen(Journals()), firstJournal);
    EXPECT_EQ(UndoLast(lines), 1);
    EXPECT_EQ(Get(P(L"ver\\c.txt")), "old c");
    std::vector<std::wstring> texts;
    for (const ResultLine& line : lines)
        texts.push_back(line.text);
    EXPECT_EQ(texts, (std::vector<std::wstring>{kUndoneText + P(L"ver\\c.txt"), kUndoNoBackupText + P(L"ver\\b.txt"),
                                                kUndoChangedText + P(L"ver\\a.txt")}));
    EXPECT_FALSE(Exists(firstJournal));
    EXPECT_TRUE(CRunJournal::NewestOpen(Journals()).empty());
}

TEST_F(Undo, TargetThatRefusesTheReplaceButNotARenameIsMovedAsideForItsBackup)
{
    Put(P(L"src\\a.dll"), "new");
    Put(P(L"ver\\a.dll"), "old");
    ASSERT_EQ(Run({P(L"src\\a.dll")}, {P(L"ver")}, true), 1);
    // Open as a running program's file is: no write sharing, delete sharing.
    const auto openAsRunning = [](const std::wstring& path) {
        return FileHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    };
    Put(P(L"probe\\held"), "held");
    Put(P(L"probe\\other"), "other");
    {
        FileHandle held = openAsRunning(P(L"probe\\held"));
        if (MoveFileExW(P(L"probe\\other").c_str(), P(L"probe\\held").c_str(), MOVEFILE_REPLACE_EXISTING))
            GTEST_SKIP() << "this system replaces a file that is open without write sharing";
    }

    FileHandle running = openAsRunning(P(L"ver\\a.dll"));
    ASSERT_TRUE(running);
    std::vector<ResultLine> lines;
    EXPECT_EQ(UndoLast(lines), 1);
    EXPECT_EQ(Get(P(L"ver\\a.dll")), "old");
    EXPECT_TRUE(CRunJournal::NewestOpen(Journals()).empty());
    ASSERT_EQ(TempFilesIn(P(L"ver")).size(), 1u) << "the run's file, still open, under a temporary name";
    EXPECT_EQ(Get(P(L"ver\\" + TempFilesIn(P(L"ver"))[0])), "new");

    // Once closed, the next run into the folder removes it.
    running.Reset();
    Put(P(L"src2\\b.txt"), "b");
    EXPECT_EQ(Run({P(L"src2\\b.txt")}, {P(L"ver")}, false), 1);
    EXPECT_TRUE(TempFilesIn(P(L"ver")).empty());
}

TEST_F(Undo, AStoppedUndoIsFinishedByTheNextAndADamagedLineCostsOnlyItsPair)
{
    const std::vector<std::wstring> files = {P(L"src\\f0.txt"), P(L"src\\f1.txt"), P(L"src\\f2.txt"),
                                             P(L"src\\f3.txt")};
    for (int i = 0; i < 4; ++i) {
        Put(P(L"src\\f" + std::to_wstring(i) + L".txt"), "new");
        Put(P(L"ver\\f" + std::to_wstring(i) + L".txt"), "old");
    }
    Run(files, {P(L"ver")}, true);
    const std::wstring journal = CRunJournal::NewestOpen(Journals());

    // Stopped after its first target: the journal stays open, and the next undo does the
    // other three.
    RecordingSink stopSink;
    CSyncFileDriver engine(&stopSink);
    stopSink.onLine = [&](const ResultLine&) { engine.keepRunning.store(false); };
    EXPECT_EQ(CRunUndo(engine).StartUndo(Journals()), 1);
    EXPECT_EQ(CRunJournal::NewestOpen(Journals()), journal);
    std::vector<ResultLine> lines;
    EXPECT_EQ(UndoLast(lines), 3);
    EXPECT_EQ(lines.size(), 3u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Get(P(L"ver\\f" + std::to_wstring(i) + L".txt")), "old") << i;
    EXPECT_TRUE(BackupsIn(P(L"ver")).empty());

    // A changed byte in the line of f1.txt: the other three go back, f1.txt stays as the
    // run left it, and the line is counted.
    Run(files, {P(L"ver")}, true);
    const std::wstring second = CRunJournal::NewestOpen(Journals());
    std::string text = Get(second);
    const std::size_t f1Line = text.find('\n', text.find('\n') + 1) + 1;
    text[f1Line + 3] ^= 0x01;
    Put(second, text);
    EXPECT_EQ(UndoLast(lines), 3);
    EXPECT_EQ(damagedLines, 1);
    EXPECT_EQ(lines.size(), 3u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Get(P(L"ver\\f" + std::to_wstring(i) + L".txt")), i == 1 ? "new" : "old") << i;
    EXPECT_TRUE(CRunJournal::NewestOpen(Journals()).empty()) << "nothing a later undo could do better";
}

TEST_F(Undo, AJournalWithAWrongHeaderIsSetAsideAndTheNextUndoReachesTheRunBefore)
{
    Put(P(L"s1\\x.txt"), "one");
    Put(P(L"s1\\y.txt"), "y");
    Put(P(L"ver\\x.txt"), "old");
    ASSERT_EQ(Run({P(L"s1\\x.txt"), P(L"s1\\y.txt")}, {P(L"ver")}, true), 2);
    Put(P(L"s2\\x.txt"), "second");
    ASSERT_EQ(Run({P(L"s2\\x.txt")}, {P(L"ver")}, true), 1);
    const std::wstring journal = CRunJournal::NewestOpen(Journals());
    const Tree afterRuns = Snapshot(P(L"ver"));

    // Still open for writing in another process: refused, nothing changes.
    std::vector<ResultLine> lines;
    {
        FileHandle writer(
            CreateFileW(journal.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(writer);
        EXPECT_EQ(UndoLast(lines), kUndoJournalInUse);
    }
    EXPECT_EQ(CRunJournal::NewestOpen(Journals()), journal);

    // A wrong header: refused and set aside.
    const std::string text = Get(journal);
    Put(journal, "not a journal" + text.substr(text.find('\n')));
    EXPECT_EQ(UndoLast(lines), kUndoJournalDamaged);
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(Snapshot(P(L"ver")), afterRuns);
    EXPECT_FALSE(Exists(journal));
    EXPECT_TRUE(Exists(journal.substr(0, journal.rfind(L'.')) + L".damaged"));

    // The next undo takes the first run: y.txt goes, and x.txt, which the set-aside run
    // changed since, is protected by its stamps.
    EXPECT_EQ(UndoLast(lines), 1);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, kUndoneText + P(L"ver\\y.txt"));
    EXPECT_EQ(lines[1].text, kUndoChangedText + P(L"ver\\x.txt"));
    EXPECT_EQ(Get(P(L"ver\\x.txt")), "second");
    EXPECT_FALSE(Exists(P(L"ver\\y.txt")));
    EXPECT_TRUE(CRunJournal::NewestOpen(Journals()).empty());
}

TEST_F(Undo, OnlyTheNewestFiftyJournalsStayAndARunThatCommitsNothingLeavesNone)
{
    Put(P(L"src\\a.txt"), "a");
    // A name whose number passes 64 bits is no journal: left alone, and no run's number.
    const std::wstring stray = Journals() + L"\\99999999999999999999.journal";
    Put(stray, "syncfolder journal 1\n");
    for (int run = 0; run < 52; ++run)
        ASSERT_EQ(Run({P(L"src\\a.txt")}, {P(L"v" + std::to_wstring(run))}, false), 1);
    const std::vector<std::wstring> kept = NamesIn(Journals());
    ASSERT_EQ(kept.size(), 51u);
    EXPECT_TRUE(Exists(stray));
    // The runs of v0 and v1 have lost their journals; the newest is the run of v51.
    std::vector<ResultLine> lines;
    EXPECT_EQ(UndoLast(lines), 1);
    EXPECT_FALSE(Exists(P(L"v51\\a.txt")));
    EXPECT_TRUE(Exists(P(L"v50\\a.txt")));

    EXPECT_EQ(Run({P(L"src\\missing.txt")}, {P(L"v0")}, false), 0);
    EXPECT_EQ(NamesIn(Journals()).size(), 51u);
}

// The run of files whose names order them: a0 (overwritten), a1 (new, in a new folder),
// a2 (new), a3 and a4 (overwritten), all with a backup.
class UndoKilled : public Undo {
protected:
    void SetUp() override
    {
        for (const wchar_t* name : {L"a0.txt", L"a1\\x.txt", L"a2.txt", L"a3.txt", L"a4.txt"})
            Put(P(L"src\\") + name, "new contents");
        for (const wchar_t* name : {L"a0.txt", L"a3.txt", L"a4.txt"})
            Put(P(L"ver\\") + name, "old");
        before = Snapshot(P(L"ver"));
    }

    // Runs the kill helper with `args` until it holds, then kills it.
    void KillHeld(const std::vector<std::wstring>& args, const std::wstring& eventName)
    {
        KernelHandle ready(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
        ASSERT_TRUE(ready);
        testsupport::ChildProcess helper(testsupport::ProgramBesideThisOne(L"sync_kill_helper.exe"), args);
        ASSERT_TRUE(helper.Started());
        ASSERT_EQ(WaitForSingleObject(ready.Get(), 60000), WAIT_OBJECT_0);
        helper.Kill();
    }

    std::wstring EventName(const wchar_t* what) const
    {
        return L"Local\\sf_undo_" + std::to_wstring(GetCurrentProcessId()) + L"_" + what;
    }

    Tree before;
};

TEST_F(UndoKilled, RunKilledAfterAJournalLineIsUndoneForThePartItDid)
{
    // Killed once the third line (a2.txt) was written, before its rename; then undone
    // with that line whole, or with it cut off as by a kill while it was being written.
    for (const bool cut : {false, true}) {
        SCOPED_TRACE(cut);
        KillHeld({P(L"src"), P(L"ver"), L"1", L"journal3", L"0", EventName(L"run"), Journals()}, EventName(L"run"));
        EXPECT_FALSE(Exists(P(L"ver\\a2.txt")));
        const std::wstring journal = CRunJournal::NewestOpen(Journals());
        if (cut) {
            const std::string text = Get(journal);
            const std::size_t lastStart = text.rfind('\n', text.size() - 2) + 1;
            Put(journal, text.substr(0, lastStart + (text.size() - lastStart) / 2));
        }
        std::vector<ResultLine> lines;
        EXPECT_EQ(UndoLast(lines), 2);
        EXPECT_EQ(lines.size(), 2u) << "the uncommitted pair is skipped silently";
        EXPECT_EQ(Snapshot(P(L"ver")), before);
    }
}

TEST_F(UndoKilled, ReadOnlyTargetKilledOnEitherSideOfItsRenameAwayGoesBack)
{
    // A read-only target is renamed to a backup name once its journal line is written, and
    // the new file then takes its name. Killed after the line, the target is still there;
    // killed after the rename, the name is empty and the old file waits as the backup.
    const std::wstring readOnly = P(L"ver\\a0.txt");
    for (const std::wstring hold : {L"journal1", L"renamedaway"}) {
        SCOPED_TRACE(testing::PrintToString(hold));
        SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
        KillHeld({P(L"src"), P(L"ver"), L"1", hold, L"0", EventName(hold.c_str()), Journals()},
                 EventName(hold.c_str()));
        const bool renamed = hold == L"renamedaway";
        EXPECT_EQ(Exists(readOnly), !renamed);
        std::vector<ResultLine> lines;
        EXPECT_EQ(UndoLast(lines), renamed ? 1 : 0);
        EXPECT_NE(GetFileAttributesW(readOnly.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
        // The killed run's temporary file goes with the next run into the folder.
        Tree now = Snapshot(P(L"ver"));
        std::erase_if(now, [](const auto& entry) {
            std::uint32_t writer = 0;
            return ParseTempName(entry.first, writer);
        });
        EXPECT_EQ(now, before);
        EXPECT_TRUE(CRunJournal::NewestOpen(Journals()).empty());
    }
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(UndoKilled, UndoKilledHalfWayLeavesEachTargetOldOrNewAndASecondUndoFinishes)
{
    ASSERT_EQ(Run({P(L"src\\a0.txt"), P(L"src\\a1\\x.txt"), P(L"src\\a2.txt"), P(L"src\\a3.txt"), P(L"src\\a4.txt")},
                  {P(L"ver")}, true),
              5);
    // Held before its third change (a2.txt, the lines go last first), then killed.
    KillHeld({L"undo", Journals(), L"3", EventName(L"undo")}, EventName(L"undo"));
    EXPECT_EQ(Get(P(L"ver\\a4.txt")), "old");
    EXPECT_EQ(Get(P(L"ver\\a3.txt")), "old");
    EXPECT_EQ(Get(P(L"ver\\a2.txt")), "new contents");
    EXPECT_EQ(Get(P(L"ver\\a0.txt")), "new contents");
    std::vector<ResultLine> lines;
    EXPECT_EQ(UndoLast(lines), 3);
    EXPECT_EQ(Snapshot(P(L"ver")), before);
}

}  // namespace
