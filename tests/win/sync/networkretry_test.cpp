// A pair that fails with a transient network error is written again; a commit whose rename
// may have gone through is settled without losing the old contents.

#include "syncfolderapp/sync/networkretry.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include <windows.h>

#include "syncfolderapp/sync/syncfiledriver.h"
#include "tests/support/tempdir.h"
#include "tests/win/sync/recordingsink.h"
#include "tests/win/sync/synctestutil.h"

namespace {

class NetworkRetry : public ::testing::Test {
protected:
    void SetUp() override { engine.Retry().SetWaits({0, 0, 0}); }

    std::wstring P(const std::wstring& relative) const { return dir.wpath(relative); }
    std::wstring Name(const PairWrite& pair) const { return pair.target.substr(pair.target.rfind(L'\\') + 1); }
    std::int32_t Run(const std::vector<std::wstring>& names, bool withBackup, RunChecks checks = {})
    {
        std::vector<std::wstring> files;
        for (const std::wstring& name : names) {
            Put(P(L"src\\" + name), "new");
            files.push_back(P(L"src\\" + name));
        }
        return engine.StartSync(files, {P(L"ver")}, SameLevel, withBackup, checks);
    }
    // The result line of `name`'s pair.
    ResultLine LineOf(const std::wstring& name)
    {
        std::vector<ResultLine> found;
        for (const ResultLine& line : sink.Lines()) {
            if (line.text.ends_with(L"\\ver\\" + name))
                found.push_back(line);
        }
        EXPECT_EQ(found.size(), 1u) << "one line per pair";
        return found.empty() ? ResultLine{} : found.front();
    }

    testsupport::TempDir dir;
    RecordingSink sink;
    CSyncFileDriver engine{&sink};
};

TEST_F(NetworkRetry, TransientNetworkErrorsAreRetriedThreeTimesAndOnlyTheLastAttemptIsLogged)
{
    for (const wchar_t* name : {L"once.txt", L"always.txt", L"refused.txt", L"corrupt.txt"})
        Put(P(L"ver\\") + name, "old");
    std::map<std::wstring, int> attempts;
    engine.Writer().SetStepHook([&](WriteStep step, const PairWrite& pair) -> std::uint32_t {
        if (step != WriteStep::Copied)
            return ERROR_SUCCESS;
        const std::wstring name = Name(pair);
        const int attempt = ++attempts[name];
        if (name == L"once.txt")
            return attempt == 1 ? ERROR_NETNAME_DELETED : ERROR_SUCCESS;
        if (name == L"always.txt")
            return ERROR_NETNAME_DELETED;
        if (name == L"refused.txt")
            return ERROR_ACCESS_DENIED;
        Put(pair.tempPath, "nEw");  // read back with other bytes: code 0
        return ERROR_SUCCESS;
    });

    EXPECT_EQ(Run({L"once.txt", L"always.txt", L"refused.txt", L"corrupt.txt"}, false, RunChecks{false, true}), 1);
    EXPECT_EQ(sink.Lines().size(), 4u);
    EXPECT_EQ(attempts, (std::map<std::wstring, int>{
                            {L"once.txt", 2}, {L"always.txt", 4}, {L"refused.txt", 1}, {L"corrupt.txt", 1}}));

    EXPECT_FALSE(LineOf(L"once.txt").error);
    EXPECT_EQ(Get(P(L"ver\\once.txt")), "new");
    const ResultLine always = LineOf(L"always.txt");
    EXPECT_TRUE(always.error);
    EXPECT_EQ(always.tag, 139u);
    EXPECT_EQ(always.code, static_cast<std::uint32_t>(ERROR_NETNAME_DELETED));
    EXPECT_EQ(LineOf(L"refused.txt").code, static_cast<std::uint32_t>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(LineOf(L"corrupt.txt").tag, 141u);
    EXPECT_EQ(LineOf(L"corrupt.txt").code, 0u);
    for (const wchar_t* name : {L"always.txt", L"refused.txt", L"corrupt.txt"})
        EXPECT_EQ(Get(P(L"ver\\") + name), "old") << name;
    EXPECT_EQ(NamesIn(P(L"ver")).size(), 4u) << "no temporary file left";
    EXPECT_EQ(engine.unfinishedFolders.size(), 1u);
    EXPECT_EQ(engine.unfinishedFolders.at(0).failed, 3);
}

TEST_F(NetworkRetry, UncertainCommitKeepsItsBackupAndCountsOnceWhenTheRenameWentThrough)
{
    // went.txt: the server renames, then the answer is lost. lost.txt: the rename is not done.
    Put(P(L"ver\\went.txt"), "old");
    Put(P(L"ver\\lost.txt"), "old");
    std::map<std::wstring, int> commits;
    engine.Writer().SetStepHook([&](WriteStep step, const PairWrite& pair) -> std::uint32_t {
        if (step != WriteStep::Commit || ++commits[Name(pair)] > 1)
            return ERROR_SUCCESS;
        EXPECT_EQ(Get(pair.backupPath), "old");
        if (Name(pair) == L"went.txt") {
            EXPECT_TRUE(MoveFileExW(pair.tempPath.c_str(), pair.target.c_str(), MOVEFILE_REPLACE_EXISTING));
        }
        return ERROR_NETNAME_DELETED;
    });

    EXPECT_EQ(Run({L"went.txt", L"lost.txt"}, true), 2);
    EXPECT_EQ(commits, (std::map<std::wstring, int>{{L"went.txt", 1}, {L"lost.txt", 2}}));
    EXPECT_FALSE(LineOf(L"went.txt").error);
    EXPECT_FALSE(LineOf(L"lost.txt").error);
    EXPECT_TRUE(engine.unfinishedFolders.empty());
    EXPECT_EQ(Get(P(L"ver\\went.txt")), "new");
    EXPECT_EQ(Get(P(L"ver\\lost.txt")), "new");
    // went.txt: the one backup, no second one of the new contents; lost.txt: the backup of
    // the first attempt stays beside the one of the second, both of the old contents.
    std::map<std::wstring, int> backupsOf;
    for (const std::wstring& backup : BackupsIn(P(L"ver"))) {
        ++backupsOf[backup.substr(0, backup.find(L".txt") + 4)];
        EXPECT_EQ(Get(P(L"ver\\" + backup)), "old") << backup;
    }
    EXPECT_EQ(backupsOf, (std::map<std::wstring, int>{{L"went.txt", 1}, {L"lost.txt", 2}}));
    EXPECT_EQ(NamesIn(P(L"ver")).size(), 5u) << "no temporary file left";
}

}  // namespace
