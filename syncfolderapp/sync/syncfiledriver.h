#pragma once

// The sync engine: copies every prepared source file into every version directory of a
// job, one result line per copied pair. Runs on the pool's worker thread; the window
// thread only reads `busy` and `progress` and stores false into `keepRunning`.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "syncfolderapp/sync/networkretry.h"
#include "syncfolderapp/sync/runjournal.h"
#include "syncfolderapp/sync/syncfileimpl.h"
#include "syncfolderapp/sync/syncmap.h"
#include "syncfolderapp/sync/syncplan.h"
#include "syncfolderapp/sync/targetprobe.h"
#include "syncfolderapp/sync/targetwriter.h"

// A version directory in which pairs of a run failed, and how many.
struct UnfinishedFolder {
    std::wstring folder;
    std::int32_t failed = 0;
};

class CSyncFileDriver {
public:
    explicit CSyncFileDriver(SyncFileImpl* receiver = nullptr) : sink(receiver) {}
    CSyncFileDriver(const CSyncFileDriver&) = delete;
    CSyncFileDriver& operator=(const CSyncFileDriver&) = delete;

    // Runs one whole job on the calling thread; returns the number of successful copies
    // over all folders (skipped pairs are counted in `skippedCount`). A stop request is
    // honoured only before copying begins. Without `withJournal` the run leaves no journal
    // (the operator chose so when the journal folder could not be written).
    std::int32_t StartSync(const std::vector<std::wstring>& files, const std::vector<std::wstring>& folders,
                           std::int32_t type, bool withBackup, RunChecks runChecks = {}, bool withJournal = true);

    // What StartSync with the same arguments would do now, pair by pair, on the calling
    // thread; nothing is written and no result line is reported.
    std::vector<PlanRow> ComputePlan(const std::vector<std::wstring>& files, const std::vector<std::wstring>& folders,
                                     std::int32_t type, bool withBackup, RunChecks runChecks);

    // Maps and copies every prepared item into one version directory; `step` is the share
    // of the progress (percent) allotted to it. Returns the copies made there.
    std::int32_t SyncToFolder(const std::wstring& folder, std::int32_t step);

    // One (source, target) pair: nothing at all when the target is the source itself;
    // otherwise the write (with a backup when the run asks for one, again after a
    // transient network error), or the skip of a target that looks like the source when
    // the run asks for that, and exactly one result line. True when the target holds the
    // new contents.
    bool SyncOnePair(const SyncFileItem& item, const std::wstring& target);

    // What writes every target of a run; its step hook is the place for checks before a
    // commit.
    CTargetWriter& Writer() { return writer; }
    // What writes a pair again after a transient network error; its waits can be set.
    CNetworkRetry& Retry() { return retry; }

    // From now on each run leaves its journal in `folder`, from which it can be undone.
    void KeepJournalIn(const std::wstring& folder);
    const std::wstring& JournalFolder() const { return journalFolder; }

    std::atomic<std::int32_t> yieldCounter{0};
    std::atomic<bool> busy{false};
    std::vector<SyncFileItem> items;
    SyncFileImpl* sink = nullptr;
    std::atomic<std::int32_t> successCount{0};
    std::atomic<std::int32_t> skippedCount{0};
    // The version directories of the last run in which pairs failed, in job order. Written
    // by the run; read by the window once the run has ended.
    std::vector<UnfinishedFolder> unfinishedFolders;
    // Lines of the journal that the last undo could not read, and so left as they are.
    std::atomic<std::int32_t> damagedJournalLines{0};
    SyncType syncType = Mir200Only;
    std::atomic<bool> keepRunning{false};
    std::atomic<std::int32_t> progress{0};
    bool backup = false;
    RunChecks checks;

private:
    struct FileId {
        bool valid = false;
        std::uint64_t fileIndex = 0;  // on its volume
    };
    const FileId& DirectoryId(const std::wstring& dir);

    // Identities of the directories looked at during the current run, by path text.
    std::unordered_map<std::wstring, FileId> dirIds;
    CTargetWriter writer;
    CNetworkRetry retry;
    // Pairs whose write failed, counted by SyncOnePair for the version directory at hand.
    std::int32_t failedPairs = 0;
    std::wstring journalFolder;
    std::unique_ptr<CRunJournal> journal;
    bool journalOn = true;  // the current run writes its journal
    CTargetProbe probe;

    void BeginJob(std::int32_t type, bool withBackup, RunChecks runChecks);
    void PrepareItems(const std::vector<std::wstring>& files);
    SyncFileItem PrepareItem(const std::wstring& path, std::uint32_t& error) const;
    bool IsSourceItself(const SyncFileItem& item, const std::wstring& target);
    bool LooksLikeSource(const SyncFileItem& item, const std::wstring& target);
    // Whether the item's or the target's volume keeps times in two-second steps.
    bool CoarseTimes(const SyncFileItem& item, const std::wstring& target);
    void YieldStep();
};
