#include "syncfolderapp/sync/syncfiledriver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include <windows.h>

#include "common/winhandle.h"
#include "tests/support/tempdir.h"
#include "tests/support/wine.h"
#include "tests/win/sync/recordingsink.h"
#include "tests/win/sync/synctestutil.h"

namespace {

class SyncRun : public ::testing::Test {
protected:
    std::wstring P(const std::wstring& relative) const { return dir.wpath(relative); }

    testsupport::TempDir dir;
    RecordingSink sink;
    CSyncFileDriver engine{&sink};
};

TEST(SyncRunOnDrives, WorkedExamplesLandWhereTheTablesSay)
{
    if (testsupport::MappedDriveRoot(L'D').empty() || testsupport::MappedDriveRoot(L'E').empty())
        GTEST_SKIP() << "needs the test drives D: and E:";
    RecordingSink sink;
    CSyncFileDriver engine(&sink);

    const std::vector<std::wstring> mir200Files = {L"D:\\MirServer\\Mir200\\Config.txt",
                                                   L"D:\\MirServer\\Mir200\\Envir\\Npc\\a.txt",
                                                   L"D:\\MirServer\\DBServer\\Config.ini", L"D:\\Srv\\MIR200\\x.txt"};
    for (const auto& f : mir200Files)
        Put(f, "src:" + std::filesystem::path(f).filename().string());
    EXPECT_EQ(engine.StartSync(mir200Files, {L"E:\\Ver1"}, Mir200Only, false), 3);
    EXPECT_EQ(sink.Texts(), (std::vector<std::wstring>{
                                L"同步文件成功:D:\\MirServer\\Mir200\\Config.txt >> E:\\Ver1\\Mir200\\Config.txt",
                                L"同步文件成功:D:\\MirServer\\Mir200\\Envir\\Npc\\a.txt >> "
                                L"E:\\Ver1\\Mir200\\Envir\\Npc\\a.txt",
                                L"同步文件成功:D:\\Srv\\MIR200\\x.txt >> E:\\Ver1\\MIR200\\x.txt"}));
    EXPECT_EQ(Get(L"E:\\Ver1\\Mir200\\Envir\\Npc\\a.txt"), "src:a.txt");
    EXPECT_FALSE(Exists(L"E:\\Ver1\\DBServer"));

    RecordingSink sameLevelSink;
    CSyncFileDriver sameLevel(&sameLevelSink);
    const std::vector<std::wstring> files = {L"D:\\1级目录\\2级目录\\Config1.txt", L"D:\\1级目录\\Mir200\\Config2.txt",
                                             L"D:\\x\\a.txt", L"D:\\a\\b\\c\\d.txt", L"D:\\a.txt"};
    for (const auto& f : files)
        Put(f, "same-level");
    // Both version directories have two pieces, so each file lands in both alike.
    const std::vector<std::wstring> folders = {L"D:\\Mirserver", L"E:\\V"};
    EXPECT_EQ(sameLevel.StartSync(files, folders, SameLevel, false), 8);
    std::vector<std::wstring> expected;
    for (const std::wstring& folder : folders) {
        for (const auto& [source, rel] :
             std::vector<std::pair<std::wstring, std::wstring>>{{files[0], L"\\2级目录\\Config1.txt"},
                                                                {files[1], L"\\Mir200\\Config2.txt"},
                                                                {files[2], L"\\a.txt"},
                                                                {files[3], L"\\b\\c\\d.txt"}}) {
            expected.push_back(L"同步文件成功:" + source + L" >> " + folder + rel);
            EXPECT_EQ(Get(folder + rel), "same-level") << testing::PrintToString(folder + rel);
        }
    }
    EXPECT_EQ(sameLevelSink.Texts(), expected);

    std::error_code ec;
    for (const wchar_t* root : {L"D:\\MirServer", L"D:\\Srv", L"D:\\1级目录", L"D:\\x", L"D:\\a", L"D:\\a.txt",
                                L"D:\\Mirserver", L"E:\\Ver1", L"E:\\V"})
        std::filesystem::remove_all(std::filesystem::path(root), ec);
}

TEST_F(SyncRun, CopyOverwritesAnExistingTargetAndReportsOneLine)
{
    Put(P(L"src/Mir200/Config.txt"), "new");
    Put(P(L"ver/Mir200/Config.txt"), "old");
    EXPECT_EQ(engine.StartSync({P(L"src\\Mir200\\Config.txt")}, {P(L"ver")}, Mir200Only, false), 1);

    EXPECT_EQ(Get(P(L"ver/Mir200/Config.txt")), "new");
    EXPECT_EQ(testsupport::ListNames(std::filesystem::path(P(L"ver\\Mir200"))), std::vector<std::string>{"Config.txt"});
    const auto lines = sink.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_FALSE(lines[0].error);
    EXPECT_EQ(lines[0].tag, 136u);
    EXPECT_EQ(lines[0].text,
              L"同步文件成功:" + P(L"src\\Mir200\\Config.txt") + L" >> " + P(L"ver\\Mir200\\Config.txt"));
    EXPECT_EQ(engine.progress.load(), 100);
    EXPECT_FALSE(engine.busy.load());
    EXPECT_FALSE(engine.keepRunning.load());
}

TEST_F(SyncRun, EveryFileGoesIntoEveryFolderWithProgressInEqualShares)
{
    std::vector<std::wstring> files;
    for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt"}) {
        files.push_back(P(L"src\\") + name);
        Put(files.back(), "x");
    }
    std::vector<int> seen;
    sink.onLine = [&](const ResultLine&) { seen.push_back(engine.progress.load()); };
    EXPECT_EQ(engine.StartSync(files, {P(L"v1"), P(L"v2")}, SameLevel, false), 6);
    // Two folders share 90 points: 45 each, a third of that per file, after the 10 of
    // the preparation pass.
    EXPECT_EQ(seen, (std::vector<int>{10, 25, 40, 55, 70, 85}));
    EXPECT_EQ(engine.progress.load(), 100);
    EXPECT_EQ(engine.successCount.load(), 6);
    EXPECT_EQ(engine.items.size(), 3u);
    EXPECT_EQ(Get(P(L"v2\\c.txt")), "x");
}

