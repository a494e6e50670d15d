#pragma once

// What the sync timing programs share: a receiver that only counts failures, a file
// writer and the median of the runs.

#include <algorithm>
#include <string>
#include <vector>

#include <windows.h>

#include "common/winhandle.h"
#include "syncfolderapp/sync/syncfileimpl.h"

class CountingSink final : public SyncFileImpl {
public:
    void OnSyncLog(const std::wstring&, std::uint32_t) override {}
    void OnSyncError(const std::wstring&, std::uint32_t, std::uint32_t) override { ++failed; }
    int failed = 0;
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
