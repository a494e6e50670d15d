#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "logengine/filedevice.h"
#include "logengine/logtime.h"
#include "logengine/platform.h"
#include "tests/support/files.h"
#include "workdir.h"

using namespace FNLog;
namespace fs = std::filesystem;
using logtest::LocalTm;
using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

int64_t LocalTs(int year, int mon, int day, int hour = 12)
{
    return FromLocalTime(LocalTm(year, mon, day, hour));
}

DeviceConfig FileConfig(const std::string& path, const std::string& file)
{
    DeviceConfig config;
    config.kind = DEVICE_FILE;
    config.enabled = true;
    config.path = path;
    config.file = file;
    return config;
}

void Put(FileDevice& device, const DeviceConfig& config, int64_t ts, const std::string& text)
{
    device.Write(config, 0, ts, text.data(), text.size());
    device.Flush();
}

class FileDeviceTest : public ::testing::Test {
protected:
    logtest::WorkDir dir_;
    int64_t day_ = LocalTs(2025, 12, 19);
};

}  // namespace

TEST(ExpandMacros, ReplacesDateTimeAndProcessMacros)
{
    std::tm tm = LocalTm(2025, 12, 19, 7, 8, 9);
    EXPECT_EQ(ExpandMacros("$YEAR$MON$DAY_error", tm), "20251219_error");
    EXPECT_EQ(ExpandMacros("$HOUR$MIN$SEC_sync", tm), "070809_sync");
    EXPECT_EQ(ExpandMacros("%F_x", tm), "2025-12-19_x");
    EXPECT_EQ(ExpandMacros("a%f$X$$YEAR$", tm), "a%f$X$2025$") << "unknown macros stay as they are";
    char pid[16];
    std::snprintf(pid, sizeof(pid), "%06u", platform::ProcessId());
    EXPECT_EQ(ExpandMacros("$PNAME_$PID", tm), platform::ProcessName() + "_" + pid);
    EXPECT_EQ(platform::ProcessName(), "logengine_unit_tests");
}

TEST_F(FileDeviceTest, FirstLineCreatesDirectoriesAndFile)
{
    FileDevice device;
    Put(device, FileConfig("./datadb/log/", "$YEAR$MON$DAY"), day_, "first\r\n");
    EXPECT_TRUE(fs::is_directory("datadb/log"));
    EXPECT_EQ(ReadFile("datadb/log/20251219.log"), "first\r\n");
    EXPECT_EQ(device.currentSize(), 7);
}

TEST_F(FileDeviceTest, EmptyPatternUsesProcessNameDateAndIds)
{
    FileDevice device;
    DeviceConfig config = FileConfig("out", "");
    config.index = 3;
    Put(device, config, day_, "x");
    char expected[128];
    std::snprintf(expected, sizeof(expected), "out/%s_20251219_%06u.03.log", platform::ProcessName().c_str(),
                  platform::ProcessId());
    EXPECT_EQ(ReadFile(expected), "x");
}

TEST_F(FileDeviceTest, BackslashPathWithoutTrailingSeparator)
{
    FileDevice device;
    Put(device, FileConfig("a\\b", "n"), day_, "x");
    EXPECT_EQ(ReadFile("a/b/n.log"), "x");
    EXPECT_EQ(device.path(), "a/b/n.log");
}

TEST_F(FileDeviceTest, AppendsOrRollsAtOpen)
{
    WriteFile("old.log", "before\n");
    DeviceConfig append = FileConfig("", "old");
    append.stuffUp = true;
    append.rollback = 4;
    {
        FileDevice device;
        Put(device, append, day_, "after\n");
        EXPECT_EQ(device.currentSize(), 13);
    }
    EXPECT_EQ(ReadFile("old.log"), "before\nafter\n");

    DeviceConfig roll = append;
    roll.stuffUp = false;
    FileDevice device;
    Put(device, roll, day_, "fresh\n");
    EXPECT_EQ(ReadFile("old.log"), "fresh\n");
    EXPECT_EQ(ReadFile("old.log.1"), "before\nafter\n");
}

TEST_F(FileDeviceTest, SizeRollAtLimitKeepsFourOldFiles)
{
    DeviceConfig config = FileConfig("logs/", "f");
    config.stuffUp = true;
    config.rollback = 4;
    config.limitSize = 20;
    FileDevice device;
    // Each line is 10 bytes; two fit exactly, the third would pass the limit.
    for (int i = 0; i < 14; ++i) {
        char line[16];
        std::snprintf(line, sizeof(line), "line %03d\r\n", i);
        Put(device, config, day_, line);
    }
    EXPECT_EQ(ReadFile("logs/f.log"), "line 012\r\nline 013\r\n");
    EXPECT_EQ(ReadFile("logs/f.log.1"), "line 010\r\nline 011\r\n");
    EXPECT_EQ(ReadFile("logs/f.log.4"), "line 004\r\nline 005\r\n");
    EXPECT_FALSE(fs::exists("logs/f.log.5"));
    EXPECT_EQ(testsupport::ListNames("logs").size(), 5u);
}

