// Times a run into version directories on network drives written in lanes against the
// same run written one lane at a time, in the same run of this program: 2, 4 and 8
// version directories, one on each network drive, 500 pairs of 4 KiB each. The writer's
// step hook adds a fixed 5 ms to each pair, standing for the round trips of a write into
// another machine, which the lanes wait out side by side. Under Wine every call that
// names a file goes through one server process, so no more than that waiting can be
// shown here; what lanes gain against a real server is for a real network to show.
//
//   sync_lanes_bench [runs] [work folder]
//
// Needs the network drives N: to U:: bench/sync/run-lanes-under-wine.sh types them so.

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>

#include "bench/sync/benchsupport.h"
#include "syncfolderapp/sync/syncfiledriver.h"

namespace {

constexpr int kPairsPerFolder = 500;
constexpr std::size_t kFileBytes = 4096;
constexpr DWORD kRoundTripsMs = 5;
constexpr int kFolderCounts[] = {2, 4, 8};

using Clock = std::chrono::steady_clock;

struct Variant {
    const wchar_t* name;
    LaneLimits limits;
    std::vector<double> ms;
};

bool BenchFolders(const std::vector<std::wstring>& files, int folderCount, int runs)
{
    std::vector<std::wstring> folders;
    for (int i = 0; i < folderCount; ++i) {
        const std::wstring root{static_cast<wchar_t>(L'N' + i), L':', L'\\'};
        if (GetDriveTypeW(root.c_str()) != DRIVE_REMOTE) {
            std::fwprintf(stderr, L"%ls is no network drive\n", root.c_str());
            return false;
        }
        folders.push_back(root + L"lanes");
    }
    CountingSink sink;
    CSyncFileDriver engine(&sink);
    const int pairs = kPairsPerFolder * folderCount;
    // The first run creates every target; the timed runs then write over existing files.
    if (engine.StartSync(files, folders, Mir200Only, false) != pairs) {
        std::fwprintf(stderr, L"warm-up run failed\n");
        return false;
    }
    engine.Writer().SetStepHook([](WriteStep step, const PairWrite&) -> std::uint32_t {
        if (step == WriteStep::Copied)
            Sleep(kRoundTripsMs);
        return ERROR_SUCCESS;
    });
    std::vector<Variant> variants = {{L"lanes", LaneLimits{}, {}}, {L"one lane", LaneLimits{1, 1}, {}}};
    for (int r = 0; r < runs; ++r) {
        // Interleaved, the first one taking turns.
        for (std::size_t k = 0; k < variants.size(); ++k) {
            Variant& v = variants[(k + static_cast<std::size_t>(r)) % variants.size()];
            engine.laneLimits = v.limits;
            sink.failed = 0;
            const auto t0 = Clock::now();
            const int done = engine.StartSync(files, folders, Mir200Only, false);
            v.ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
            if (done != pairs || sink.failed != 0) {
                std::fwprintf(stderr, L"%ls: %d of %d pairs\n", v.name, done, pairs);
                return false;
            }
        }
    }
    std::wprintf(L"\n%d version directories on %d network drives x %d pairs, %lu ms added per pair, medians of %d "
                 L"runs\n",
                 folderCount, folderCount, kPairsPerFolder, kRoundTripsMs, runs);
    for (const Variant& v : variants) {
        std::wprintf(L"  %-9ls %9.1f ms  runs:", v.name, Median(v.ms));
        for (double each : v.ms)
            std::wprintf(L" %.0f", each);
        std::wprintf(L"\n");
    }
    std::vector<double> ratios;
    for (int r = 0; r < runs; ++r)
        ratios.push_back(variants[0].ms[static_cast<std::size_t>(r)] / variants[1].ms[static_cast<std::size_t>(r)]);
    const double ideal = 1.0 / static_cast<double>(std::min(folderCount, static_cast<int>(LaneLimits{}.total)));
    std::wprintf(L"  lanes / one lane %.3f (median of the runs' ratios; ideal %.3f)\n", Median(ratios), ideal);
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const auto [runs, root] = ParseBenchArgs(argc, argv, L"sync_lanes_bench");
    const std::vector<std::wstring> files = WriteSourceFiles(root + L"\\src\\Mir200", kPairsPerFolder, kFileBytes);
    if (files.empty())
        return 1;
    for (const int folderCount : kFolderCounts) {
        if (!BenchFolders(files, folderCount, runs))
            return 1;
    }
    return 0;
}
