#include "syncfolderapp/sync/syncfiledriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <windows.h>

#include "common/winhandle.h"
#include "tests/support/tempdir.h"
#include "tests/support/wine.h"
#include "tests/win/sync/recordingsink.h"
#include "tests/win/sync/synctestutil.h"

namespace {

std::wstring StampNow()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return FormatBackupStamp(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}

class SyncBackup : public ::testing::Test {
protected:
    std::wstring P(const std::wstring& relative) const { return dir.wpath(relative); }

    // A prepared item for an existing source, as a run makes it.
    SyncFileItem Prepared(const std::wstring& source)
    {
        CSyncFileDriver preparer;
        preparer.StartSync({source}, {}, SameLevel, false);
        EXPECT_EQ(preparer.items.size(), 1u);
        return preparer.items.empty() ? SyncFileItem{} : preparer.items[0];
    }

    testsupport::TempDir dir;
    RecordingSink sink;
    CSyncFileDriver engine{&sink};
};

TEST_F(SyncBackup, ExistingTargetIsKeptUnderATimeStampedName)
{
    Put(P(L"src\\Mir200\\Config.txt"), "new");
    Put(P(L"ver\\Mir200\\Config.txt"), "old");
    const std::wstring before = StampNow();
    EXPECT_EQ(engine.StartSync({P(L"src\\Mir200\\Config.txt")}, {P(L"ver")}, Mir200Only, true), 1);
    const std::wstring after = StampNow();

    EXPECT_EQ(Get(P(L"ver\\Mir200\\Config.txt")), "new");
    const auto backups = BackupsIn(P(L"ver\\Mir200"));
    ASSERT_EQ(backups.size(), 1u);
    const std::wstring& name = backups[0];
    // Config.txt_ + twelve digits + a + .bak
    ASSERT_EQ(name.size(), std::wstring(L"Config.txt_").size() + 13 + 4) << testing::PrintToString(name);
    EXPECT_EQ(name.substr(0, 11), L"Config.txt_");
    const std::wstring stamp = name.substr(11, 13);
    EXPECT_TRUE(std::all_of(stamp.begin(), stamp.end() - 1, iswdigit)) << testing::PrintToString(name);
    EXPECT_EQ(stamp.back(), L'a');
    EXPECT_LE(before, stamp);
    EXPECT_LE(stamp, after);
    EXPECT_EQ(Get(P(L"ver\\Mir200\\") + name), "old");
    EXPECT_EQ(NamesIn(P(L"ver\\Mir200")).size(), 2u) << "no temporary file stays";
    EXPECT_EQ(sink.Lines().size(), 1u);
}

TEST_F(SyncBackup, AbsentTargetIsCopiedWithoutABackup)
{
    Put(P(L"src\\a.txt"), "new");
    EXPECT_EQ(engine.StartSync({P(L"src\\a.txt")}, {P(L"ver")}, SameLevel, true), 1);
    EXPECT_EQ(testsupport::ListNames(std::filesystem::path(P(L"ver"))), std::vector<std::string>{"a.txt"});
    ASSERT_EQ(sink.Lines().size(), 1u);
    EXPECT_FALSE(sink.Lines()[0].error);
}

TEST_F(SyncBackup, TargetThatIsADirectoryIsNotBackedUpAndTheCopyFails)
{
    Put(P(L"src\\a.txt"), "new");
    ASSERT_TRUE(CreateDirectoryW(P(L"ver").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(P(L"ver\\a.txt").c_str(), nullptr));
    EXPECT_EQ(engine.StartSync({P(L"src\\a.txt")}, {P(L"ver")}, SameLevel, true), 0);
    const auto lines = sink.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].error);
    EXPECT_EQ(lines[0].tag, 139u);
    EXPECT_NE(lines[0].code, 0u);
    EXPECT_EQ(lines[0].text, L"同步文件失败:" + P(L"src\\a.txt") + L" >> " + P(L"ver\\a.txt"));
    EXPECT_TRUE(BackupsIn(P(L"ver")).empty());
    EXPECT_EQ(GetFileAttributesW(P(L"ver\\a.txt").c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
}

TEST_F(SyncBackup, TakenBackupNamesAreKeptAndTheNextFreeNameIsUsed)
{
    const std::wstring target = P(L"ver\\Config.txt");
    Put(P(L"src\\Config.txt"), "new");
    // The stamp has a one-second resolution: repeat in the rare case the second changed
    // between taking the names and the backup.
    for (int attempt = 0; attempt < 5; ++attempt) {
        Put(target, "current");
        const std::wstring stamp = StampNow();
        Put(BackupFileName(target, stamp, 1), "earlier 1");
        Put(BackupFileName(target, stamp, 2), "earlier 2");
        ASSERT_EQ(engine.StartSync({P(L"src\\Config.txt")}, {P(L"ver")}, SameLevel, true), 1);
        if (StampNow() != stamp) {
            for (const std::wstring& name : BackupsIn(P(L"ver")))
                DeleteFileW(P(L"ver\\" + name).c_str());
            continue;
        }
        EXPECT_EQ(Get(BackupFileName(target, stamp, 3)), "current");
        EXPECT_EQ(Get(BackupFileName(target, stamp, 1)), "earlier 1");
        EXPECT_EQ(Get(BackupFileName(target, stamp, 2)), "earlier 2");
        EXPECT_EQ(Get(target), "new");
        return;
    }
    FAIL() << "the clock never stayed within one second";
}

TEST_F(SyncBackup, TwoPairsWithOneTargetInOneRunLoseNoBackup)
{
    Put(P(L"s1\\x\\f.txt"), "one");
    Put(P(L"s2\\x\\f.txt"), "two");
    Put(P(L"ver\\x\\f.txt"), "old");
    EXPECT_EQ(engine.StartSync({P(L"s1\\x\\f.txt"), P(L"s2\\x\\f.txt")}, {P(L"ver")}, SameLevel, true), 2);
    EXPECT_EQ(Get(P(L"ver\\x\\f.txt")), "two");
    std::vector<std::string> kept;
    for (const std::wstring& name : BackupsIn(P(L"ver\\x")))
        kept.push_back(Get(P(L"ver\\x\\") + name));
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(kept, (std::vector<std::string>{"old", "one"}));
}

TEST_F(SyncBackup, TargetThatIsTheSourceItselfIsLeftAlone)
{
    const std::wstring source = P(L"ver\\cfg\\a.txt");
    Put(source, "mine");
    engine.backup = true;
    const SyncFileItem item = Prepared(source);

    std::wstring upper = source;
    for (wchar_t& c : upper)
        c = static_cast<wchar_t>(towupper(c));
    std::wstring doubled = source;
    doubled.insert(doubled.rfind(L'\\'), L"\\");
    for (const std::wstring& target : {source, upper, doubled}) {
        EXPECT_FALSE(engine.SyncOnePair(item, target)) << testing::PrintToString(target);
    }
    EXPECT_TRUE(sink.Lines().empty());
    EXPECT_EQ(testsupport::ListNames(std::filesystem::path(P(L"ver\\cfg"))), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(Get(source), "mine");

    // Another name of the same file, in another directory.
    ASSERT_TRUE(CreateDirectoryW(P(L"other").c_str(), nullptr));
    ASSERT_TRUE(CreateHardLinkW(P(L"other\\a.txt").c_str(), source.c_str(), nullptr));
    EXPECT_FALSE(engine.SyncOnePair(Prepared(source), P(L"other\\a.txt")));
    EXPECT_TRUE(sink.Lines().empty());
    EXPECT_EQ(testsupport::ListNames(std::filesystem::path(P(L"other"))), std::vector<std::string>{"a.txt"});

    // A whole run whose version directory names the source's own tree in other letters.
    std::wstring folder = P(L"ver");
    for (wchar_t& c : folder)
        c = static_cast<wchar_t>(towupper(c));
    EXPECT_EQ(engine.StartSync({source}, {folder}, SameLevel, true), 0);
    EXPECT_TRUE(sink.Lines().empty());
    EXPECT_EQ(testsupport::ListNames(std::filesystem::path(P(L"ver\\cfg"))), std::vector<std::string>{"a.txt"});
}

TEST_F(SyncBackup, FileThatOnlyLooksLikeTheSourceIsStillCopied)
{
    const std::wstring source = P(L"src\\a.txt");
    Put(source, "same bytes");
    ASSERT_TRUE(CreateDirectoryW(P(L"ver").c_str(), nullptr));
    // Same size and write time as the source, but another file.
    ASSERT_TRUE(CopyFileW(source.c_str(), P(L"ver\\a.txt").c_str(), FALSE));
    EXPECT_EQ(engine.StartSync({source}, {P(L"ver")}, SameLevel, true), 1);
    EXPECT_EQ(BackupsIn(P(L"ver")).size(), 1u);
    EXPECT_EQ(sink.Lines().size(), 1u);
}

TEST_F(SyncBackup, SourceThatVanishedLeavesTheTargetAndMakesNoBackup)
{
    Put(P(L"ver\\a.txt"), "old");
    ASSERT_TRUE(CreateDirectoryW(P(L"src").c_str(), nullptr));
    engine.backup = true;
    // A source that has vanished since preparation: the copy fails before anything of the
    // target is touched.
    SyncFileItem item;
    item.sourcePath = P(L"src\\gone.txt");
    item.sourceDir = P(L"src");
    item.fileName = L"gone.txt";
    item.status = ItemStatus::Ready;
    item.size = 3;
    EXPECT_FALSE(engine.SyncOnePair(item, P(L"ver\\a.txt")));

    EXPECT_EQ(Get(P(L"ver\\a.txt")), "old");
    EXPECT_EQ(NamesIn(P(L"ver")), std::vector<std::wstring>{L"a.txt"});
    const auto lines = sink.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].error);
    EXPECT_EQ(lines[0].code, static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(lines[0].tag, 139u);
    EXPECT_EQ(lines[0].text, L"同步文件失败:" + item.sourcePath + L" >> " + P(L"ver\\a.txt"));
}

TEST_F(SyncBackup, ReadOnlyTargetWithoutBackupIsReportedAsFailed)
{
    SF_SKIP_UNDER_WINE("as root, Wine writes over a read-only file");
    Put(P(L"src\\a.txt"), "new");
    Put(P(L"ver\\a.txt"), "old");
    ASSERT_TRUE(SetFileAttributesW(P(L"ver\\a.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(engine.StartSync({P(L"src\\a.txt")}, {P(L"ver")}, SameLevel, false), 0);
    ASSERT_EQ(sink.Lines().size(), 1u);
    EXPECT_TRUE(sink.Lines()[0].error);
    EXPECT_EQ(Get(P(L"ver\\a.txt")), "old");
    SetFileAttributesW(P(L"ver\\a.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SyncBackup, TargetHeldOpenWithoutDeleteSharingIsReportedAndKeptInEveryMode)
{
    Put(P(L"src\\a.txt"), "new");
    for (const bool withBackup : {false, true}) {
        RecordingSink lines;
        CSyncFileDriver run(&lines);
        Put(P(L"ver\\a.txt"), "old");
        // Read and write sharing allowed: the old engine overwrote such a file in place.
        FileHandle holder(CreateFileW(P(L"ver\\a.txt").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder);
        EXPECT_EQ(run.StartSync({P(L"src\\a.txt")}, {P(L"ver")}, SameLevel, withBackup), 0);
        holder.Reset();

        const auto reported = lines.Lines();
        ASSERT_EQ(reported.size(), 1u);
        EXPECT_TRUE(reported[0].error);
        EXPECT_EQ(reported[0].tag, 139u);
        EXPECT_NE(reported[0].code, 0u);
        if (withBackup) {
            EXPECT_EQ(reported[0].code, static_cast<std::uint32_t>(ERROR_SHARING_VIOLATION));
        }
        EXPECT_EQ(Get(P(L"ver\\a.txt")), "old") << "backup " << withBackup;
        EXPECT_EQ(NamesIn(P(L"ver")), std::vector<std::wstring>{L"a.txt"}) << "no backup, no temporary file";
    }
}

}  // namespace
