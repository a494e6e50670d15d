// Skipping targets that look like their source, reading copies back, and the plan of a
// run, on real files.

#include "syncfolderapp/sync/syncfiledriver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

#include "common/winhandle.h"
#include "tests/support/tempdir.h"
#include "tests/win/sync/recordingsink.h"
#include "tests/win/sync/synctestutil.h"

namespace {

// Moves the file's last-write time by `seconds`.
void ShiftWriteTime(const std::wstring& path, int seconds)
{
    FileHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES | FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    FILETIME written{};
    ASSERT_TRUE(GetFileTime(file.Get(), nullptr, nullptr, &written));
    ULARGE_INTEGER value{};
    value.LowPart = written.dwLowDateTime;
    value.HighPart = written.dwHighDateTime;
    value.QuadPart += static_cast<ULONGLONG>(static_cast<LONGLONG>(seconds) * 10'000'000);
    written.dwLowDateTime = value.LowPart;
    written.dwHighDateTime = value.HighPart;
    ASSERT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, &written));
}

// Gives `path` the last-write time of `reference`, moved by `seconds`.
void WriteTimeFrom(const std::wstring& path, const std::wstring& reference, int seconds)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExW(reference.c_str(), GetFileExInfoStandard, &data));
    FileHandle file(
        CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file && SetFileTime(file.Get(), nullptr, nullptr, &data.ftLastWriteTime));
    file.Reset();
    ShiftWriteTime(path, seconds);
}

// The file system of the volume that holds `dir`.
std::wstring FileSystemOf(const std::wstring& dir)
{
    wchar_t root[MAX_PATH + 1] = {};
    wchar_t name[MAX_PATH + 1] = {};
    if (!GetVolumePathNameW((dir + L"\\").c_str(), root, MAX_PATH + 1) ||
        !GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, name, MAX_PATH + 1))
        return {};
    return name;
}

class SyncChecks : public ::testing::Test {
protected:
    std::wstring P(const std::wstring& relative) const { return dir.wpath(relative); }
    std::vector<std::wstring> Sources(const std::vector<std::wstring>& names) const
    {
        std::vector<std::wstring> paths;
        for (const std::wstring& name : names)
            paths.push_back(P(L"src\\" + name));
        return paths;
    }
    std::int32_t Run(const std::vector<std::wstring>& names, bool withBackup, RunChecks checks)
    {
        return engine.StartSync(Sources(names), {P(L"ver")}, SameLevel, withBackup, checks);
    }

    testsupport::TempDir dir;
    RecordingSink sink;
    CSyncFileDriver engine{&sink};
};

}  // namespace

TEST_F(SyncChecks, SkipLeavesLookalikeTargetsAloneWithoutABackupAndCopiesChangedOnes)
{
    Put(P(L"src\\same.txt"), "same");
    Put(P(L"src\\size.txt"), "longer now");
    Put(P(L"src\\time.txt"), "time");
    ASSERT_EQ(Run({L"same.txt", L"size.txt", L"time.txt"}, false, {}), 3);
    Put(P(L"ver\\size.txt"), "short");
    Put(P(L"ver\\time.txt"), "TIME");
    ShiftWriteTime(P(L"ver\\time.txt"), 10);  // same size, written later
    sink.Clear();

    EXPECT_EQ(Run({L"same.txt", L"size.txt", L"time.txt"}, true, RunChecks{true, false}), 2);
    EXPECT_EQ(engine.skippedCount.load(), 1);
    const auto lines = sink.Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_FALSE(lines[0].error);
    EXPECT_EQ(lines[0].tag, 140u);
    EXPECT_EQ(lines[0].text, L"文件相同,已跳过:" + P(L"src\\same.txt") + L" >> " + P(L"ver\\same.txt"));
    EXPECT_EQ(lines[1].tag, 136u);
    EXPECT_EQ(lines[2].tag, 136u);
    EXPECT_EQ(Get(P(L"ver\\size.txt")), "longer now");
    EXPECT_EQ(Get(P(L"ver\\time.txt")), "time");
    const auto backups = BackupsIn(P(L"ver"));
    ASSERT_EQ(backups.size(), 2u) << "the changed files only";
    EXPECT_EQ(backups[0].rfind(L"size.txt_", 0), 0u);
    EXPECT_EQ(backups[1].rfind(L"time.txt_", 0), 0u);

    // Unchanged now, without backup: every pair skipped, nothing written.
    sink.Clear();
    EXPECT_EQ(Run({L"same.txt", L"size.txt", L"time.txt"}, false, RunChecks{true, false}), 0);
    EXPECT_EQ(engine.skippedCount.load(), 3);
    EXPECT_EQ(sink.Lines().size(), 3u);
    EXPECT_EQ(NamesIn(P(L"ver")).size(), 5u);
    // Without the skip the same tree is copied again.
    EXPECT_EQ(Run({L"same.txt", L"size.txt", L"time.txt"}, false, {}), 3);
    EXPECT_EQ(engine.skippedCount.load(), 0);
}

