#include "syncfolderapp/sync/laneplan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Indexes = std::vector<std::size_t>;

TEST(LanePath, SpellingsOfOneDirectoryOnAShareComeOutAsOne)
{
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"\\\\srv\\share\\games\\v1", L"\\\\srv\\share\\games\\v1"},
        {L"\\\\?\\UNC\\srv\\share\\games\\v1\\", L"\\\\srv\\share\\games\\v1"},
        {L"//srv/share/games//v1/", L"\\\\srv\\share\\games\\v1"},
        {L"\\\\srv\\share\\games\\.\\x\\..\\v1", L"\\\\srv\\share\\games\\v1"},
        {L"\\\\srv\\share\\..\\..\\v1", L"\\\\srv\\share\\v1"},  // never above the share
        {L"N:\\games\\v1\\", L"N:\\games\\v1"},
        {L"\\\\?\\N:\\games\\v1", L"N:\\games\\v1"},
        {L"N:\\..\\v1", L"N:\\v1"},
        {L"N:\\", L"N:"},
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(LanePath(path), expected) << testing::PrintToString(std::wstring(path));
}

TEST(PlanLanes, LocalDirectoriesShareOneLaneEachShareDirectoryHasItsOwnAndNestedOnesTheirOuterOnes)
{
    const std::vector<std::wstring> paths = {
        L"",                         // 0 local
        L"\\\\SRV\\SHARE\\A\\B",     // 1 inside 3, listed before it
        L"",                         // 2 local
        L"\\\\SRV\\SHARE\\A",        // 3
        L"N:\\X",                    // 4 a network letter whose share is not named
        L"\\\\SRV\\OTHER\\C",        // 5 another share on the same machine
        L"\\\\SRV\\SHARE\\AB",       // 6 begins like 3 but is not inside it
        L"\\\\SRV\\SHARE\\A",        // 7 the same as 3
        L"\\\\SRV\\SHARE\\A\\B\\C",  // 8 inside 1 and 3
        L"\\\\HOST2\\SHARE\\A",      // 9
    };
    const std::vector<PlannedLane> lanes = PlanLanes(paths);
    ASSERT_EQ(lanes.size(), 6u);
    EXPECT_EQ(lanes[0].host, L"");
    EXPECT_EQ(lanes[0].folders, (Indexes{0, 2}));
    EXPECT_EQ(lanes[1].host, L"\\\\SRV");
    EXPECT_EQ(lanes[1].folders, (Indexes{1, 3, 7, 8}));
    EXPECT_EQ(lanes[2].host, L"N:");
    EXPECT_EQ(lanes[2].folders, (Indexes{4}));
    EXPECT_EQ(lanes[3].host, L"\\\\SRV");
    EXPECT_EQ(lanes[3].folders, (Indexes{5}));
    EXPECT_EQ(lanes[4].host, L"\\\\SRV");
    EXPECT_EQ(lanes[4].folders, (Indexes{6}));
    EXPECT_EQ(lanes[5].host, L"\\\\HOST2");
    EXPECT_EQ(lanes[5].folders, (Indexes{9}));

    // Every directory in exactly one lane.
    std::vector<int> seen(paths.size(), 0);
    for (const PlannedLane& lane : lanes) {
        for (const std::size_t index : lane.folders)
            ++seen[index];
    }
    EXPECT_EQ(seen, std::vector<int>(paths.size(), 1));

    EXPECT_TRUE(PlanLanes({}).empty());
    const std::vector<PlannedLane> local = PlanLanes({L"", L"", L""});
    ASSERT_EQ(local.size(), 1u);
    EXPECT_EQ(local[0].folders, (Indexes{0, 1, 2}));
}

}  // namespace