TEST_F(FileDeviceTest, LineCrossingLimitRollsBeforeWriting)
{
    DeviceConfig config = FileConfig("", "big");
    config.stuffUp = true;
    config.rollback = 4;
    config.limitSize = 100;
    WriteFile("big.log", std::string(90, 'a'));
    FileDevice device;
    Put(device, config, day_, std::string(10, 'b'));
    EXPECT_EQ(ReadFile("big.log").size(), 100u) << "reaching the limit exactly does not roll";
    Put(device, config, day_, "c");
    EXPECT_EQ(ReadFile("big.log"), "c");
    EXPECT_EQ(ReadFile("big.log.1").size(), 100u);
}

TEST(RollOver, ChainStopsAtFirstMissingName)
{
    logtest::WorkDir dir;
    WriteFile("x.log", "0");
    WriteFile("x.log.1", "1");
    WriteFile("x.log.3", "3");
    RollOver("x.log", 4);
    EXPECT_FALSE(fs::exists("x.log"));
    EXPECT_EQ(ReadFile("x.log.1"), "0");
    EXPECT_EQ(ReadFile("x.log.2"), "1");
    EXPECT_EQ(ReadFile("x.log.3"), "3");
}

TEST(RollOver, DepthOneReplacesTheSingleOldFile)
{
    logtest::WorkDir dir;
    WriteFile("y.log", "new");
    WriteFile("y.log.1", "old");
    RollOver("y.log", 1);
    EXPECT_EQ(ReadFile("y.log.1"), "new");
    EXPECT_FALSE(fs::exists("y.log.2"));
}

TEST_F(FileDeviceTest, FullPathOf250CharactersIsRefused)
{
    // "d/" + name + ".log": a 244-character name gives 250 characters.
    std::string dirName = "d";
    fs::create_directory(dirName);
    FileDevice device;
    std::string name(244, 'n');
    DeviceConfig config = FileConfig("d", name.substr(0, 40));
    config.file = name;  // longer than a configuration may give, to reach the limit
    Put(device, config, day_, "x");
    EXPECT_FALSE(device.isOpen());
    EXPECT_EQ(device.lastFailureReason(), OPEN_PATH_TOO_LONG);
    EXPECT_EQ(device.lastFailureTime(), day_);

    FileDevice shorter;
    config.file = std::string(243, 'n');
    Put(shorter, config, day_, "x");
    EXPECT_NE(shorter.lastFailureReason(), OPEN_PATH_TOO_LONG) << "249 characters are allowed";
}

TEST_F(FileDeviceTest, FailedOpenWaitsFiveSecondsOfRecordTime)
{
    WriteFile("blocked", "a file where the directory should be");
    DeviceConfig config = FileConfig("blocked/sub/", "f");
    FileDevice device;
    Put(device, config, day_, "lost 1\n");
    EXPECT_EQ(device.lastFailureReason(), OPEN_FAILED);
    EXPECT_EQ(device.lastFailureTime(), day_);

    fs::remove("blocked");
    Put(device, config, day_ + 4, "lost 2\n");
    EXPECT_FALSE(device.isOpen()) << "no new open within five seconds of the failure";
    EXPECT_FALSE(fs::exists("blocked"));

    Put(device, config, day_ + 5, "kept\n");
    EXPECT_TRUE(device.isOpen());
    EXPECT_EQ(device.lastFailureReason(), OPEN_OK);
    EXPECT_EQ(ReadFile("blocked/sub/f.log"), "kept\n");
}

TEST_F(FileDeviceTest, ClockSetBackDoesNotSilenceAFailedDevice)
{
    WriteFile("blocked", "x");
    DeviceConfig config = FileConfig("blocked/", "f");
    FileDevice device;
    Put(device, config, day_, "lost\n");
    ASSERT_EQ(device.lastFailureReason(), OPEN_FAILED);
    fs::remove("blocked");
    Put(device, config, day_ - 3600, "kept\n");
    EXPECT_EQ(ReadFile("blocked/f.log"), "kept\n");
}

TEST_F(FileDeviceTest, DayRollWhenConfigured)
{
    DeviceConfig config = FileConfig("", "$YEAR$MON$DAY");
    config.stuffUp = true;
    FileDevice device;
    Put(device, config, day_, "a\n");
    Put(device, config, LocalTs(2025, 12, 20, 1), "b\n");
    EXPECT_EQ(ReadFile("20251219.log"), "a\nb\n") << "without a day roll the opening day's file goes on";

    config.rollByDay = true;
    FileDevice daily;
    Put(daily, config, day_, "c\n");
    Put(daily, config, LocalTs(2025, 12, 20, 1), "d\n");
    EXPECT_EQ(ReadFile("20251220.log"), "d\n");
}