TEST_F(SyncChecks, SameSizeOneSecondApartIsCopiedWhereTheVolumeKeepsExactTimes)
{
    if (KeepsCoarseTimes(FileSystemOf(dir.wpath())))
        GTEST_SKIP() << "the test folder lies on a FAT volume";
    Put(P(L"src\\near.txt"), "near");
    Put(P(L"ver\\near.txt"), "NEAR");
    WriteTimeFrom(P(L"ver\\near.txt"), P(L"src\\near.txt"), 1);

    const std::vector<PlanRow> rows =
        engine.ComputePlan(Sources({L"near.txt"}), {P(L"ver")}, SameLevel, false, RunChecks{true, false});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].action, PlanAction::Overwrite);
    EXPECT_EQ(Run({L"near.txt"}, false, RunChecks{true, false}), 1);
    EXPECT_EQ(engine.skippedCount.load(), 0);
    EXPECT_EQ(Get(P(L"ver\\near.txt")), "near");
}

TEST_F(SyncChecks, VerifyCatchesACorruptedCopyAndLeavesTheTargetAsItWas)
{
    Put(P(L"src\\a.txt"), "new contents");
    Put(P(L"ver\\a.txt"), "old");
    const auto corrupt = [](WriteStep step, const PairWrite& pair) -> std::uint32_t {
        if (step == WriteStep::Copied)
            Put(pair.tempPath, "new cOntents");
        return ERROR_SUCCESS;
    };
    engine.Writer().SetStepHook(corrupt);
    EXPECT_EQ(Run({L"a.txt"}, true, RunChecks{false, true}), 0);
    const auto lines = sink.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].error);
    EXPECT_EQ(lines[0].tag, 141u);
    EXPECT_EQ(lines[0].code, 0u);
    EXPECT_EQ(lines[0].text, L"校验失败:" + P(L"src\\a.txt") + L" >> " + P(L"ver\\a.txt"));
    EXPECT_EQ(Get(P(L"ver\\a.txt")), "old");
    EXPECT_EQ(NamesIn(P(L"ver")), std::vector<std::wstring>{L"a.txt"}) << "no backup, no temporary file";

    // Without the read-back the same corruption lands: the check is what caught it.
    EXPECT_EQ(Run({L"a.txt"}, false, {}), 1);
    EXPECT_EQ(Get(P(L"ver\\a.txt")), "new cOntents");

    // A sound copy passes the read-back.
    engine.Writer().SetStepHook(nullptr);
    sink.Clear();
    EXPECT_EQ(Run({L"a.txt"}, false, RunChecks{false, true}), 1);
    EXPECT_EQ(Get(P(L"ver\\a.txt")), "new contents");
    ASSERT_EQ(sink.Lines().size(), 1u);
    EXPECT_EQ(sink.Lines()[0].tag, 136u);
}

TEST_F(SyncChecks, PlanReadsTheDiskAndChangesNothing)
{
    Put(P(L"src\\new.txt"), "n");
    Put(P(L"src\\same.txt"), "s");
    Put(P(L"src\\changed.txt"), "c");
    Put(P(L"src\\dir.txt"), "d");
    Put(P(L"src\\sub\\blocked.txt"), "b");
    ASSERT_EQ(Run({L"same.txt"}, false, {}), 1);
    Put(P(L"ver\\CHANGED.TXT"), "old contents");  // names compare regardless of case
    ASSERT_TRUE(CreateDirectoryW(P(L"ver\\dir.txt").c_str(), nullptr));
    Put(P(L"ver\\sub"), "a file where a folder would be made");
    const std::vector<std::wstring> before = NamesIn(P(L"ver"));
    sink.Clear();

    const std::vector<PlanRow> rows =
        engine.ComputePlan(Sources(
                               {L"new.txt", L"same.txt", L"changed.txt", L"dir.txt", L"sub\\blocked.txt", L"gone.txt"}),
                           {P(L"ver"), P(L"src")}, SameLevel, true, RunChecks{true, false});
    ASSERT_EQ(rows.size(), 12u);
    const std::vector<PlanAction> expected = {
        PlanAction::New,          PlanAction::Same,         PlanAction::BackupOverwrite, PlanAction::Unwritable,
        PlanAction::Unwritable,   PlanAction::Unreadable,   PlanAction::SourceItself,    PlanAction::SourceItself,
        PlanAction::SourceItself, PlanAction::SourceItself, PlanAction::SourceItself,    PlanAction::Unreadable};
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].action, expected[i]) << i << " " << testing::PrintToString(rows[i].target);
    EXPECT_EQ(rows[4].target, P(L"ver\\sub\\blocked.txt"));
    EXPECT_EQ(NamesIn(P(L"ver")), before);
    EXPECT_TRUE(sink.Lines().empty()) << "a plan reports no result line";
    EXPECT_FALSE(engine.busy.load());
}
