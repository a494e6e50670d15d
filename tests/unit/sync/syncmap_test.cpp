#include "syncfolderapp/sync/syncmap.h"

#include <gtest/gtest.h>

#include "common/pathutil.h"

namespace {

// An item as preparation makes it for a full source path in the given mode; `kept` is
// false when the Mir200 test leaves the file out.
SyncFileItem ItemFor(const std::wstring& source, std::int32_t mode, bool* kept = nullptr)
{
    SyncFileItem item;
    item.sourcePath = source;
    item.sourceDir = GetParentPath(source);
    item.fileName = source.substr(source.find_last_of(L'\\') + 1);
    item.status = ItemStatus::Ready;
    bool placed = true;
    if (mode == Mir200Only) {
        const std::int32_t pos = FindMir200Pos(item.sourceDir);
        placed = pos >= 0;
        item.mir200Pos = static_cast<std::int16_t>(placed ? pos : 0);
    }
    if (kept)
        *kept = placed;
    return item;
}

// The target of (source, folder) in a mode, or "—" when the file is not synced there.
std::wstring Target(std::int32_t mode, const std::wstring& source, const std::wstring& folder)
{
    bool kept = false;
    const SyncFileItem item = ItemFor(source, mode, &kept);
    if (!kept)
        return L"—";
    const std::wstring target = MapTargetPath(item, folder);
    return target.empty() ? L"—" : target;
}

struct MappingCase {
    std::int32_t mode;
    const wchar_t* source;
    const wchar_t* folder;
    const wchar_t* target;
};

class TargetMapping : public ::testing::TestWithParam<MappingCase> {};

TEST_P(TargetMapping, MapsSourceIntoVersionDirectory)
{
    const MappingCase& c = GetParam();
    EXPECT_EQ(Target(c.mode, c.source, c.folder), std::wstring(c.target))
        << "source " << testing::PrintToString(std::wstring(c.source)) << " folder "
        << testing::PrintToString(std::wstring(c.folder));
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, TargetMapping,
    ::testing::Values(MappingCase{Mir200Only, L"D:\\MirServer\\Mir200\\Config.txt", L"E:\\Ver1",
                                  L"E:\\Ver1\\Mir200\\Config.txt"},
                      MappingCase{Mir200Only, L"D:\\MirServer\\Mir200\\Envir\\Npc\\a.txt", L"E:\\Ver1",
                                  L"E:\\Ver1\\Mir200\\Envir\\Npc\\a.txt"},
                      MappingCase{Mir200Only, L"D:\\MirServer\\DBServer\\Config.ini", L"E:\\Ver1", L"—"},
                      MappingCase{Mir200Only, L"D:\\MirServer\\DBServer\\Config.ini", L"D:\\a\\b\\c\\d", L"—"},
                      MappingCase{Mir200Only, L"D:\\Srv\\MIR200\\x.txt", L"E:\\Ver1", L"E:\\Ver1\\MIR200\\x.txt"},
                      MappingCase{SameLevel, L"D:\\1级目录\\2级目录\\Config1.txt", L"D:\\Mirserver",
                                  L"D:\\Mirserver\\2级目录\\Config1.txt"},
                      MappingCase{SameLevel, L"D:\\1级目录\\Mir200\\Config2.txt", L"D:\\Mirserver",
                                  L"D:\\Mirserver\\Mir200\\Config2.txt"},
                      MappingCase{SameLevel, L"D:\\x\\a.txt", L"D:\\Mirserver", L"D:\\Mirserver\\a.txt"},
                      MappingCase{SameLevel, L"D:\\a\\b\\c\\d.txt", L"E:\\V", L"E:\\V\\b\\c\\d.txt"},
                      MappingCase{SameLevel, L"D:\\a.txt", L"D:\\Mirserver", L"—"}));

INSTANTIATE_TEST_SUITE_P(
    Mir200Component, TargetMapping,
    ::testing::Values(
        // The last "\mir200" is followed by a digit: not a Mir200 component.
        MappingCase{Mir200Only, L"D:\\Mir200\\Mir2001\\x.txt", L"E:\\V", L"—"},
        MappingCase{Mir200Only, L"D:\\Mir200Bak\\x.txt", L"E:\\V", L"—"},
        // The last component wins, with its own letter case.
        MappingCase{Mir200Only, L"D:\\Srv\\Mir200\\Mir200\\x.txt", L"E:\\V", L"E:\\V\\Mir200\\x.txt"},
        MappingCase{Mir200Only, L"D:\\Srv\\mir200\\Data\\MiR200\\x.txt", L"E:\\V", L"E:\\V\\MiR200\\x.txt"},
        // A directory text that begins with the component gives position 0: same-level rule.
        MappingCase{Mir200Only, L"\\Mir200\\x.txt", L"E:", L"E:\\x.txt"},
        MappingCase{Mir200Only, L"\\Mir200\\Sub\\x.txt", L"E:", L"E:\\Sub\\x.txt"},
        // A forward slash closes the component as well.
        MappingCase{Mir200Only, L"D:\\Srv\\Mir200/Envir\\x.txt", L"E:\\V", L"E:\\V\\Mir200/Envir\\x.txt"}));

INSTANTIATE_TEST_SUITE_P(
    PieceCounts, TargetMapping,
    ::testing::Values(
        // A trailing backslash does not change the piece count; the target doubles it.
        MappingCase{SameLevel, L"D:\\x\\a.txt", L"D:\\Mirserver\\", L"D:\\Mirserver\\\\a.txt"},
        MappingCase{Mir200Only, L"D:\\Srv\\Mir200\\a.txt", L"E:\\Ver1\\", L"E:\\Ver1\\\\Mir200\\a.txt"},
        // Doubled backslashes in the source directory produce no empty pieces.
        MappingCase{SameLevel, L"D:\\a\\\\b\\c.txt", L"E:\\V", L"E:\\V\\b\\c.txt"},
        MappingCase{SameLevel, L"D:\\a\\b\\c.txt", L"E:\\\\V", L"E:\\\\V\\b\\c.txt"},
        // A network share counts three pieces: the leading backslashes yield none.
        MappingCase{SameLevel, L"D:\\a\\b\\c\\f.txt", L"\\\\srv\\share\\ver", L"\\\\srv\\share\\ver\\c\\f.txt"},
        MappingCase{SameLevel, L"D:\\a\\f.txt", L"\\\\srv\\share\\ver", L"—"},
        MappingCase{SameLevel, L"\\\\srv\\share\\ver\\f.txt", L"E:\\V", L"E:\\V\\ver\\f.txt"},
        // Long-path forms (listed from folders of 260 characters or more) map as their
        // plain forms do: the \\?\ prefix is no piece of its own.
        MappingCase{SameLevel, L"\\\\?\\D:\\a\\b\\c\\f.txt", L"E:\\V", L"E:\\V\\b\\c\\f.txt"},
        MappingCase{SameLevel, L"\\\\?\\UNC\\srv\\share\\ver\\f.txt", L"E:\\V", L"E:\\V\\ver\\f.txt"},
        MappingCase{SameLevel, L"D:\\a\\b\\c.txt", L"\\\\?\\E:\\V", L"\\\\?\\E:\\V\\b\\c.txt"},
        MappingCase{SameLevel, L"\\\\?\\D:\\a.txt", L"E:\\V", L"—"},
        // A mode other than 0 places like SameLevel, even for a file below Mir200.
        MappingCase{7, L"D:\\Srv\\Mir200\\a.txt", L"E:\\V", L"E:\\V\\Mir200\\a.txt"},
        MappingCase{-1, L"D:\\a.txt", L"E:\\V", L"—"}));

TEST(FindMir200Pos, IgnoresLetterCaseAndReportsTheBackslash)
{
    EXPECT_EQ(FindMir200Pos(L"D:\\MirServer\\Mir200"), 12);
    EXPECT_EQ(FindMir200Pos(L"D:\\MirServer\\mIR200\\Envir"), 12);
    EXPECT_EQ(FindMir200Pos(L"\\MIR200"), 0);
    EXPECT_EQ(FindMir200Pos(L"D:\\Mir200\\Mir200"), 9);
}

TEST(FindMir200Pos, OnlyTheLastOccurrenceIsExamined)
{
    EXPECT_EQ(FindMir200Pos(L"D:\\Mir200\\Mir2001"), -1);
    EXPECT_EQ(FindMir200Pos(L"D:\\Mir200\\xMir200"), 2) << "\\xMir200 holds no \\mir200";
    EXPECT_EQ(FindMir200Pos(L"D:\\Mir200\\Mir200Bak"), -1);
    EXPECT_EQ(FindMir200Pos(L"D:\\MirServer"), -1);
    EXPECT_EQ(FindMir200Pos(L""), -1);
    EXPECT_EQ(FindMir200Pos(L"mir200"), -1) << "no backslash in front";
}

TEST(RelativeTarget, SourceShallowerThanFolderIsNotPlaced)
{
    const SyncFileItem item = ItemFor(L"D:\\a\\b.txt", SameLevel);
    EXPECT_EQ(RelativeTarget(item, 2), L"\\b.txt");
    EXPECT_EQ(RelativeTarget(item, 3), L"");
    EXPECT_EQ(RelativeTarget(item, 0), L"\\D:\\a\\b.txt");
}

TEST(ResultLines, UseTheExactTexts)
{
    EXPECT_EQ(SourceUnreadableLine(L"D:\\a.txt"), L"获取文件信息失败:D:\\a.txt");
    EXPECT_EQ(SyncSucceededLine(L"D:\\a.txt", L"E:\\V\\a.txt"), L"同步文件成功:D:\\a.txt >> E:\\V\\a.txt");
    EXPECT_EQ(SyncFailedLine(L"D:\\a.txt", L"E:\\V\\a.txt"), L"同步文件失败:D:\\a.txt >> E:\\V\\a.txt");
    EXPECT_EQ(LINE_SOURCE_UNREADABLE, 64u);
    EXPECT_EQ(LINE_SYNC_SUCCEEDED, 136u);
    EXPECT_EQ(LINE_SYNC_FAILED, 139u);
}

TEST(BackupNames, StampEndsInLetterAWithYearBase)
{
    EXPECT_EQ(FormatBackupStamp(2025, 12, 19, 14, 30, 5), L"251219143005a");
    EXPECT_EQ(FormatBackupStamp(2001, 1, 2, 3, 4, 5), L"010102030405a");
    EXPECT_EQ(FormatBackupStamp(2999, 1, 1, 0, 0, 0), L"9990101000000a");
    EXPECT_EQ(FormatBackupStamp(3000, 1, 1, 0, 0, 0), L"000101000000a");
    EXPECT_EQ(FormatBackupStamp(4321, 6, 7, 8, 9, 10), L"321060708091"
                                                       L"0a");
    EXPECT_EQ(FormatBackupStamp(5999, 1, 1, 0, 0, 0), L"9990101000000a");
    EXPECT_EQ(FormatBackupStamp(6001, 1, 1, 0, 0, 0), L"40010101000000a");
}

TEST(BackupNames, LaterAttemptsPutACounterBeforeTheExtension)
{
    const std::wstring target = L"E:\\Ver1\\Mir200\\Config.txt";
    EXPECT_EQ(BackupFileName(target, L"251219143005a", 1), L"E:\\Ver1\\Mir200\\Config.txt_251219143005a.bak");
    EXPECT_EQ(BackupFileName(target, L"251219143005a", 2), L"E:\\Ver1\\Mir200\\Config.txt_251219143005a_2.bak");
    EXPECT_EQ(BackupFileName(target, L"251219143005a", 17), L"E:\\Ver1\\Mir200\\Config.txt_251219143005a_17.bak");
}

}  // namespace
