// Times the run's checks, each against a baseline measured in the same run:
//   plan of 100,000 pairs (1,000 files in directories of 200 into 100 version directories,
//     half of the targets existing)   against   one bare attribute query per target;
//   a second run with the skip of unchanged targets over 10,000 pairs (1,000 files into 10
//     version directories)   against   the first run, which copied them all;
//   copies of large files with the read-back   against   the same copies without it.
//
//   sync_checks_bench [runs] [work folder]
//
// Under Wine pin the program and the wine server to one core:
// bench/sync/run-under-wine.sh <build dir> [runs] [work folder] sync_checks_bench

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>

#include "common/fileutil.h"
#include "common/winhandle.h"
#include "bench/sync/benchsupport.h"
#include "syncfolderapp/sync/syncfiledriver.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// 1,000 sources of 1 KiB in five directories of 200 under root\src.
std::vector<std::wstring> MakeSources(const std::wstring& root)
{
    std::vector<std::wstring> files;
    const std::string bytes(1024, 'x');
    for (int d = 0; d < 5; ++d) {
        const std::wstring dir = root + L"\\src\\d" + std::to_wstring(d);
        CreateDirectoryTree(dir);
        for (int i = 0; i < 200; ++i) {
            files.push_back(dir + L"\\f" + std::to_wstring(i) + L".dat");
            WriteBytes(files.back(), bytes);
        }
    }
    return files;
}

// `count` version directories named root\<prefix>N; same-level placement puts a source
// src\dD\fI.dat at root\<prefix>N\dD\fI.dat.
std::vector<std::wstring> Folders(const std::wstring& root, const std::wstring& prefix, int count)
{
    std::vector<std::wstring> folders;
    for (int v = 0; v < count; ++v)
        folders.push_back(root + L"\\" + prefix + std::to_wstring(v));
    return folders;
}

std::wstring TargetOf(const std::wstring& root, const std::wstring& source, const std::wstring& folder)
{
    return folder + source.substr(root.size() + 4);  // past root\src
}

void TimePlan(const std::wstring& root, const std::vector<std::wstring>& files, int runs)
{
    const std::vector<std::wstring> folders = Folders(root, L"plan", 100);
    std::vector<std::wstring> targets;
    for (const std::wstring& folder : folders) {
        for (std::size_t i = 0; i < files.size(); ++i) {
            targets.push_back(TargetOf(root, files[i], folder));
            if (i % 2 == 0) {
                CreateDirectoryTree(targets.back().substr(0, targets.back().rfind(L'\\')));
                CopyFileW(files[i].c_str(), targets.back().c_str(), FALSE);
            }
        }
    }
    CSyncFileDriver engine;
    std::vector<double> plans, bare;
    std::size_t rows = 0;
    for (int run = 0; run < runs; ++run) {
        auto start = Clock::now();
        rows = engine.ComputePlan(files, folders, SameLevel, false, RunChecks{true, false}).size();
        plans.push_back(MsSince(start));
        start = Clock::now();
        int found = 0;
        for (const std::wstring& target : targets) {
            WIN32_FILE_ATTRIBUTE_DATA data;
            found += GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &data) ? 1 : 0;
        }
        bare.push_back(MsSince(start));
        if (found != 50000)
            std::wprintf(L"unexpected: %d targets exist\n", found);
    }
    std::wprintf(L"plan: rows=%zu plan_ms=%.0f (limit 2000) bare_queries_ms=%.0f plan/bare=%.2f\n", rows, Median(plans),
                 Median(bare), Median(plans) / Median(bare));
}

void TimeSkip(const std::wstring& root, const std::vector<std::wstring>& files, int runs)
{
    CountingSink sink;
    CSyncFileDriver engine(&sink);
    std::vector<double> firsts, seconds;
    for (int run = 0; run < runs; ++run) {
        const std::vector<std::wstring> folders = Folders(root, L"skip" + std::to_wstring(run) + L"_", 10);
        auto start = Clock::now();
        const int copied = engine.StartSync(files, folders, SameLevel, false, RunChecks{true, false});
        firsts.push_back(MsSince(start));
        start = Clock::now();
        const int again = engine.StartSync(files, folders, SameLevel, false, RunChecks{true, false});
        seconds.push_back(MsSince(start));
        if (copied != 10000 || again != 0 || engine.skippedCount.load() != 10000 || sink.failed != 0)
            std::wprintf(L"unexpected: copied %d, then %d, skipped %d, failed %d\n", copied, again,
                         engine.skippedCount.load(), sink.failed.load());
    }
    std::wprintf(L"skip: pairs=10000 first_run_ms=%.0f second_run_ms=%.0f second/first=%.3f (limit 0.2)\n",
                 Median(firsts), Median(seconds), Median(seconds) / Median(firsts));
}

void TimeVerify(const std::wstring& root, int runs)
{
    constexpr int kFiles = 4;
    constexpr std::size_t kBytes = 64u << 20;
    std::vector<std::wstring> files;
    std::string bytes(kBytes, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 2654435761u >> 24);
    CreateDirectoryTree(root + L"\\large\\src");
    for (int i = 0; i < kFiles; ++i) {
        files.push_back(root + L"\\large\\src\\big" + std::to_wstring(i) + L".dat");
        WriteBytes(files.back(), bytes);
    }
    CountingSink sink;
    CSyncFileDriver engine(&sink);
    std::vector<double> plain, verified;
    for (int run = 0; run < runs; ++run) {
        for (const bool verify : {false, true}) {
            const std::wstring folder = root + L"\\large\\t" + std::to_wstring(verify);
            const auto start = Clock::now();
            if (engine.StartSync(files, {folder}, SameLevel, false, RunChecks{false, verify}) != kFiles)
                std::wprintf(L"unexpected: a large copy failed\n");
            (verify ? verified : plain).push_back(MsSince(start));
        }
    }
    const double mb = static_cast<double>(kFiles) * kBytes / 1e6;
    std::wprintf(L"verify: %d files of %zu MiB, without %.0f MB/s, with %.0f MB/s, with/without time %.2f\n", kFiles,
                 kBytes >> 20, mb / Median(plain) * 1000, mb / Median(verified) * 1000,
                 Median(verified) / Median(plain));
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 3;
    const std::wstring root = argc > 2 ? argv[2] : L"D:\\bench";
    CreateDirectoryTree(root);
    const std::vector<std::wstring> files = MakeSources(root);
    TimePlan(root, files, runs);
    TimeSkip(root, files, runs);
    TimeVerify(root, runs);
    std::fflush(stdout);
    return 0;
}
