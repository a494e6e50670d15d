#include "syncfolderapp/discovery/enginefolders.h"

#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using Paths = std::vector<std::wstring>;

TEST(IsRecycleBinPath, MatchesEverySpellingAndWhatIsBelow)
{
    for (const wchar_t* path :
         {L"D:\\$Recycle.Bin", L"D:\\$RECYCLE.BIN", L"d:\\$recycle.bin\\S-1-5\\x", L"D:\\RECYCLER", L"E:\\recycler\\a",
          L"D:\\Recycled\\x", L"D:\\RECYCLED", L"D:\\RECYCLED/x", L"D:\\$Recycle.Bin\\"})
        EXPECT_TRUE(IsRecycleBinPath(path)) << path;
}

TEST(IsRecycleBinPath, LeavesOtherPathsAlone)
{
    for (const wchar_t* path : {L"D:\\RecyclerOld", L"D:\\data\\$Recycle.Bin", L"D:\\$Recycle.Bin2", L"D:\\Recycle",
                                L"D:$Recycle.Bin", L"1:\\RECYCLER", L"\\\\?\\D:\\RECYCLER", L"DD:\\RECYCLER", L"D:\\",
                                L"D:", L"", L"D:\\ RECYCLER", L"D:\\RECYCLEDx\\y", L"D:\\\\RECYCLER"})
        EXPECT_FALSE(IsRecycleBinPath(path)) << path;
}

TEST(EngineFolderFor, KeepsAPathThatHoldsMir200AsItIs)
{
    EXPECT_EQ(EngineFolderFor(L"D:\\MirServer", true), L"D:\\MirServer");
    EXPECT_EQ(EngineFolderFor(L"D:\\Mir200\\Mir200", true), L"D:\\Mir200\\Mir200");
    EXPECT_EQ(EngineFolderFor(L"D:\\", true), L"D:\\");
}

TEST(EngineFolderFor, CutsBackToTheDirectoryInFrontOfMir200)
{
    EXPECT_EQ(EngineFolderFor(L"D:\\MirServer\\Mir200", false), L"D:\\MirServer");
    EXPECT_EQ(EngineFolderFor(L"D:\\MirServer\\Mir200\\Envir", false), L"D:\\MirServer");
    EXPECT_EQ(EngineFolderFor(L"D:\\Mir200", false), L"D:");
    EXPECT_EQ(EngineFolderFor(L"D:\\a\\Mir200\\b\\Mir200", false), L"D:\\a");
    // Not a whole component, but right after a separator.
    EXPECT_EQ(EngineFolderFor(L"D:\\MirServer\\Mir200data", false), L"D:\\MirServer");
    EXPECT_EQ(EngineFolderFor(L"D:/srv/Mir200", false), L"D:/srv");
    // A Mir200 inside a name is passed over for a later one behind a separator.
    EXPECT_EQ(EngineFolderFor(L"D:\\myMir200\\Mir200", false), L"D:\\myMir200");
}

TEST(EngineFolderFor, RefusesPathsWithoutAUsableMir200)
{
    for (const wchar_t* path : {L"D:\\Other", L"D:\\mir200data", L"D:\\MIR200", L"D:\\x\\myMir200", L"Mir200",
                                L"\\Mir200", L"a\\Mir200", L"", L"D:\\Mir20"})
        EXPECT_EQ(EngineFolderFor(path, false), std::nullopt) << path;
}

TEST(CollectEngineFolders, AddsValidPathsOnceAndFlagsTheRest)
{
    const std::set<std::wstring> withMir200 = {L"D:\\MirServer", L"E:\\b"};
    auto hasMir200 = [&](const std::wstring& path) { return withMir200.count(path) != 0; };

    // Known entries match only with the same letter case and no trailing separator.
    Paths known = {L"E:\\b", L"d:\\mirserver", L"F:\\x\\"};
    const EngineFolderBatch batch =
        CollectEngineFolders({L"D:\\MirServer", L"D:\\Other", L"D:\\MirServer", L"D:\\MirServer\\Mir200", L"E:\\b",
                              L"F:\\x\\Mir200\\y", L"D:\\mir200data"},
                             known, hasMir200);
    EXPECT_EQ(batch.added, (Paths{L"D:\\MirServer", L"F:\\x"}));
    EXPECT_TRUE(batch.refused);
    EXPECT_EQ(known, (Paths{L"E:\\b", L"d:\\mirserver", L"F:\\x\\", L"D:\\MirServer", L"F:\\x"}));
}

TEST(CollectEngineFolders, DuplicatesAloneAreNoRefusal)
{
    Paths known = {L"D:\\MirServer"};
    const EngineFolderBatch batch = CollectEngineFolders({L"D:\\MirServer\\Mir200", L"D:\\MirServer"}, known,
                                                         [](const std::wstring&) { return false; });
    EXPECT_TRUE(batch.added.empty());
    EXPECT_TRUE(batch.refused);  // D:\MirServer itself has no Mir200 here and no "Mir200" in its text

    const EngineFolderBatch again =
        CollectEngineFolders({L"D:\\MirServer\\Mir200"}, known, [](const std::wstring&) { return false; });
    EXPECT_TRUE(again.added.empty());
    EXPECT_FALSE(again.refused);
}
