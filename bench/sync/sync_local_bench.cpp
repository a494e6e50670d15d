// Times runs into version directories on one local volume with nothing added to a pair:
// 4 version directories x 500 pairs of 4 KiB, written over existing targets. Each run's
// milliseconds and their median are printed, so that builds of two commits can be
// compared by running their programs in turn (bench/sync/run-lanes-under-wine.sh): the
// program uses nothing but a run's start, which every build has.
//
//   sync_local_bench [runs] [work folder]

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>

#include "bench/sync/benchsupport.h"
#include "syncfolderapp/sync/syncfiledriver.h"

namespace {

constexpr int kPairsPerFolder = 500;
constexpr int kFolders = 4;
constexpr std::size_t kFileBytes = 4096;

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const auto [runs, root] = ParseBenchArgs(argc, argv, L"sync_local_bench");
    const std::vector<std::wstring> files = WriteSourceFiles(root + L"\\src\\Mir200", kPairsPerFolder, kFileBytes);
    if (files.empty())
        return 1;
    std::vector<std::wstring> folders;
    for (int i = 0; i < kFolders; ++i)
        folders.push_back(root + L"\\ver" + std::to_wstring(i));

    CountingSink sink;
    CSyncFileDriver engine(&sink);
    const int pairs = kPairsPerFolder * kFolders;
    // The first run creates every target; the timed runs then write over existing files.
    if (engine.StartSync(files, folders, Mir200Only, false) != pairs) {
        std::fwprintf(stderr, L"warm-up run failed\n");
        return 1;
    }
    std::vector<double> ms;
    for (int r = 0; r < runs; ++r) {
        const auto t0 = std::chrono::steady_clock::now();
        const int done = engine.StartSync(files, folders, Mir200Only, false);
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        if (done != pairs || sink.failed != 0) {
            std::fwprintf(stderr, L"%d of %d pairs\n", done, pairs);
            return 1;
        }
    }
    std::wprintf(L"%d local version directories x %d pairs, no delay: median %.1f ms  runs:", kFolders, kPairsPerFolder,
                 Median(ms));
    for (double each : ms)
        std::wprintf(L" %.1f", each);
    std::wprintf(L"\n");
    return 0;
}
