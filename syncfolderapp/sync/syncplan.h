#pragma once

// What a run would do with each (source, version directory) pair, decided from what the
// disk shows without changing anything. Pure: the file system is asked through the
// callbacks a caller passes in.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "syncfolderapp/sync/syncmap.h"

// The choices of a run beside its lists and placement mode.
struct RunChecks {
    bool skipSame = false;    // leave targets alone that look like their source
    bool verifyCopy = false;  // read every copy back before it replaces the target
};

enum class PlanAction : std::uint8_t {
    New,              // the target does not exist
    Overwrite,        // it exists and is replaced
    BackupOverwrite,  // replaced, the old contents kept under a backup name
    Same,             // it looks like the source and is left alone (skip on)
    NotPlaced,        // the placement rule gives the pair no target
    Unwritable,       // the target is a directory, or a folder on its path is a file
    Unreadable,       // the source cannot be opened
    SourceItself,     // the target is the source file itself
};
inline constexpr std::size_t kPlanActionCount = 8;

// The caption of an action in the preview.
const wchar_t* PlanActionText(PlanAction action);

// What the disk shows at a target's name.
struct TargetState {
    enum Kind { Missing, File, Directory, BlockedPath } kind = Missing;
    std::int64_t size = 0;
    std::uint64_t lastWrite = 0;  // FILETIME units (100 ns)
};

// True for the file systems that keep last-write times in two-second steps: FAT, FAT32
// and exFAT (names as the system gives them, in any letter case).
bool KeepsCoarseTimes(std::wstring_view fileSystemName);

// Whether the source's or the target's volume keeps times in two-second steps; asked only
// when two times differ by less than that.
using CoarseTimesProbe = std::function<bool()>;

// Same size and the same last-write time; where `coarseTimes` says a volume of the two
// keeps times in two-second steps, times less than two seconds apart count as the same.
bool LooksSame(std::int64_t sizeA, std::uint64_t timeA, std::int64_t sizeB, std::uint64_t timeB,
               const CoarseTimesProbe& coarseTimes);

// The action for a readable, placed source whose target is not the source itself.
PlanAction ActionForTarget(const SyncFileItem& item, const TargetState& target, bool backup, const RunChecks& checks,
                           const CoarseTimesProbe& coarseTimes);

struct PlanRow {
    PlanAction action = PlanAction::NotPlaced;
    std::wstring source;
    std::wstring target;  // empty for NotPlaced
};

// What the planner asks of the disk.
struct PlanProbes {
    std::function<TargetState(const std::wstring& target)> target;
    std::function<bool(const SyncFileItem& item, const std::wstring& target)> isSourceItself;
    // Whether the item's or the target's volume keeps times in two-second steps.
    std::function<bool(const SyncFileItem& item, const std::wstring& target)> coarseTimes;
};

// One row per (item, folder) pair in the order a run writes them: folder by folder, the
// items in list order. Items that are LeftOut (no Mir200 component, or a temporary file)
// are NotPlaced; Unreadable items are Unreadable wherever they would be placed.
std::vector<PlanRow> BuildPlan(const std::vector<SyncFileItem>& items, const std::vector<std::wstring>& folders,
                               bool backup, const RunChecks& checks, const PlanProbes& probes);

// Rows per action.
using PlanCounts = std::array<std::size_t, kPlanActionCount>;
PlanCounts CountPlan(const std::vector<PlanRow>& rows);

// "共 N 项: 新增 a, 覆盖 b, 相同 c, 不同步 d, 无法写入 e, 无法读取 f"; the overwrites count
// those with a backup, and N counts every row.
std::wstring PlanSummaryLine(const PlanCounts& counts, std::size_t rowCount);
