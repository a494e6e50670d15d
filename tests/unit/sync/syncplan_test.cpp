#include "syncfolderapp/sync/syncplan.h"

#include <gtest/gtest.h>

#include <map>

#include "common/pathutil.h"

namespace {

constexpr std::uint64_t kSecond = 10'000'000;

SyncFileItem Item(const std::wstring& source, ItemStatus status, std::int16_t mir200Pos = 0)
{
    SyncFileItem item;
    item.sourcePath = source;
    item.sourceDir = GetParentPath(source);
    item.fileName = source.substr(source.find_last_of(L'\\') + 1);
    item.status = status;
    item.mir200Pos = mir200Pos;
    item.size = 5;
    item.lastWrite = 1000 * kSecond;
    return item;
}

// A disk made of the target states named here; every other target is missing. The
// source itself sits at D:\src; drive E: is a FAT volume.
struct FakeDisk {
    std::map<std::wstring, TargetState> states;
    mutable int coarseAsked = 0;

    PlanProbes Probes() const
    {
        return {[this](const std::wstring& target) {
                    const auto found = states.find(target);
                    return found == states.end() ? TargetState{} : found->second;
                },
                [](const SyncFileItem& item, const std::wstring& target) {
                    return target.rfind(L"D:\\src\\", 0) == 0 && target == item.sourcePath;
                },
                [this](const SyncFileItem& item, const std::wstring& target) {
                    ++coarseAsked;
                    return item.sourcePath.rfind(L"E:", 0) == 0 || target.rfind(L"E:", 0) == 0;
                }};
    }
};

TargetState File(std::int64_t size, std::uint64_t lastWrite)
{
    return {TargetState::File, size, lastWrite};
}

}  // namespace

TEST(SyncPlan, EveryActionWithItsRowTextAndTheSummaryCountsThem)
{
    const std::vector<SyncFileItem> items = {
        Item(L"D:\\src\\new.txt", ItemStatus::Ready),
        Item(L"D:\\src\\changed.txt", ItemStatus::Ready),
        Item(L"D:\\src\\same.txt", ItemStatus::Ready),
        Item(L"D:\\src\\dir.txt", ItemStatus::Ready),
        Item(L"D:\\src\\sub\\blocked.txt", ItemStatus::Ready),
        Item(L"D:\\src\\gone.txt", ItemStatus::Unreadable),
        Item(L"D:\\src\\~sf0000000100000001.tmp", ItemStatus::LeftOut),
    };
    FakeDisk disk;
    disk.states[L"E:\\v\\changed.txt"] = File(5, 1010 * kSecond);
    // FAT keeps times in two-second steps: a copy's time may lie just under two seconds off.
    disk.states[L"E:\\v\\same.txt"] = File(5, 1000 * kSecond + 19'999'999);
    disk.states[L"E:\\v\\dir.txt"] = {TargetState::Directory};
    disk.states[L"E:\\v\\sub\\blocked.txt"] = {TargetState::BlockedPath};
    // The source folder itself is the second version directory.
    const std::vector<PlanRow> rows =
        BuildPlan(items, {L"E:\\v", L"D:\\src"}, false, RunChecks{true, false}, disk.Probes());

    ASSERT_EQ(rows.size(), 14u);
    const auto expect = [&rows](std::size_t i, PlanAction action, const std::wstring& source,
                                const std::wstring& target) {
        EXPECT_EQ(rows[i].action, action) << i;
        EXPECT_EQ(rows[i].source, source) << i;
        EXPECT_EQ(rows[i].target, target) << i;
    };
    expect(0, PlanAction::New, L"D:\\src\\new.txt", L"E:\\v\\new.txt");
    expect(1, PlanAction::Overwrite, L"D:\\src\\changed.txt", L"E:\\v\\changed.txt");
    expect(2, PlanAction::Same, L"D:\\src\\same.txt", L"E:\\v\\same.txt");
    expect(3, PlanAction::Unwritable, L"D:\\src\\dir.txt", L"E:\\v\\dir.txt");
    expect(4, PlanAction::Unwritable, L"D:\\src\\sub\\blocked.txt", L"E:\\v\\sub\\blocked.txt");
    expect(5, PlanAction::Unreadable, L"D:\\src\\gone.txt", L"E:\\v\\gone.txt");
    expect(6, PlanAction::NotPlaced, L"D:\\src\\~sf0000000100000001.tmp", L"");
    expect(7, PlanAction::SourceItself, L"D:\\src\\new.txt", L"D:\\src\\new.txt");
    expect(11, PlanAction::SourceItself, L"D:\\src\\sub\\blocked.txt", L"D:\\src\\sub\\blocked.txt");
    expect(12, PlanAction::Unreadable, L"D:\\src\\gone.txt", L"D:\\src\\gone.txt");

    const std::wstring texts[] = {L"新增",   L"覆盖",     L"备份后覆盖", L"相同",
                                  L"不同步", L"无法写入", L"无法读取",   L"同一文件"};
    for (std::size_t i = 0; i < kPlanActionCount; ++i)
        EXPECT_EQ(PlanActionText(static_cast<PlanAction>(i)), texts[i]);
    EXPECT_EQ(PlanSummaryLine(CountPlan(rows), rows.size()),
              L"共 14 项: 新增 1, 覆盖 1, 相同 1, 不同步 2, 无法写入 2, 无法读取 2");
}

