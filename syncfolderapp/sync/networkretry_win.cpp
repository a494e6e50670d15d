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
    shareKeys_.clear();
    probedShares_.clear();
    anyShareGone_ = false;
}

WriteResult CNetworkRetry::Write(CTargetWriter& writer, const std::wstring& source, const std::wstring& target,
                                 bool keepBackup, bool verify)
{
    if (const std::uint32_t gone = GoneShareError(target))
        return {WriteResult::Write, gone};

    WriteResult result = writer.Write(source, target, keepBackup, verify);
    // Set from a commit that may have renamed until a comparison shows that it did not.
    bool mayHoldNew = result.failure == WriteResult::Commit;
    for (std::size_t retry = 0; retry < waits_.size() && WorthRetrying(result); ++retry) {
        Sleep(waits_[retry]);
        if (mayHoldNew) {
            std::uint32_t error = 0;
            if (SameContents(source, target, error))
                return {};
            if (IsTransientNetworkError(error)) {
                result = {WriteResult::Write, error};
                continue;
            }
        }
        result = writer.Write(source, target, keepBackup, verify);
        mayHoldNew = result.failure == WriteResult::Commit;
    }
    if (WorthRetrying(result))
        ProbeShareOnce(target);
    return result;
}

const std::wstring& CNetworkRetry::ShareOf(const std::wstring& target)
{
    // A drive letter's share is asked of the system once; a UNC path names its own.
    std::wstring root = DriveRootOf(target);
    const auto [entry, fresh] = shareKeys_.try_emplace(root.empty() ? UncShareKey(target) : root);
    if (fresh)
        entry->second = root.empty() ? entry->first : ShareKeyOf(root);
    return entry->second;
}

std::uint32_t CNetworkRetry::GoneShareError(const std::wstring& target)
{
    if (!anyShareGone_)
        return ERROR_SUCCESS;
    const auto probed = probedShares_.find(ShareOf(target));
    return probed == probedShares_.end() ? ERROR_SUCCESS : probed->second;
}

void CNetworkRetry::ProbeShareOnce(const std::wstring& target)
{
    const std::wstring& share = ShareOf(target);
    if (share.empty() || probedShares_.count(share) != 0)
        return;
    const std::wstring root = ShareRoot(share);
    const std::uint32_t error =
        GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_SUCCESS;
    probedShares_.emplace(share, error);
    anyShareGone_ = anyShareGone_ || error != ERROR_SUCCESS;
}
