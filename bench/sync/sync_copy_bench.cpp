// Times the engine's writes against bare loops doing the same file operations over the
// same pairs, in the same run:
//   no backup:  engine   against  copy to a temporary name + rename over the target
//   backup:     engine   against  copy to a temporary name + hard link to the backup name
//                                 + rename over the target,
//               and the engine as it was (rename the target to its backup name, then
//               CopyFileW over the freed name), kept here as a loop of its operations
// for 10,000 pairs of 4 KiB files in directories of 2,000 files and of 20 files, and for
// large files (throughput). The plain CopyFileW overwrite of the old engine and the
// engine's preparation pass alone are shown too.
//
//   sync_copy_bench [runs] [work folder]
//
// Under Wine pin the program and the wine server to one core: bench/sync/run-under-wine.sh.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <windows.h>

#include "bench/sync/benchsupport.h"
#include "common/fileutil.h"
#include "common/pathutil.h"
#include "common/winhandle.h"
#include "syncfolderapp/sync/syncfiledriver.h"
#include "syncfolderapp/sync/tempname.h"

namespace {

struct Layout {
    const wchar_t* name;
    int files;
    int filesPerDir;
    int folders;
    std::size_t fileBytes;
};

const Layout kLayouts[] = {
    {L"dirs of 2,000 files", 2000, 2000, 5, 4096},
    {L"dirs of 20 files", 2000, 20, 5, 4096},
    {L"large files", 8, 8, 2, 64u << 20},
};

using Clock = std::chrono::steady_clock;

// Loops of bare operations; each returns the pairs that went through.
int CopyOverLoop(const std::vector<Pair>& pairs)
{
    int done = 0;
    for (const auto& [source, target] : pairs)
        done += CopyFileW(source.c_str(), target.c_str(), FALSE) ? 1 : 0;
    return done;
}

// What the engine did per pair before: the existing target renamed to a backup name
// (the next free one), then copied over.
int OldBackupLoop(const std::vector<Pair>& pairs)
{
    int done = 0;
    for (const auto& [source, target] : pairs) {
        const DWORD attrs = GetFileAttributesW(target.c_str());
        if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            SYSTEMTIME now;
            GetLocalTime(&now);
            const std::wstring stamp =
                FormatBackupStamp(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
            for (int attempt = 1; attempt < 10000; ++attempt) {
                if (MoveFileExW(target.c_str(), BackupFileName(target, stamp, attempt).c_str(), 0))
                    break;
                const DWORD error = GetLastError();
                if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
                    break;
            }
        }
        done += CopyFileW(source.c_str(), target.c_str(), FALSE) ? 1 : 0;
    }
    return done;
}

struct Variant {
    const wchar_t* name;
    bool backup;
    std::function<int()> run;
    std::vector<double> ms;
};

bool BenchLayout(const Layout& layout, const std::wstring& root, int runs)
{
    const std::wstring base =
        root + L"\\" + std::to_wstring(layout.filesPerDir) + L"_" + std::to_wstring(layout.fileBytes);
    std::vector<std::wstring> files;
    std::string content(layout.fileBytes, 'x');
    for (int i = 0; i < layout.files; ++i) {
        const std::wstring dir = base + L"\\src\\Mir200\\d" + std::to_wstring(i / layout.filesPerDir);
        if (i % layout.filesPerDir == 0)
            EnsureDirectory(dir);
        files.push_back(dir + L"\\f" + std::to_wstring(i) + L".bin");
        content[0] = static_cast<char>('a' + i % 26);
        if (!WriteBytes(files.back(), content)) {
            std::fwprintf(stderr, L"cannot write %ls\n", files.back().c_str());
            return false;
        }
    }
    std::vector<std::wstring> folders;
    for (int v = 0; v < layout.folders; ++v)
        folders.push_back(base + L"\\ver" + std::to_wstring(v));

    CountingSink sink;
    CSyncFileDriver engine(&sink);
    const int pairCount = layout.files * layout.folders;
    // The first run creates every target; the timed runs then write over existing files.
    if (engine.StartSync(files, folders, Mir200Only, false) != pairCount) {
        std::fwprintf(stderr, L"warm-up run failed\n");
        return false;
    }
    std::vector<Pair> pairs;
    std::vector<std::wstring> targetDirs;
    for (const std::wstring& folder : folders) {
        for (const SyncFileItem& item : engine.items) {
            pairs.emplace_back(item.sourcePath, MapTargetPath(item, folder));
            const std::wstring dir = GetParentPath(pairs.back().second);
            if (targetDirs.empty() || targetDirs.back() != dir)
                targetDirs.push_back(dir);
        }
    }

    // The preparation pass (every source opened once for its size) is part of every engine
    // run and of no bare loop; it is timed alone as well.
    std::vector<Variant> variants = {
        {L"engine, no backup", false, [&] { return engine.StartSync(files, folders, Mir200Only, false); }, {}},
        {L"bare copy to temp + rename", false, [&] { return TempRenameLoop(pairs, false, true); }, {}},
        {L"old engine: CopyFileW over the target", false, [&] { return CopyOverLoop(pairs); }, {}},
        {L"engine, backup", true, [&] { return engine.StartSync(files, folders, Mir200Only, true); }, {}},
        {L"bare copy to temp + link + rename", true, [&] { return TempRenameLoop(pairs, true, true); }, {}},
        {L"old engine: rename to backup + CopyFileW", true, [&] { return OldBackupLoop(pairs); }, {}},
        {L"engine, preparation pass alone",
         false,
         [&] { return engine.StartSync(files, {}, Mir200Only, false) + pairCount; },
         {}},
    };
    for (int r = 0; r < runs; ++r) {
        // Rotate which variant goes first, so that none always meets the others' caches.
        for (std::size_t k = 0; k < variants.size(); ++k) {
            Variant& v = variants[(k + static_cast<std::size_t>(r)) % variants.size()];
            sink.failed = 0;
            const auto t0 = Clock::now();
            const int done = v.run();
            v.ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
            if (done != pairCount || sink.failed != 0) {
                std::fwprintf(stderr, L"%ls: %d of %d pairs\n", v.name, done, pairCount);
                return false;
            }
            if (v.backup)
                RemoveBackups(targetDirs);
        }
    }

    const double bytes = static_cast<double>(layout.fileBytes) * pairCount;
    std::wprintf(L"\n%ls: %d pairs of %zu bytes, medians of %d runs\n", layout.name, pairCount, layout.fileBytes, runs);
    for (const Variant& v : variants) {
        const double ms = Median(v.ms);
        std::wprintf(L"  %-42ls %9.1f ms  %7.3f GB/s  runs:", v.name, ms, bytes / ms / 1e6);
        for (double each : v.ms)
            std::wprintf(L" %.0f", each);
        std::wprintf(L"\n");
    }
    // Ratios are medians of the ratios within each run, which drift between runs spares;
    // "writes" leaves the preparation pass out of the engine's time.
    const auto ratio = [&](std::size_t a, std::size_t b, bool writesOnly) {
        std::vector<double> each;
        for (std::size_t r = 0; r < variants[a].ms.size(); ++r)
            each.push_back((variants[a].ms[r] - (writesOnly ? variants[6].ms[r] : 0)) / variants[b].ms[r]);
        return Median(each);
    };
    std::wprintf(L"  no backup: engine / bare %.3f (writes %.3f); old engine loop / bare %.3f\n", ratio(0, 1, false),
                 ratio(0, 1, true), ratio(2, 1, false));
    std::wprintf(L"  backup:    engine / bare %.3f (writes %.3f); engine / old engine loop %.3f (writes %.3f)\n",
                 ratio(3, 4, false), ratio(3, 4, true), ratio(3, 5, false), ratio(3, 5, true));
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const auto [runs, root] = ParseBenchArgs(argc, argv, L"sync_copy_bench");
    EnsureDirectory(root);
    for (const Layout& layout : kLayouts) {
        if (!BenchLayout(layout, root, runs))
            return 1;
    }
    return 0;
}
