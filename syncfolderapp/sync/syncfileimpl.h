#pragma once

// Receiver of a run's result lines. Both calls arrive on the threads of the run's lanes,
// several at once, so a receiver must be safe for that; the lines of one version
// directory come from one lane, in order. The engine never owns or deletes its receiver,
// so there is no virtual destructor.

#include <cstdint>
#include <string>

class SyncFileImpl {
public:
    virtual void OnSyncLog(const std::wstring& text, std::uint32_t line) = 0;
    virtual void OnSyncError(const std::wstring& text, std::uint32_t error, std::uint32_t line) = 0;

protected:
    SyncFileImpl() = default;
    SyncFileImpl(const SyncFileImpl&) = default;
    SyncFileImpl& operator=(const SyncFileImpl&) = default;
    ~SyncFileImpl() = default;
};
