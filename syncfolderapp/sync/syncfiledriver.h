#pragma once

// The sync engine: copies every prepared source file into every version directory of a
// job, one result line per copied pair. Runs on the pool's worker thread, which writes
// the version directories in lanes (laneplan.h): the local ones in one lane, each one on
// a share in a lane of its own, the lanes beside one another on threads of the run that
// StartSync joins before it returns. The window thread only reads `busy` and `progress`
// and stores false into `keepRunning`.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "syncfolderapp/sync/laneplan.h"
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

    // Runs one whole job from the calling thread, which writes one lane itself and waits
    // for the others; returns the number of successful copies over all folders (skipped
    // pairs are counted in `skippedCount`). A stop request is honoured only before copying
    // begins. Without `withJournal` the run leaves no journal (the operator chose so when
    // the journal folder could not be written).
    std::int32_t StartSync(const std::vector<std::wstring>& files, const std::vector<std::wstring>& folders,
                           std::int32_t type, bool withBackup, RunChecks runChecks = {}, bool withJournal = true);

    // What StartSync with the same arguments would do now, pair by pair, on the calling
    // thread; nothing is written and no result line is reported.
    std::vector<PlanRow> ComputePlan(const std::vector<std::wstring>& files, const std::vector<std::wstring>& folders,
                                     std::int32_t type, bool withBackup, RunChecks runChecks);

    // One (source, target) pair, as a lane of a run writes it: nothing at all when the
    // target is the source itself; otherwise the write (with a backup when the run asks for
    // one, again after a transient network error), or the skip of a target that looks like
    // the source when the run asks for that, and exactly one result line. True when the
    // target holds the new contents. Takes the choices of the last run.
    bool SyncOnePair(const SyncFileItem& item, const std::wstring& target);

    // What writes every target of a run: each lane writes with a copy of it, made when the
    // lane starts, so that its step hook (the place for checks before a commit) and its
    // commit recorder are called from every lane of a run, at the same time.
    CTargetWriter& Writer() { return writer; }
    // What writes a pair again after a transient network error; its waits can be set.
    CNetworkRetry& Retry() { return retry; }
    // How many lanes of a run write at once; {1, 1} writes one lane after another.
    LaneLimits laneLimits;

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
    // What one lane writes with: its own copy of the writer, its own look at the targets
    // and directories it meets, and the failed pairs of the version directory at hand.
    struct Lane {
        explicit Lane(const CTargetWriter& configured);
        CTargetWriter writer;
        CTargetProbe probe;
        // Identities of the directories looked at during the current run, by path text.
        std::unordered_map<std::wstring, FileId> dirIds;
        std::int32_t failedPairs = 0;
    };
    const FileId& DirectoryId(Lane& lane, const std::wstring& dir);

    CTargetWriter writer;
    CNetworkRetry retry;
    std::wstring journalFolder;
    std::unique_ptr<CRunJournal> journal;
    bool journalOn = true;  // the current run writes its journal
    // The copy pass: pairs written so far over all lanes, of how many, and the progress
    // at which the pass began.
    std::atomic<std::int64_t> pairsDone{0};
    std::int64_t pairsTotal = 0;
    std::int32_t copyBase = 0;

    void BeginJob(std::int32_t type, bool withBackup, RunChecks runChecks);
    void PrepareItems(const std::vector<std::wstring>& files);
    SyncFileItem PrepareItem(const std::wstring& path, std::uint32_t& error) const;
    // The copy pass: every version directory written by its lane, the lanes on threads of
    // their own within `laneLimits`; the failures are counted by version directory in job
    // order.
    void WriteInLanes(const std::vector<std::wstring>& folders);
    // Maps and copies every prepared item into one version directory, as `lane`; returns
    // the copies made there.
    std::int32_t SyncToFolder(Lane& lane, const std::wstring& folder);
    bool SyncOnePair(Lane& lane, const SyncFileItem& item, const std::wstring& target);
    // One pair of the copy pass done, in whichever lane: the progress moves on.
    void PairDone();
    bool IsSourceItself(Lane& lane, const SyncFileItem& item, const std::wstring& target);
    bool LooksLikeSource(Lane& lane, const SyncFileItem& item, const std::wstring& target);
    // Whether the item's or the target's volume keeps times in two-second steps.
    bool CoarseTimes(Lane& lane, const SyncFileItem& item, const std::wstring& target);
    void YieldStep();
};
