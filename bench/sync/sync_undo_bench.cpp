// Times the undo of a run against a bare loop of the renames and deletes it performs, in
// the same run: 10,000 pairs (2,000 files into 5 version directories), of which the run
// overwrote 8,000 with a backup (the undo renames each backup back over its target) and
// created 2,000 (the undo deletes them).
//
//   sync_undo_bench [runs] [work folder]
//
// Under Wine pin the program and the wine server to one core:
// bench/sync/run-under-wine.sh <build dir> [runs] [work folder] sync_undo_bench.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>

#include "bench/sync/benchsupport.h"
#include "common/fileutil.h"
#include "common/winhandle.h"
#include "syncfolderapp/sync/runjournal.h"
#include "syncfolderapp/sync/runundo.h"
#include "syncfolderapp/sync/syncfiledriver.h"

namespace {

constexpr int kFiles = 2000;
constexpr int kFilesPerDir = 500;
constexpr int kFolders = 5;
constexpr int kNewEvery = 5;  // every fifth target is absent before the run
constexpr std::size_t kFileBytes = 4096;

using Clock = std::chrono::steady_clock;

// The undo's own operations, last line first, with nothing looked at before.
int BareLoop(const std::vector<JournalEntry>& entries)
{
    int done = 0;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const bool ok = it->before == BeforeRun::Backup
                            ? MoveFileExW(it->backupPath.c_str(), it->target.c_str(), MOVEFILE_REPLACE_EXISTING)
                            : DeleteFileW(it->target.c_str());
        done += ok ? 1 : 0;
    }
    return done;
}

class Bench {
public:
    explicit Bench(const std::wstring& root) : journals(root + L"\\undo\\journal"), base(root + L"\\undo") {}

    bool Prepare()
    {
        std::string content(kFileBytes, 'x');
        for (int i = 0; i < kFiles; ++i) {
            const std::wstring dir = base + L"\\src\\Mir200\\d" + std::to_wstring(i / kFilesPerDir);
            if (i % kFilesPerDir == 0)
                EnsureDirectory(dir);
            files.push_back(dir + L"\\f" + std::to_wstring(i) + L".bin");
            content[0] = static_cast<char>('a' + i % 26);
            if (!WriteBytes(files.back(), content))
                return false;
        }
        for (int v = 0; v < kFolders; ++v)
            folders.push_back(base + L"\\ver" + std::to_wstring(v));
        // Every target there once; each run then starts from that state.
        CSyncFileDriver engine;
        return engine.StartSync(files, folders, Mir200Only, false) == kFiles * kFolders;
    }

    // A run with backups over the targets, every fifth of them removed first.
    bool RunWithBackup(std::vector<JournalEntry>& entries)
    {
        CSyncFileDriver engine;
        engine.KeepJournalIn(journals);
        for (const std::wstring& folder : folders) {
            for (int i = 0; i < kFiles; i += kNewEvery)
                DeleteFileW(Target(folder, i).c_str());
        }
        if (engine.StartSync(files, folders, Mir200Only, true) != kFiles * kFolders)
            return false;
        std::size_t damaged = 0;
        return CRunJournal::Read(CRunJournal::NewestOpen(journals), entries, damaged) == CRunJournal::ReadResult::Ok &&
               entries.size() == static_cast<std::size_t>(kFiles * kFolders);
    }

    std::wstring Target(const std::wstring& folder, int i) const
    {
        return folder + files[static_cast<std::size_t>(i)].substr((base + L"\\src").size());
    }

    const std::wstring journals;

private:
    std::wstring base;
    std::vector<std::wstring> files;
    std::vector<std::wstring> folders;
};

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const auto [runs, root] = ParseBenchArgs(argc, argv, L"sync_undo_bench");
    Bench bench(root);
    if (!bench.Prepare()) {
        std::fwprintf(stderr, L"cannot prepare the files\n");
        return 1;
    }
    const int pairs = kFiles * kFolders;
    std::vector<double> undoMs, bareMs, ratios;
    for (int r = 0; r < runs; ++r) {
        // Alternate which goes first, so that neither always meets the other's caches.
        double times[2] = {0, 0};
        for (int k = 0; k < 2; ++k) {
            const bool undo = (k + r) % 2 == 0;
            std::vector<JournalEntry> entries;
            if (!bench.RunWithBackup(entries)) {
                std::fwprintf(stderr, L"run %d failed\n", r);
                return 1;
            }
            CountingSink sink;
            CSyncFileDriver engine(&sink);
            const auto t0 = Clock::now();
            const int done = undo ? CRunUndo(engine).StartUndo(bench.journals) : BareLoop(entries);
            times[undo ? 0 : 1] = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
            if (!undo)
                CRunJournal::MarkUndone(CRunJournal::NewestOpen(bench.journals));
            if (done != pairs || sink.failed != 0) {
                std::fwprintf(stderr, L"%ls: %d of %d pairs\n", undo ? L"undo" : L"bare", done, pairs);
                return 1;
            }
        }
        undoMs.push_back(times[0]);
        bareMs.push_back(times[1]);
        ratios.push_back(times[0] / times[1]);
    }
    std::wprintf(L"undo of %d pairs (%d renames of a backup, %d deletes), medians of %d runs\n", pairs,
                 pairs - pairs / kNewEvery, pairs / kNewEvery, runs);
    std::wprintf(L"  undo        %9.1f ms\n  bare loop   %9.1f ms\n  undo / bare %9.3f  runs:", Median(undoMs),
                 Median(bareMs), Median(ratios));
    for (double each : ratios)
        std::wprintf(L" %.3f", each);
    std::wprintf(L"\n");
    return 0;
}
