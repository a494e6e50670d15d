// Times a sync run of 2,000 files of 4 KiB into 5 version directories (10,000 copies over
// existing targets, no backup) against a bare CopyFileW loop over the same 10,000 pairs.
//
//   sync_copy_bench [runs] [work folder]
//
// Under Wine pin both the program and the wine server to one core, for example:
//   taskset -c 0 wineserver -p; taskset -c 0 wine sync_copy_bench.exe 7

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>

#include "common/fileutil.h"
#include "syncfolderapp/sync/syncfiledriver.h"

namespace {

constexpr int kFiles = 2000;
constexpr int kFolders = 5;
constexpr int kFileBytes = 4096;

class CountingSink final : public SyncFileImpl {
public:
    void OnSyncLog(const std::wstring&, std::uint32_t) override { ++ok; }
    void OnSyncError(const std::wstring&, std::uint32_t, std::uint32_t) override { ++failed; }
    int ok = 0;
    int failed = 0;
};

bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
    std::wstring root;
    if (argc > 2) {
        root = argv[2];
    } else {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        root = std::wstring(temp) + L"sync_copy_bench";
    }
    EnsureDirectory(root);

    // Sources: Mir200\dNN\fNNNN.txt, 20 directories of 100 files.
    std::vector<std::wstring> files;
    std::string content(kFileBytes, 'x');
    for (int i = 0; i < kFiles; ++i) {
        const std::wstring dir = root + L"\\src\\Mir200\\d" + std::to_wstring(i / 100);
        if (i % 100 == 0)
            EnsureDirectory(dir);
        files.push_back(dir + L"\\f" + std::to_wstring(i) + L".txt");
        content[0] = static_cast<char>('a' + i % 26);
        if (!WriteBytes(files.back(), content)) {
            std::fwprintf(stderr, L"cannot write %ls\n", files.back().c_str());
            return 1;
        }
    }
    std::vector<std::wstring> folders;
    for (int v = 0; v < kFolders; ++v)
        folders.push_back(root + L"\\ver" + std::to_wstring(v));

    CountingSink sink;
    CSyncFileDriver engine(&sink);
    // First run creates every target; the timed runs then overwrite existing files.
    if (engine.StartSync(files, folders, Mir200Only, false) != kFiles * kFolders) {
        std::fwprintf(stderr, L"warm-up run failed\n");
        return 1;
    }
    std::vector<std::pair<std::wstring, std::wstring>> pairs;
    for (const std::wstring& folder : folders)
        for (const SyncFileItem& item : engine.items)
            pairs.emplace_back(item.sourcePath, MapTargetPath(item, folder));

    std::vector<double> engineMs;
    std::vector<double> bareMs;
    std::vector<double> ratios;
    using Clock = std::chrono::steady_clock;
    for (int r = 0; r < runs; ++r) {
        sink.ok = sink.failed = 0;
        // Alternate which loop goes first, so that neither always meets the other's cache.
        double engineTime = 0;
        double bareTime = 0;
        int copied = 0;
        int bareCopied = 0;
        for (int half = 0; half < 2; ++half) {
            const auto t0 = Clock::now();
            if ((half == 0) == (r % 2 == 0)) {
                copied = engine.StartSync(files, folders, Mir200Only, false);
                engineTime = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
            } else {
                for (const auto& [source, target] : pairs)
                    bareCopied += CopyFileW(source.c_str(), target.c_str(), FALSE) ? 1 : 0;
                bareTime = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
            }
        }
        if (copied != kFiles * kFolders || bareCopied != kFiles * kFolders || sink.failed != 0) {
            std::fwprintf(stderr, L"run %d: engine %d, bare %d, failures %d\n", r, copied, bareCopied, sink.failed);
            return 1;
        }
        engineMs.push_back(engineTime);
        bareMs.push_back(bareTime);
        ratios.push_back(engineTime / bareTime);
        std::wprintf(L"run %d: engine %.1f ms, bare CopyFileW loop %.1f ms, ratio %.3f\n", r, engineMs.back(),
                     bareMs.back(), engineMs.back() / bareMs.back());
    }
    // The preparation pass alone (every source opened once for its size): a run without
    // version directories.
    std::vector<double> prepareMs;
    for (int r = 0; r < 3; ++r) {
        const auto p0 = Clock::now();
        engine.StartSync(files, {}, Mir200Only, false);
        prepareMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - p0).count());
    }
    std::wprintf(L"preparation pass alone: %.1f ms (median of 3)\n", Median(prepareMs));

    // What the engine adds per pair beyond the copy, timed alone over the same pairs.
    auto t0 = Clock::now();
    WIN32_FILE_ATTRIBUTE_DATA data;
    for (const auto& [source, target] : pairs)
        GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &data);
    auto t1 = Clock::now();
    for (const auto& [source, target] : pairs) {
        HANDLE file =
            CreateFileW(target.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        BY_HANDLE_FILE_INFORMATION info;
        GetFileInformationByHandle(file, &info);
        CloseHandle(file);
    }
    auto t2 = Clock::now();
    int lookAlike = 0;
    for (const auto& [source, target] : pairs) {
        WIN32_FILE_ATTRIBUTE_DATA a;
        WIN32_FILE_ATTRIBUTE_DATA b;
        if (GetFileAttributesExW(source.c_str(), GetFileExInfoStandard, &a) &&
            GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &b) &&
            CompareFileTime(&a.ftCreationTime, &b.ftCreationTime) == 0 &&
            CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime) == 0)
            ++lookAlike;
    }
    std::wprintf(L"pairs whose target has the source's times (so times cannot tell them apart): %d\n", lookAlike);
    std::wprintf(L"per 10,000 pairs: attribute query %.1f ms, open + file id + close %.1f ms\n",
                 std::chrono::duration<double, std::milli>(t1 - t0).count(),
                 std::chrono::duration<double, std::milli>(t2 - t1).count());

    const double e = Median(engineMs);
    const double b = Median(bareMs);
    std::wprintf(L"median over %d runs: engine %.1f ms, bare %.1f ms, engine/bare %.3f, median of run ratios %.3f "
                 L"(%d copies each)\n",
                 runs, e, b, e / b, Median(ratios), kFiles * kFolders);
    return 0;
}
