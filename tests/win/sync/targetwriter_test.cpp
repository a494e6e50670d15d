#include "syncfolderapp/sync/targetwriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

#include "common/winhandle.h"
#include "syncfolderapp/sync/syncfiledriver.h"
#include "syncfolderapp/sync/tempname.h"
#include "tests/support/tempdir.h"
#include "tests/win/sync/recordingsink.h"
#include "tests/win/sync/synctestutil.h"

namespace {

void Append(const std::wstring& path, const std::string& more)
{
    FileHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(file && WriteFile(file.Get(), more.data(), static_cast<DWORD>(more.size()), &written, nullptr));
}

std::uint32_t LinkCount(const std::wstring& path)
{
    FileHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    return file && GetFileInformationByHandle(file.Get(), &info) ? info.nNumberOfLinks : 0;
}

class TargetWrite : public ::testing::Test {
protected:
    std::wstring P(const std::wstring& relative) const { return dir.wpath(relative); }

    // One source "new" and its target "old" in ver\, as a same-level run pairs them.
    void OldAndNew(const std::wstring& name)
    {
        Put(P(L"src\\" + name), "new");
        Put(P(L"ver\\" + name), "old");
    }
    std::int32_t Run(const std::wstring& name, bool withBackup)
    {
        return engine.StartSync({P(L"src\\" + name)}, {P(L"ver")}, SameLevel, withBackup);
    }
    void ExpectOneFailure(const std::wstring& name, std::uint32_t code)
    {
        const auto lines = sink.Lines();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_TRUE(lines[0].error);
        EXPECT_EQ(lines[0].tag, 139u);
        EXPECT_EQ(lines[0].code, code);
        EXPECT_EQ(lines[0].text, L"同步文件失败:" + P(L"src\\" + name) + L" >> " + P(L"ver\\" + name));
    }