TEST(SyncPlan, SameIsAnOverwriteUnlessSkippingAndBackupNamesTheOverwrite)
{
    const SyncFileItem item = Item(L"D:\\src\\a.txt", ItemStatus::Ready);
    const auto fat = [] { return true; };
    const TargetState same = File(5, 1000 * kSecond - 19'999'999);
    EXPECT_EQ(ActionForTarget(item, same, false, RunChecks{false, true}, fat), PlanAction::Overwrite);
    EXPECT_EQ(ActionForTarget(item, same, true, RunChecks{false, false}, fat), PlanAction::BackupOverwrite);
    EXPECT_EQ(ActionForTarget(item, same, true, RunChecks{true, false}, fat), PlanAction::Same);
    // Two seconds apart, or another size: changed.
    EXPECT_EQ(ActionForTarget(item, File(5, 1002 * kSecond), false, RunChecks{true, false}, fat),
              PlanAction::Overwrite);
    EXPECT_EQ(ActionForTarget(item, File(6, 1000 * kSecond), true, RunChecks{true, false}, fat),
              PlanAction::BackupOverwrite);
    EXPECT_EQ(ActionForTarget(item, TargetState{}, true, RunChecks{true, false}, fat), PlanAction::New);

    const std::vector<PlanRow> rows = {{PlanAction::BackupOverwrite, L"a", L"b"}, {PlanAction::Overwrite, L"a", L"c"}};
    EXPECT_EQ(PlanSummaryLine(CountPlan(rows), rows.size()),
              L"共 2 项: 新增 0, 覆盖 2, 相同 0, 不同步 0, 无法写入 0, 无法读取 0");
}

TEST(SyncPlan, TimesCountAsTheSameWithinTwoSecondsOnlyWhereAVolumeIsFat)
{
    for (const wchar_t* name : {L"FAT", L"FAT32", L"exFAT", L"EXFAT"})
        EXPECT_TRUE(KeepsCoarseTimes(name)) << testing::PrintToString(std::wstring(name));
    for (const wchar_t* name : {L"NTFS", L"ReFS", L"CDFS", L"UDF", L"FA", L"FAT32X", L""})
        EXPECT_FALSE(KeepsCoarseTimes(name)) << testing::PrintToString(std::wstring(name));

    // The same size, the times one second apart, a source on D: and targets on D: and E:.
    FakeDisk disk;
    disk.states[L"D:\\v\\a.txt"] = File(5, 1001 * kSecond);
    disk.states[L"E:\\v\\a.txt"] = File(5, 1001 * kSecond);
    const std::vector<SyncFileItem> items = {Item(L"D:\\src\\a.txt", ItemStatus::Ready)};
    std::vector<PlanRow> rows = BuildPlan(items, {L"D:\\v", L"E:\\v"}, false, RunChecks{true, false}, disk.Probes());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].action, PlanAction::Overwrite) << "NTFS keeps the times exactly";
    EXPECT_EQ(rows[1].action, PlanAction::Same);
    // Equal times need no look at the volume, nor do times two seconds apart.
    disk.coarseAsked = 0;
    disk.states[L"D:\\v\\a.txt"] = File(5, 1000 * kSecond);
    disk.states[L"E:\\v\\a.txt"] = File(5, 1002 * kSecond);
    rows = BuildPlan(items, {L"D:\\v", L"E:\\v"}, false, RunChecks{true, false}, disk.Probes());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].action, PlanAction::Same);
    EXPECT_EQ(rows[1].action, PlanAction::Overwrite);
    EXPECT_EQ(disk.coarseAsked, 0);
}

TEST(SyncPlan, Mir200ModeLeavesOutFilesWithoutTheComponentAndSameLevelShallowFolders)
{
    // Mir200 mode: the item without the component was left out by preparation.
    const std::vector<SyncFileItem> mir200 = {Item(L"D:\\a\\Mir200\\x.txt", ItemStatus::Ready, 4),
                                              Item(L"D:\\a\\readme.txt", ItemStatus::LeftOut)};
    FakeDisk disk;
    std::vector<PlanRow> rows = BuildPlan(mir200, {L"E:\\s"}, false, {}, disk.Probes());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].target, L"E:\\s\\Mir200\\x.txt");
    EXPECT_EQ(rows[0].action, PlanAction::New);
    EXPECT_EQ(rows[1].action, PlanAction::NotPlaced);

    // Same level: a version directory deeper than the source's directory gets nothing.
    rows = BuildPlan({Item(L"D:\\a\\x.txt", ItemStatus::Ready)}, {L"E:\\s\\t\\u"}, false, {}, disk.Probes());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].action, PlanAction::NotPlaced);
    EXPECT_TRUE(rows[0].target.empty());
}
