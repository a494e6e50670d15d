#include "syncfolderapp/sync/networkretry.h"

#include <windows.h>

#include "common/sharekey.h"
#include "syncfolderapp/sync/neterrors.h"

namespace {

// The waits before the first, second and third retry.
constexpr std::uint32_t kDefaultWaitsMs[] = {1000, 2000, 4000};

bool WorthRetrying(const WriteResult& result)
{
    return !result.Written() && IsTransientNetworkError(result.error);
}

}  // namespace

CNetworkRetry::CNetworkRetry() : waits_(std::begin(kDefaultWaitsMs), std::end(kDefaultWaitsMs))
{
}

void CNetworkRetry::BeginRun()
{
    const std::lock_guard<std::mutex> held(lock_);
    shareKeys_.clear();
    probedShares_.clear();
    anyShareGone_ = false;
}

WriteResult CNetworkRetry::Write(CTargetWriter& writer, const std::wstring& source, const std::wstring& target,
                                 bool keepBackup, bool verify, const FileStamp* sourceStamp)
{
    if (const std::uint32_t gone = GoneShareError(target))
        return {WriteResult::Write, gone};

    WriteResult result = writer.Write(source, target, keepBackup, verify, sourceStamp);
    // Set from a commit that may have renamed until a comparison shows that it did not.
    bool mayHoldNew = result.failure == WriteResult::Commit;
    for (std::size_t retry = 0; retry < waits_.size() && WorthRetrying(result); ++retry) {
        Sleep(waits_[retry]);
        // Another lane may have found the share gone meanwhile.
        if (const std::uint32_t gone = GoneShareError(target))
            return {WriteResult::Write, gone};
        if (mayHoldNew) {
            std::uint32_t error = 0;
            if (SameContents(source, target, error))
                return {};
            if (IsTransientNetworkError(error)) {
                result = {WriteResult::Write, error};
                continue;
            }
        }
        result = writer.Write(source, target, keepBackup, verify, sourceStamp);
        mayHoldNew = result.failure == WriteResult::Commit;
    }
    if (WorthRetrying(result))
        ProbeShareOnce(target);
    return result;
}

std::wstring CNetworkRetry::ShareOf(const std::wstring& target)
{
    // A drive letter's share is asked of the system once; a UNC path names its own.
    const std::wstring root = DriveRootOf(target);
    const std::wstring known = root.empty() ? UncShareKey(target) : root;
    {
        const std::lock_guard<std::mutex> held(lock_);
        if (const auto found = shareKeys_.find(known); found != shareKeys_.end())
            return found->second;
    }
    std::wstring share = root.empty() ? known : ShareKeyOf(root);
    const std::lock_guard<std::mutex> held(lock_);
    shareKeys_.emplace(known, share);
    return share;
}

std::uint32_t CNetworkRetry::GoneShareError(const std::wstring& target)
{
    if (!anyShareGone_.load())
        return ERROR_SUCCESS;
    const std::wstring share = ShareOf(target);
    const std::lock_guard<std::mutex> held(lock_);
    const auto probed = probedShares_.find(share);
    return probed == probedShares_.end() ? ERROR_SUCCESS : probed->second;
}

void CNetworkRetry::ProbeShareOnce(const std::wstring& target)
{
    const std::wstring share = ShareOf(target);
    {
        const std::lock_guard<std::mutex> held(lock_);
        // Once per run, also when two lanes get here at the same time.
        if (share.empty() || !probedShares_.emplace(share, ERROR_SUCCESS).second)
            return;
    }
    const std::wstring root = ShareRoot(share);
    const std::uint32_t error =
        GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_SUCCESS;
    const std::lock_guard<std::mutex> held(lock_);
    probedShares_[share] = error;
    if (error != ERROR_SUCCESS)
        anyShareGone_ = true;
}
