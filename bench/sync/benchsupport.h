#pragma once

// What the sync timing programs share: a receiver that only counts failures, a file
// writer, the median of the runs and the command line.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>

#include "common/winhandle.h"
#include "syncfolderapp/sync/syncfileimpl.h"

// Receives a job's result lines, counting the failed ones; lanes report at the same time.
class CountingSink final : public SyncFileImpl {
public:
    void OnSyncLog(const std::wstring&, std::uint32_t) override {}
    void OnSyncError(const std::wstring&, std::uint32_t, std::uint32_t) override { ++failed; }
    std::atomic<int> failed{0};
};

inline bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The command line of a timing program: [runs] [work folder]; by default 3 runs in the
// folder `defaultName` below the temporary folder.
struct BenchArgs {
    int runs = 3;
    std::wstring root;
};

inline BenchArgs ParseBenchArgs(int argc, wchar_t** argv, const wchar_t* defaultName)
{
    BenchArgs args;
    if (argc > 1)
        args.runs = std::max(1, _wtoi(argv[1]));
    if (argc > 2) {
        args.root = argv[2];
    } else {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        args.root = std::wstring(temp) + defaultName;
    }
    return args;
}