    testsupport::TempDir dir;
    RecordingSink sink;
    CSyncFileDriver engine{&sink};
};

TEST_F(TargetWrite, OtherHardLinksOfTheTargetKeepTheOldContents)
{
    OldAndNew(L"a.txt");
    ASSERT_TRUE(CreateDirectoryW(P(L"elsewhere").c_str(), nullptr));
    ASSERT_TRUE(CreateHardLinkW(P(L"elsewhere\\a.txt").c_str(), P(L"ver\\a.txt").c_str(), nullptr));
    EXPECT_EQ(Run(L"a.txt", false), 1);
    EXPECT_EQ(Get(P(L"ver\\a.txt")), "new");
    EXPECT_EQ(Get(P(L"elsewhere\\a.txt")), "old") << "the target name gets a new file; the old one is not written";
    EXPECT_EQ(NamesIn(P(L"ver")), std::vector<std::wstring>{L"a.txt"});
}

TEST_F(TargetWrite, BackupOfATargetWithAnotherNameIsACopyThatKeepsTheOldBytes)
{
    OldAndNew(L"a.txt");
    ASSERT_TRUE(CreateDirectoryW(P(L"elsewhere").c_str(), nullptr));
    ASSERT_TRUE(CreateHardLinkW(P(L"elsewhere\\a.txt").c_str(), P(L"ver\\a.txt").c_str(), nullptr));
    EXPECT_EQ(Run(L"a.txt", true), 1);
    const auto backups = BackupsIn(P(L"ver"));
    ASSERT_EQ(backups.size(), 1u);

    // The old file lives on under its other name; written there, the backup stays as it was.
    Append(P(L"elsewhere\\a.txt"), " and more");
    EXPECT_EQ(Get(P(L"elsewhere\\a.txt")), "old and more");
    EXPECT_EQ(Get(P(L"ver\\" + backups[0])), "old");
    EXPECT_EQ(Get(P(L"ver\\a.txt")), "new");
}

TEST_F(TargetWrite, FailedCommitAfterTheLinkLeavesTheTargetsAttributesAsTheyWere)
{
    OldAndNew(L"a.txt");
    const std::wstring target = P(L"ver\\a.txt");
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), kept));
    if ((GetFileAttributesW(target.c_str()) & kept) != kept)
        GTEST_SKIP() << "this file system keeps no hidden and system attributes";
    std::uint32_t namesAtCommit = 0;
    engine.Writer().SetStepHook([&](WriteStep step, const PairWrite&) -> std::uint32_t {
        if (step != WriteStep::Commit)
            return ERROR_SUCCESS;
        namesAtCommit = LinkCount(target);
        return ERROR_CRC;
    });
    EXPECT_EQ(Run(L"a.txt", true), 0);
    EXPECT_EQ(namesAtCommit, 2u) << "the backup was a link to the target";
    EXPECT_EQ(GetFileAttributesW(target.c_str()) & kept, kept);
    EXPECT_EQ(Get(target), "old");
    EXPECT_EQ(NamesIn(P(L"ver")), std::vector<std::wstring>{L"a.txt"});
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(TargetWrite, ReadOnlyTargetWithBackupIsRenamedAwayAndTheNewFileTakesItsName)
{
    OldAndNew(L"a.txt");
    ASSERT_TRUE(SetFileAttributesW(P(L"ver\\a.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(Run(L"a.txt", true), 1);

    EXPECT_EQ(Get(P(L"ver\\a.txt")), "new");
    EXPECT_EQ(GetFileAttributesW(P(L"ver\\a.txt").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    const auto backups = BackupsIn(P(L"ver"));
    ASSERT_EQ(backups.size(), 1u);
    const std::wstring backup = P(L"ver\\" + backups[0]);
    EXPECT_EQ(Get(backup), "old");
    EXPECT_NE(GetFileAttributesW(backup.c_str()) & FILE_ATTRIBUTE_READONLY, 0u) << "the old file itself";
    EXPECT_EQ(NamesIn(P(L"ver")).size(), 2u);
    EXPECT_FALSE(sink.Lines().at(0).error);
    SetFileAttributesW(backup.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(TargetWrite, RenamedAwayTargetGoesBackWhenTheNewFileCannotTakeItsNameOrIsReportedWhereItStays)
{
    OldAndNew(L"a.txt");
    const std::wstring target = P(L"ver\\a.txt");
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    // Refused once the old file is under its backup name: it comes back.
    std::wstring backup;
    engine.Writer().SetStepHook([&](WriteStep step, const PairWrite& pair) -> std::uint32_t {
        if (step != WriteStep::RenamedAway)
            return ERROR_SUCCESS;
        backup = pair.backupPath;
        EXPECT_FALSE(Exists(target));
        EXPECT_EQ(Get(backup), "old");
        return ERROR_CRC;
    });
    EXPECT_EQ(Run(L"a.txt", true), 0);
    ExpectOneFailure(L"a.txt", ERROR_CRC);
    EXPECT_EQ(Get(target), "old");
    EXPECT_NE(GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(NamesIn(P(L"ver")), std::vector<std::wstring>{L"a.txt"});

    // A file that took the name meanwhile keeps the old one from going back: that is the
    // failure reported, and the old contents stay under the backup name.
    sink.Clear();
    engine.Writer().SetStepHook([&](WriteStep step, const PairWrite& pair) -> std::uint32_t {
        if (step != WriteStep::RenamedAway)
            return ERROR_SUCCESS;
        backup = pair.backupPath;
        Put(target, "someone else's");
        return ERROR_CRC;
    });
    EXPECT_EQ(Run(L"a.txt", true), 0);
    ASSERT_EQ(sink.Lines().size(), 1u);
    const std::uint32_t code = sink.Lines()[0].code;
    EXPECT_TRUE(code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS) << code;
    EXPECT_EQ(Get(target), "someone else's");
    EXPECT_EQ(Get(backup), "old");
    SetFileAttributesW(backup.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(TargetWrite, BackupNameTheFileSystemRefusesLeavesTheTargetAndReportsThatStepsCode)
{
    // 80 CJK characters: the name fits, the backup name (18 more) passes a 255-byte limit.
    const std::wstring name(80, L'\x4e2d');
    OldAndNew(name);
    // What the file system says to a name of the backup's length beside the target.
    Put(P(L"probe"), "");
    const std::wstring backupLike = P(L"ver\\" + name + L"_251219143005a.bak");
    if (MoveFileExW(P(L"probe").c_str(), backupLike.c_str(), 0))
        GTEST_SKIP() << "this file system takes names of the backup's length";
    const std::uint32_t refused = GetLastError();

    EXPECT_EQ(Run(name, true), 0);
    ExpectOneFailure(name, refused);
    EXPECT_EQ(Get(P(L"ver\\" + name)), "old");
    EXPECT_EQ(NamesIn(P(L"ver")), std::vector<std::wstring>{name}) << "no backup, no temporary file";
}

TEST_F(TargetWrite, RefusedLinkFallsBackToACopyOfTheOldContents)
{
    OldAndNew(L"a.txt");
    std::vector<WriteStep> steps;
    engine.Writer().SetStepHook([&](WriteStep step, const PairWrite& pair) -> std::uint32_t {
        steps.push_back(step);
        if (step == WriteStep::Commit) {
            EXPECT_EQ(Get(pair.backupPath), "old");
        }
        // As a FAT volume answers.
        return step == WriteStep::Link ? ERROR_INVALID_FUNCTION : ERROR_SUCCESS;
    });
    EXPECT_EQ(Run(L"a.txt", true), 1);
    EXPECT_EQ(steps, (std::vector<WriteStep>{WriteStep::Copied, WriteStep::Link, WriteStep::Commit}));
    EXPECT_EQ(Get(P(L"ver\\a.txt")), "new");
    const auto backups = BackupsIn(P(L"ver"));
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(Get(P(L"ver\\" + backups[0])), "old");
    EXPECT_EQ(LinkCount(P(L"ver\\" + backups[0])), 1u) << "a copy, not a link";
    EXPECT_EQ(NamesIn(P(L"ver")).size(), 2u);
}

TEST_F(TargetWrite, StepRefusedBeforeTheCommitUndoesTheBackupAndTheTemporaryFile)
{
    OldAndNew(L"a.txt");
    std::wstring secured;
    engine.Writer().SetStepHook([&](WriteStep step, const PairWrite& pair) -> std::uint32_t {
        if (step != WriteStep::Commit)
            return ERROR_SUCCESS;
        secured = pair.backupPath;
        EXPECT_EQ(Get(pair.tempPath), "new");
        return ERROR_CRC;
    });
    EXPECT_EQ(Run(L"a.txt", true), 0);
    ExpectOneFailure(L"a.txt", ERROR_CRC);
    EXPECT_FALSE(secured.empty());
    EXPECT_EQ(Get(P(L"ver\\a.txt")), "old");
    EXPECT_EQ(LinkCount(P(L"ver\\a.txt")), 1u);
    EXPECT_EQ(NamesIn(P(L"ver")), std::vector<std::wstring>{L"a.txt"});
}

TEST_F(TargetWrite, TargetNearThePathLimitIsWrittenThoughItsTemporaryAndBackupNamesPassIt)
{
    // A target path of 255 characters with a short name; the version folder is written
    // with a doubled backslash, as an operator may have typed it.
    const std::wstring folder = dir.wpath() + L"\\\\ver";
    const std::wstring deep(255 - folder.size() - 7, L'd');  // 7: a backslash before it, \a.txt after
    Put(P(L"src\\" + deep + L"\\a.txt"), "new");
    Put(P(L"ver\\" + deep + L"\\a.txt"), "old");
    const std::wstring target = folder + L"\\" + deep + L"\\a.txt";
    ASSERT_EQ(target.size(), 255u);

    EXPECT_EQ(engine.StartSync({P(L"src\\" + deep + L"\\a.txt")}, {folder}, SameLevel, true), 1);
    EXPECT_EQ(sink.Texts(),
              std::vector<std::wstring>{L"同步文件成功:" + P(L"src\\" + deep + L"\\a.txt") + L" >> " + target});
    EXPECT_EQ(Get(P(L"ver\\" + deep + L"\\a.txt")), "new");
    const auto backups = BackupsIn(L"\\\\?\\" + P(L"ver\\" + deep));
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(Get(L"\\\\?\\" + P(L"ver\\" + deep + L"\\" + backups[0])), "old");
    EXPECT_EQ(NamesIn(L"\\\\?\\" + P(L"ver\\" + deep)).size(), 2u);
}

TEST_F(TargetWrite, LeftoversGoWithTheNextRunIntoTheirDirectoryAndAreNeverCountedOrSynced)
{
    OldAndNew(L"a.txt");
    // Temporary files of a process that no longer runs (no process has the id 0), one of
    // them still open in another program.
    const std::wstring gone = P(L"ver\\" + MakeTempName(0, 1));
    const std::wstring open = P(L"ver\\" + MakeTempName(0, 2));
    const std::wstring deeper = P(L"ver\\sub\\" + MakeTempName(0, 3));
    for (const std::wstring& leftover : {gone, open, deeper})
        Put(leftover, "part of a file");
    ASSERT_TRUE(SetFileAttributesW(gone.c_str(), FILE_ATTRIBUTE_READONLY));
    // An operator file of a similar look stays.
    Put(P(L"ver\\~sfnotes.tmp"), "mine");
    FileHandle holder(CreateFileW(open.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);

    // A leftover given as a source is left out silently.
    Put(P(L"src\\" + MakeTempName(0, 4)), "part");
    const std::vector<std::wstring> files = {P(L"src\\a.txt"), P(L"src\\" + MakeTempName(0, 4))};
    EXPECT_EQ(engine.StartSync(files, {P(L"ver")}, SameLevel, false), 1);
    EXPECT_EQ(sink.Texts(),
              std::vector<std::wstring>{L"同步文件成功:" + P(L"src\\a.txt") + L" >> " + P(L"ver\\a.txt")});
    EXPECT_EQ(NamesIn(P(L"ver")), (std::vector<std::wstring>{L"a.txt", L"sub", MakeTempName(0, 2), L"~sfnotes.tmp"}));
    EXPECT_TRUE(Exists(deeper)) << "no run wrote into its directory";

    holder.Reset();
    EXPECT_EQ(engine.StartSync({P(L"src\\a.txt")}, {P(L"ver")}, SameLevel, false), 1);
    EXPECT_TRUE(TempFilesIn(P(L"ver")).empty());
}

}  // namespace

TEST_F(TargetWrite, CopysStampIsReadUntilItsDirectoryShowsThatCopiesCarryTheirSourcesStamp)
{
    Put(P(L"src\\a.txt"), "abc");
    const FileStamp real = ReadFileStamp(P(L"src\\a.txt"));
    FileStamp stale = real;
    stale.writeTime += 1;
    CTargetWriter writer;
    std::vector<FileStamp> recorded;
    writer.SetCommitRecorder([&](const PairWrite& pair) {
        recorded.push_back(pair.written);
        return 0u;
    });
    const auto write = [&](const std::wstring& target, const FileStamp& told) {
        EXPECT_TRUE(writer.Write(P(L"src\\a.txt"), P(target), false, false, &told).Written());
    };
    writer.BeginRun();
    // Told a stamp its first copy does not carry, a directory has every copy's read.
    write(L"stale\\x.txt", stale);
    write(L"stale\\y.txt", stale);
    // Once a first copy carries it, the told stamp stands for the next ones there.
    write(L"same\\x.txt", real);
    write(L"same\\y.txt", stale);
    // A new run looks again.
    writer.BeginRun();
    write(L"same\\z.txt", stale);
    EXPECT_EQ(recorded, (std::vector<FileStamp>{real, real, real, stale, real}));
    EXPECT_EQ(ReadFileStamp(P(L"stale\\y.txt")), real);
}
