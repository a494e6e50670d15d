#include "syncfolderapp/sync/tempname.h"

#include <gtest/gtest.h>

namespace {

TEST(TempName, HasAFixedLengthAndGivesBackTheWritersProcessId)
{
    for (const auto& [pid, counter] : {std::pair<std::uint32_t, std::uint32_t>{0, 0}, {0x12ab, 7}, {~0u, ~0u}}) {
        const std::wstring name = MakeTempName(pid, counter);
        EXPECT_EQ(name.size(), 23u) << testing::PrintToString(name);
        std::uint32_t parsed = 1;
        EXPECT_TRUE(ParseTempName(name, parsed)) << testing::PrintToString(name);
        EXPECT_EQ(parsed, pid);
    }
    EXPECT_EQ(MakeTempName(0x12ab, 0x10), L"~sf000012ab00000010.tmp");
}

TEST(TempName, OperatorFilesOfASimilarShapeAreNotTakenForOne)
{
    std::uint32_t pid = 0;
    for (const wchar_t* name :
         {L"~sf000012ab00000010.TMP", L"~SF000012ab00000010.tmp", L"~sf000012AB00000010.tmp", L"~sf000012ab0000001.tmp",
          L"~sf000012ab000000100.tmp", L"~sf000012ab0000001g.tmp", L"~sfa.tmp", L"~sf000012ab00000010.tmp.bak",
          L"x~sf000012ab00000010.tmp", L"", L"Config.txt"}) {
        EXPECT_FALSE(ParseTempName(name, pid)) << testing::PrintToString(std::wstring(name));
    }
}

}  // namespace
