#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "logengine/defaultconfig.h"
#include "logengine/logger.h"
#include "syncfolderapp/logdriver.h"
#include "tests/support/files.h"
#include "tests/unit/logengine/workdir.h"

using testsupport::ReadFile;
namespace fs = std::filesystem;

namespace {

FNLog::LogTime FixedNow()
{
    return FNLog::LogTime{logtest::LocalSeconds(2025, 12, 19, 8, 30, 1), 2};
}

constexpr const char* kStamp = "[20251219 08:30:01.002] ";
constexpr const char* kFullLog = "datadb/log/20251219.log";
constexpr const char* kErrorLog = "datadb/log/20251219_error.log";

class LogDriverTest : public ::testing::Test {
protected:
    void SetUp() override { logger_.SetClock(&FixedNow); }
    void Start() { ASSERT_EQ(logger_.ParseAndStartLogger(FNLog::DefaultConfigText()), FNLog::E_SUCCESS); }
    void Stop() { ASSERT_EQ(logger_.StopLogger(), FNLog::E_SUCCESS); }

    logtest::WorkDir dir_;
    FNLog::Logger logger_;
    CLogDriver driver_{logger_};
};

}  // namespace

TEST_F(LogDriverTest, InfoAndErrorLinesByteForByte)
{
    Start();
    driver_.PushLog(L"sync ok: a >> b", 136);
    driver_.PushLog(L"", 42);
    driver_.PushLog(L"copy failed", 5, 64);
    driver_.PushLog(L"huge code", 0xFFFFFFFFu, 0xFFFFFFFFu);
    Stop();
    std::string s = kStamp;
    EXPECT_EQ(ReadFile(kFullLog), s + "sync ok: a >> b, LINE:136\r\n" + s + ", LINE:42\r\n" + s +
                                      "copy failed, ERROR:5, LINE:64\r\n" + s +
                                      "huge code, ERROR:4294967295, LINE:4294967295\r\n");
    EXPECT_EQ(ReadFile(kErrorLog),
              s + "copy failed, ERROR:5, LINE:64\r\n" + s + "huge code, ERROR:4294967295, LINE:4294967295\r\n");
}

TEST_F(LogDriverTest, OverlongMessageIsCutWithoutNumbers)
{
    Start();
    driver_.PushLog(std::wstring(12000, L'w'), 7, 139);
    driver_.PushLog(L"short", 1);  // the grown buffer must not leak into the next line
    Stop();
    auto lines = testsupport::ReadLines(kFullLog);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 9997u);
    EXPECT_EQ(lines[0].substr(lines[0].size() - 3), "www");
    EXPECT_EQ(lines[1], std::string(kStamp) + "short, LINE:1");
    EXPECT_EQ(ReadFile(kFullLog).substr(9997, 2), "\r\n");
}

TEST_F(LogDriverTest, NothingIsWrittenWithoutARunningEngine)
{
    driver_.PushLog(L"before start", 1);
    driver_.PushLog(L"before start", 2, 3);
    Start();
    Stop();
    driver_.PushLog(L"after stop", 1);
    EXPECT_FALSE(fs::exists("datadb"));
}

#ifndef _WIN32
TEST_F(LogDriverTest, UnconvertibleMessageWritesNothing)
{
    Start();
    driver_.PushLog(std::wstring(L"bad ") + static_cast<wchar_t>(0xD800), 1);
    driver_.PushLog(L"\u540c\u6b65", 2);
    Stop();
    EXPECT_EQ(ReadFile(kFullLog), std::string(kStamp) + "\xE5\x90\x8C\xE6\xAD\xA5, LINE:2\r\n");
}
#endif

TEST(LogDriverStart, StartsTheProcessWideEngineOnce)
{
    logtest::WorkDir dir;
    ASSERT_EQ(CLogDriver::StartLogEngine(), FNLog::E_SUCCESS);
    testing::internal::CaptureStdout();
    EXPECT_EQ(CLogDriver::StartLogEngine(), FNLog::E_LOGGER_IN_USE);
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("fast start default logger error. ret:<1>.\n"), std::string::npos) << printed;
    CLogDriver driver;
    driver.PushLog(L"through the process-wide engine", 9);
    ASSERT_EQ(FNLog::StopLogger(), FNLog::E_SUCCESS);
    auto names = testsupport::ListNames("datadb/log");
    ASSERT_EQ(names.size(), 1u);
    auto lines = testsupport::ReadLines("datadb/log/" + names[0]);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(23), " through the process-wide engine, LINE:9");
}

TEST(LogDriverStart, LinesPushedWhileTheEngineStartsInTheBackgroundAllLand)
{
    logtest::WorkDir dir;
    CLogDriver::StartLogEngineInBackground();
    CLogDriver driver;
    constexpr int kLines = 40;
    for (int i = 0; i < kLines; ++i)
        driver.PushLog(L"early line", static_cast<uint32_t>(i));
    CLogDriver::StopLogEngine();
    EXPECT_NE(FNLog::DefaultLogger().state(), FNLog::LOGGER_STATE_RUNNING);
    auto names = testsupport::ListNames("datadb/log");
    ASSERT_EQ(names.size(), 1u);
    auto lines = testsupport::ReadLines("datadb/log/" + names[0]);
    ASSERT_EQ(lines.size(), static_cast<size_t>(kLines));
    EXPECT_EQ(lines.back().substr(23), " early line, LINE:39");

    // A stop asked for while the background start is still going waits for it too.
    CLogDriver::StartLogEngineInBackground();
    CLogDriver::StopLogEngine();
    EXPECT_NE(FNLog::DefaultLogger().state(), FNLog::LOGGER_STATE_RUNNING);
}
