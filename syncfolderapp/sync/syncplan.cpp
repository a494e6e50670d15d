#include "syncfolderapp/sync/syncplan.h"

#include <algorithm>
#include <cwctype>

namespace {

// Two seconds in FILETIME units.
constexpr std::uint64_t kFatTimeStep = 20'000'000;

std::size_t Index(PlanAction action)
{
    return static_cast<std::size_t>(action);
}

}  // namespace

const wchar_t* PlanActionText(PlanAction action)
{
    static const wchar_t* const texts[kPlanActionCount] = {L"新增",   L"覆盖",     L"备份后覆盖", L"相同",
                                                           L"不同步", L"无法写入", L"无法读取",   L"同一文件"};
    return texts[Index(action)];
}

bool KeepsCoarseTimes(std::wstring_view fileSystemName)
{
    const auto is = [fileSystemName](std::wstring_view name) {
        return std::equal(name.begin(), name.end(), fileSystemName.begin(), fileSystemName.end(),
                          [](wchar_t a, wchar_t b) { return std::towupper(a) == std::towupper(b); });
    };
    return is(L"FAT") || is(L"FAT32") || is(L"exFAT");
}

bool LooksSame(std::int64_t sizeA, std::uint64_t timeA, std::int64_t sizeB, std::uint64_t timeB,
               const CoarseTimesProbe& coarseTimes)
{
    const std::uint64_t apart = timeA > timeB ? timeA - timeB : timeB - timeA;
    return sizeA == sizeB && (apart == 0 || (apart < kFatTimeStep && coarseTimes()));
}

PlanAction ActionForTarget(const SyncFileItem& item, const TargetState& target, bool backup, const RunChecks& checks,
                           const CoarseTimesProbe& coarseTimes)
{
    switch (target.kind) {
    case TargetState::Missing:
        return PlanAction::New;
    case TargetState::Directory:
    case TargetState::BlockedPath:
        return PlanAction::Unwritable;
    case TargetState::File:
        break;
    }
    if (checks.skipSame && LooksSame(item.size, item.lastWrite, target.size, target.lastWrite, coarseTimes))
        return PlanAction::Same;
    return backup ? PlanAction::BackupOverwrite : PlanAction::Overwrite;
}

std::vector<PlanRow> BuildPlan(const std::vector<SyncFileItem>& items, const std::vector<std::wstring>& folders,
                               bool backup, const RunChecks& checks, const PlanProbes& probes)
{
    std::vector<PlanRow> rows;
    rows.reserve(items.size() * folders.size());
    for (const std::wstring& folder : folders) {
        const std::size_t folderPieces = PathPieces(folder).size();
        for (const SyncFileItem& item : items) {
            PlanRow& row = rows.emplace_back();
            row.source = item.sourcePath;
            const std::wstring rel =
                item.status == ItemStatus::LeftOut ? std::wstring() : RelativeTarget(item, folderPieces);
            if (rel.empty())
                continue;  // NotPlaced
            row.target = folder + rel;
            if (item.status == ItemStatus::Unreadable)
                row.action = PlanAction::Unreadable;
            else if (probes.isSourceItself(item, row.target))
                row.action = PlanAction::SourceItself;
            else
                row.action = ActionForTarget(item, probes.target(row.target), backup, checks,
                                             [&] { return probes.coarseTimes(item, row.target); });
        }
    }
    return rows;
}

PlanCounts CountPlan(const std::vector<PlanRow>& rows)
{
    PlanCounts counts{};
    for (const PlanRow& row : rows)
        ++counts[Index(row.action)];
    return counts;
}

std::wstring PlanSummaryLine(const PlanCounts& counts, std::size_t rowCount)
{
    const auto n = [&counts](PlanAction action) { return std::to_wstring(counts[Index(action)]); };
    const std::size_t overwrites = counts[Index(PlanAction::Overwrite)] + counts[Index(PlanAction::BackupOverwrite)];
    return L"共 " + std::to_wstring(rowCount) + L" 项: 新增 " + n(PlanAction::New) + L", 覆盖 " +
           std::to_wstring(overwrites) + L", 相同 " + n(PlanAction::Same) + L", 不同步 " + n(PlanAction::NotPlaced) +
           L", 无法写入 " + n(PlanAction::Unwritable) + L", 无法读取 " + n(PlanAction::Unreadable);
}
