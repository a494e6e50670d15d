#pragma once

// Writes a pair again when it failed with a transient network error, so that one hiccup
// of a share does not fail the pair for good, and stops trying a share whose server has
// gone, so that such a share costs seconds, not minutes:
//   - a write that failed with a transient network error (IsTransientNetworkError) is done
//     again from the start, up to once per wait, after that wait (1, 2 and 4 seconds);
//     the result is that of the last attempt;
//   - after a commit that failed that way the server may have done the rename all the
//     same: the next attempt first compares the target with the source, and when they
//     match the pair counts as written and nothing more is done;
//   - after the first pair on a share that used up its attempts the share's root is
//     probed once; when that fails, every later pair on that share fails at once with the
//     probe's error code, without an attempt.
// Share state lasts for one run (BeginRun) and is shared by its lanes: a share found gone
// by one lane fails the later pairs of every lane on it, and a lane waiting to retry a
// pair on it gives up at once.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "syncfolderapp/sync/targetwriter.h"

class CNetworkRetry {
public:
    CNetworkRetry();

    // A new run: shares are probed again.
    void BeginRun();

    // Writes `source` over `target` through `writer` as CTargetWriter::Write does, with the
    // retries above. Called by every lane of a run at once, each with its own writer.
    WriteResult Write(CTargetWriter& writer, const std::wstring& source, const std::wstring& target, bool keepBackup,
                      bool verify, const FileStamp* sourceStamp = nullptr);

    // The waits before the retries, in milliseconds; one retry per wait.
    void SetWaits(std::vector<std::uint32_t> waitsMs) { waits_ = std::move(waitsMs); }

private:
    // The share key of `target` (ShareKeyOf), asked once per drive letter and run.
    std::wstring ShareOf(const std::wstring& target);
    // The error code of the failed probe of `target`'s share; 0 when it is not known gone.
    std::uint32_t GoneShareError(const std::wstring& target);
    void ProbeShareOnce(const std::wstring& target);

    std::vector<std::uint32_t> waits_;
    // Guards the two maps; never held while the system is asked.
    std::mutex lock_;
    // Drive root or UNC path -> its share key.
    std::unordered_map<std::wstring, std::wstring> shareKeys_;
    // Share key -> the error code of its probe; 0 when the share answered, or while its
    // probe is under way.
    std::unordered_map<std::wstring, std::uint32_t> probedShares_;
    // Whether any probed share failed, so that pairs look up their share only then.
    std::atomic<bool> anyShareGone_{false};
};