TEST_F(SyncRun, MoreThanNinetyFoldersStillMoveTheProgressPairByPair)
{
    Put(P(L"src\\a.txt"), "x");
    std::vector<std::wstring> folders;
    for (int i = 0; i < 91; ++i)
        folders.push_back(P(L"v" + std::to_wstring(i)));
    std::vector<int> seen;
    sink.onLine = [&](const ResultLine&) { seen.push_back(engine.progress.load()); };
    EXPECT_EQ(engine.StartSync({P(L"src\\a.txt")}, folders, SameLevel, false), 91);
    ASSERT_EQ(seen.size(), 91u);
    // Pairs done over all pairs: no folder's share is rounded down to nothing.
    for (int k = 0; k < 91; ++k)
        EXPECT_EQ(seen[static_cast<std::size_t>(k)], 10 + k * 90 / 91) << "pair " << k;
    EXPECT_EQ(engine.progress.load(), 100);
}

TEST_F(SyncRun, UnreadableSourcesAreReportedAndSyncedNowhere)
{
    Put(P(L"src\\good.txt"), "g");
    Put(P(L"src\\locked.txt"), "l");
    // Held open for writing without read sharing: its size cannot be read.
    FileHandle writer(CreateFileW(P(L"src\\locked.txt").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);

    const std::vector<std::wstring> files = {P(L"src\\missing.txt"), P(L"src\\good.txt"), P(L"src\\locked.txt")};
    EXPECT_EQ(engine.StartSync(files, {P(L"ver")}, SameLevel, false), 1);
    const auto lines = sink.Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, L"获取文件信息失败:" + files[0]);
    EXPECT_TRUE(lines[0].error);
    EXPECT_EQ(lines[0].code, static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(lines[0].tag, 64u);
    EXPECT_EQ(lines[1].text, L"获取文件信息失败:" + files[2]);
    EXPECT_EQ(lines[1].code, static_cast<std::uint32_t>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(lines[2].text, L"同步文件成功:" + files[1] + L" >> " + P(L"ver\\good.txt"));
    EXPECT_FALSE(Exists(P(L"ver\\locked.txt")));
}

TEST_F(SyncRun, NothingLeftAfterPreparationSkipsTheCopyPass)
{
    Put(P(L"src\\plain\\a.txt"), "x");
    EXPECT_EQ(engine.StartSync({P(L"src\\plain\\a.txt"), P(L"src\\Mir2001\\b.txt")}, {P(L"ver")}, Mir200Only, true), 0);
    EXPECT_TRUE(sink.Lines().empty()) << "files without a Mir200 component are left out silently";
    EXPECT_TRUE(engine.items.empty());
    EXPECT_EQ(engine.progress.load(), 100);
    EXPECT_FALSE(Exists(P(L"ver")));
}

TEST_F(SyncRun, StopDuringPreparationLeavesTheRestUnexaminedAndCopiesNothing)
{
    Put(P(L"src\\first.txt"), "1");
    Put(P(L"src\\third.txt"), "3");
    sink.onLine = [&](const ResultLine&) { engine.keepRunning.store(false); };
    const std::vector<std::wstring> files = {P(L"src\\first.txt"), P(L"src\\missing.txt"), P(L"src\\third.txt")};
    EXPECT_EQ(engine.StartSync(files, {P(L"ver")}, SameLevel, false), 0);
    EXPECT_EQ(sink.Lines().size(), 1u);
    ASSERT_EQ(engine.items.size(), 1u) << "the third file must not be examined";
    EXPECT_EQ(engine.items[0].sourcePath, files[0]);
    EXPECT_FALSE(Exists(P(L"ver")));
    EXPECT_EQ(engine.progress.load(), 100);
    EXPECT_FALSE(engine.busy.load());
}

TEST_F(SyncRun, StopDuringTheCopyPassChangesNothing)
{
    Put(P(L"src\\a.txt"), "a");
    Put(P(L"src\\b.txt"), "b");
    bool busyDuringRun = false;
    sink.onLine = [&](const ResultLine&) {
        busyDuringRun = engine.busy.load();
        engine.keepRunning.store(false);
    };
    EXPECT_EQ(engine.StartSync({P(L"src\\a.txt"), P(L"src\\b.txt")}, {P(L"v1"), P(L"v2")}, SameLevel, false), 4);
    EXPECT_EQ(sink.Lines().size(), 4u);
    EXPECT_TRUE(busyDuringRun);
    EXPECT_EQ(Get(P(L"v2\\b.txt")), "b");
}

TEST_F(SyncRun, YieldCounterRunsOnAcrossBothPassesAndRestartsAfterAThousand)
{
    std::vector<std::wstring> files;
    for (int i = 0; i < 600; ++i) {
        files.push_back(P(L"src\\f" + std::to_wstring(i) + L".txt"));
        Put(files.back(), "");
    }
    // 600 preparation steps, 600 copy steps and one folder step.
    EXPECT_EQ(engine.StartSync(files, {P(L"ver")}, SameLevel, false), 600);
    EXPECT_EQ(engine.yieldCounter.load(), 1201 - 1000);
}

}  // namespace
