#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "logengine/defaultconfig.h"
#include "logengine/filedevice.h"
#include "logengine/logger.h"
#include "tests/support/files.h"
#include "workdir.h"

using namespace FNLog;
namespace fs = std::filesystem;
using testsupport::ReadFile;
using testsupport::ReadLines;

namespace {

std::atomic<int64_t> gFakeSec{0};
std::atomic<int> gFakeMs{0};
LogTime FakeNow()
{
    return LogTime{gFakeSec.load(), gFakeMs.load()};
}

void SetFakeTime(int year, int mon, int day, int hour, int min, int sec, int ms)
{
    gFakeSec = logtest::LocalSeconds(year, mon, day, hour, min, sec);
    gFakeMs = ms;
}

bool Push(Logger& logger, int channel, int priority, const std::string& text)
{
    LogRecord* record = logger.OpenRecord(channel, priority);
    if (record == nullptr)
        return false;
    Logger::Append(record, text);
    logger.SubmitRecord(record);
    return true;
}

// Waits for a condition with a generous deadline that only guards against hangs.
template <typename Pred>
bool WaitFor(Pred pred)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

const char* kTwoFiles = " - channel: 0\n"
                        "    sync: async\n"
                        "    -device: 0\n"
                        "        disable: false\n"
                        "        out_type: file\n"
                        "        path: \"./ok/\"\n"
                        "        file: \"all\"\n"
                        "    -device: 1\n"
                        "        disable: false\n"
                        "        out_type: file\n"
                        "        path: \"./blocked/\"\n"
                        "        file: \"err\"\n";

class LoggerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetFakeTime(2025, 12, 19, 10, 0, 0, 123);
        logger_.SetClock(&FakeNow);
    }
    logtest::WorkDir dir_;
    Logger logger_;
};

}  // namespace

TEST_F(LoggerTest, EmbeddedConfigStartsOneChannelThread)
{
    ASSERT_EQ(logger_.ParseAndStartLogger(DefaultConfigText()), E_SUCCESS);
    EXPECT_EQ(logger_.state(), LOGGER_STATE_RUNNING);
    EXPECT_TRUE(logger_.hasChannelThread(0));
    EXPECT_FALSE(logger_.hasChannelThread(1));
    EXPECT_EQ(logger_.channelRunState(0), CHANNEL_STATE_RUNNING);
    EXPECT_EQ(logger_.channelRunState(1), CHANNEL_STATE_RUNNING);

    testing::internal::CaptureStdout();
    EXPECT_EQ(logger_.ParseAndStartLogger(DefaultConfigText()), E_LOGGER_IN_USE);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "ParseAndStartLogger error. state:<2> not uninit:<0> by fast try.\n");
    EXPECT_EQ(logger_.StopLogger(), E_SUCCESS);
    EXPECT_EQ(logger_.state(), LOGGER_STATE_UNINIT);
    EXPECT_EQ(logger_.channelRunState(0), CHANNEL_STATE_NONE);
}

TEST_F(LoggerTest, InfoGoesToFullLogOnlyErrorToBoth)
{
    ASSERT_EQ(logger_.ParseAndStartLogger(DefaultConfigText()), E_SUCCESS);
    ASSERT_TRUE(Push(logger_, 0, PRIORITY_INFO, "hello"));
    ASSERT_TRUE(Push(logger_, 0, PRIORITY_ERROR, "bad"));
    ASSERT_EQ(logger_.StopLogger(), E_SUCCESS);
    EXPECT_EQ(ReadFile("datadb/log/20251219.log"), "[20251219 10:00:00.123] hello\r\n[20251219 10:00:00.123] bad\r\n");
    EXPECT_EQ(ReadFile("datadb/log/20251219_error.log"), "[20251219 10:00:00.123] bad\r\n");
    EXPECT_EQ(testsupport::ListNames("datadb/log").size(), 2u) << "channel 1 writes no file";
}

TEST_F(LoggerTest, InfoAloneCreatesNoErrorLog)
{
    ASSERT_EQ(logger_.ParseAndStartLogger(DefaultConfigText()), E_SUCCESS);
    ASSERT_TRUE(Push(logger_, 0, PRIORITY_INFO, "only info"));
    ASSERT_EQ(logger_.StopLogger(), E_SUCCESS);
    EXPECT_TRUE(fs::exists("datadb/log/20251219.log"));
    EXPECT_FALSE(fs::exists("datadb/log/20251219_error.log"));
}

TEST_F(LoggerTest, RestartAfterStopAppendsToTheDaysFile)
{
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(logger_.ParseAndStartLogger(DefaultConfigText()), E_SUCCESS) << round;
        ASSERT_TRUE(Push(logger_, 0, PRIORITY_INFO, "round " + std::to_string(round)));
        ASSERT_EQ(logger_.StopLogger(), E_SUCCESS);
    }
    auto lines = ReadLines("datadb/log/20251219.log");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2], "[20251219 10:00:00.123] round 2");
}

TEST_F(LoggerTest, LifecycleResultCodes)
{
    EXPECT_EQ(logger_.StopLogger(), E_INVALID_CHANNEL_SIZE) << "no configuration installed";
    EXPECT_EQ(logger_.StartLogger(), E_LOGGER_NOT_INIT);
    ASSERT_EQ(logger_.InitFromYMAL(DefaultConfigText(), ""), E_SUCCESS);
    EXPECT_EQ(logger_.OpenRecord(0, PRIORITY_ERROR), nullptr) << "installed but not started";
    EXPECT_EQ(logger_.StopLogger(), E_LOGGER_NOT_RUNNING);
    ASSERT_EQ(logger_.StartLogger(), E_SUCCESS);
    EXPECT_EQ(logger_.StartLogger(), E_LOGGER_IN_USE);
    testing::internal::CaptureStdout();
    EXPECT_EQ(logger_.InitFromYMAL(DefaultConfigText(), "cfg.yaml"), E_LOGGER_IN_USE);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "InitFromYMAL:<cfg.yaml> text error\n");
    EXPECT_EQ(logger_.StopLogger(), E_SUCCESS);
    EXPECT_EQ(logger_.StopLogger(), E_LOGGER_NOT_RUNNING);
}

TEST(LoggerStart, ChannelThreadComingUpTooLateEndsTheStartWithItsCodeNotAHang)
{
    logtest::WorkDir dir;
    // Left behind when the start hangs, so that the test can still report it.
    auto* logger = new Logger();
    // The thread comes up only after the start has given up waiting and asked it to stop.
    logger->SetChannelStartHook(
        [logger] { WaitFor([logger] { return logger->channelRunState(0) == CHANNEL_STATE_STOPPING; }); });
    testing::internal::CaptureStdout();
    auto done = std::make_shared<std::promise<int>>();
    std::future<int> result = done->get_future();
    std::thread([logger, done] { done->set_value(logger->ParseAndStartLogger(DefaultConfigText())); }).detach();
    const bool ended = result.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
    const std::string printed = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(ended) << "the start hangs";
    EXPECT_EQ(result.get(), E_CHANNEL_THREAD_FAILED);
    EXPECT_EQ(printed, "StartChannels start async log thread timeout.\n"
                       "StartLogger error. StartChannels failed. channel size:<2>. \n"
                       "ParseAndStartLogger error. ret:<8>.\n");
    EXPECT_EQ(logger->state(), LOGGER_STATE_UNINIT);
    EXPECT_FALSE(logger->hasChannelThread(0));

    logger->SetChannelStartHook(nullptr);
    EXPECT_EQ(logger->ParseAndStartLogger(DefaultConfigText()), E_SUCCESS);
    EXPECT_EQ(logger->StopLogger(), E_SUCCESS);
    delete logger;
}

TEST_F(LoggerTest, ParseFailureLeavesEngineStoppedAndPrintsReport)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(logger_.ParseAndStartLogger(" - channel: 0\n    Sync: async\n"), E_UNKNOWN_KEY);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "ParseLogger has error:<23 unknown key> in line:[2]  before:\n    Sync: async\n\n"
              "ParseAndStartLogger error. ret:<23>:unknown key.\n");
    EXPECT_EQ(logger_.state(), LOGGER_STATE_UNINIT);
    EXPECT_EQ(logger_.OpenRecord(0, PRIORITY_ERROR), nullptr);
    EXPECT_EQ(logger_.ParseAndStartLogger(DefaultConfigText()), E_SUCCESS);
}

TEST_F(LoggerTest, RefusesLinesNoDeviceTakes)
{
    ASSERT_EQ(logger_.ParseAndStartLogger(" - channel: 0\n    -device: 0\n        disable: false\n"
                                          "        out_type: file\n        priority: warn\n"
                                          "    -device: 1\n        out_type: file\n"),
              E_SUCCESS);
    EXPECT_EQ(logger_.OpenRecord(0, PRIORITY_INFO), nullptr);
    EXPECT_EQ(logger_.OpenRecord(1, PRIORITY_ERROR), nullptr);
    EXPECT_EQ(logger_.OpenRecord(-1, PRIORITY_ERROR), nullptr);
    LogRecord* record = logger_.OpenRecord(0, PRIORITY_FATAL + 3);
    ASSERT_NE(record, nullptr) << "priorities above FATAL count as FATAL";
    EXPECT_EQ(logger_.SubmitRecord(record), E_SUCCESS);
    EXPECT_EQ(logger_.StopLogger(), E_SUCCESS);
}

TEST_F(LoggerTest, RecordRoomCutsTextAndSkipsNumbers)
{
    ASSERT_EQ(logger_.ParseAndStartLogger(DefaultConfigText()), E_SUCCESS);
    const int prefix = 24;  // stamp and blank
    auto push = [&](size_t textLength, uint64_t number) {
        LogRecord* record = logger_.OpenRecord(0, PRIORITY_INFO);
        ASSERT_NE(record, nullptr);
        Logger::Append(record, std::string(textLength, 'x'));
        Logger::AppendNumber(record, number);
        logger_.SubmitRecord(record);
    };
    push(20000, 7);                                    // far too long: cut, no number
    push(kRecordTextSize - prefix - 30, 4294967295u);  // exactly 30 bytes left: number fits
    push(kRecordTextSize - prefix - 29, 5);            // 29 left: number left out
    ASSERT_EQ(logger_.StopLogger(), E_SUCCESS);

    std::string content = ReadFile("datadb/log/20251219.log");
    auto lines = ReadLines("datadb/log/20251219.log");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].size(), 9997u);
    EXPECT_EQ(lines[0].back(), 'x');
    EXPECT_EQ(content.substr(9997, 2), "\r\n");
    EXPECT_EQ(lines[1].size(), 9970u + 10u);
    EXPECT_EQ(lines[1].substr(lines[1].size() - 11), "x4294967295");
    EXPECT_EQ(lines[2].size(), 9971u);
    EXPECT_EQ(lines[2].back(), 'x');
}

TEST_F(LoggerTest, StampsAcrossMidnightStayInTheOpeningDaysFile)
{
    ASSERT_EQ(logger_.ParseAndStartLogger(DefaultConfigText()), E_SUCCESS);
    SetFakeTime(2025, 12, 19, 23, 59, 59, 999);
    ASSERT_TRUE(Push(logger_, 0, PRIORITY_INFO, "late"));
    SetFakeTime(2025, 12, 20, 0, 0, 0, 0);
    ASSERT_TRUE(Push(logger_, 0, PRIORITY_INFO, "early"));
    ASSERT_EQ(logger_.StopLogger(), E_SUCCESS);
    EXPECT_EQ(ReadFile("datadb/log/20251219.log"), "[20251219 23:59:59.999] late\r\n[20251220 00:00:00.000] early\r\n");
    EXPECT_FALSE(fs::exists("datadb/log/20251220.log"));
}

TEST_F(LoggerTest, FullRingBlocksProducerUntilConsumerFreesASlot)
{
    ASSERT_EQ(logger_.ParseAndStartLogger(DefaultConfigText()), E_SUCCESS);
    std::vector<LogRecord*> held;
    for (int i = 0; i < kRingSize - 1; ++i) {
        LogRecord* record = logger_.OpenRecord(0, PRIORITY_INFO);
        ASSERT_NE(record, nullptr) << i;
        Logger::Append(record, "held " + std::to_string(i));
        held.push_back(record);
    }
    std::atomic<bool> opened{false};
    std::thread producer([&] {
        LogRecord* record = logger_.OpenRecord(0, PRIORITY_INFO);
        opened = true;
        if (record != nullptr) {
            Logger::Append(record, "late producer");
            logger_.SubmitRecord(record);
        }
    });
    ASSERT_TRUE(WaitFor([&] { return logger_.producersWaiting(0) == 1; }));
    EXPECT_FALSE(opened.load());
    logger_.SubmitRecord(held[0]);
    bool unblocked = WaitFor([&] { return opened.load(); });
    for (size_t i = 1; i < held.size(); ++i)
        logger_.SubmitRecord(held[i]);
    producer.join();
    ASSERT_TRUE(unblocked);
    ASSERT_EQ(logger_.StopLogger(), E_SUCCESS);
    auto lines = ReadLines("datadb/log/20251219.log");
    ASSERT_EQ(lines.size(), static_cast<size_t>(kRingSize));
    EXPECT_EQ(lines[0], "[20251219 10:00:00.123] held 0");
    EXPECT_EQ(lines[kRingSize - 1], "[20251219 10:00:00.123] late producer");
}

TEST_F(LoggerTest, FailingFileDropsItsLinesWithoutHoldingProducers)
{
    testsupport::WriteFile("blocked", "a file where the directory should be");
    ASSERT_EQ(logger_.ParseAndStartLogger(kTwoFiles), E_SUCCESS);
    // Three times the ring: the producer would hang if the failing device held records.
    const int count = 3 * kRingSize;
    for (int i = 0; i < count; ++i)
        ASSERT_TRUE(Push(logger_, 0, PRIORITY_INFO, "line " + std::to_string(i)));
    ASSERT_TRUE(WaitFor([&] { return logger_.fileDevice(0, 1)->lastFailureReason() == OPEN_FAILED; }));
    fs::remove("blocked");
    ASSERT_TRUE(Push(logger_, 0, PRIORITY_INFO, "still within five seconds"));
    gFakeSec += 5;
    ASSERT_TRUE(Push(logger_, 0, PRIORITY_INFO, "after the wait"));
    ASSERT_EQ(logger_.StopLogger(), E_SUCCESS);

    auto all = ReadLines("ok/all.log");
    ASSERT_EQ(all.size(), static_cast<size_t>(count + 2));
    EXPECT_EQ(all[count - 1], "[20251219 10:00:00.123] line " + std::to_string(count - 1));
    auto err = ReadLines("blocked/err.log");
    ASSERT_EQ(err.size(), 1u);
    EXPECT_EQ(err[0], "[20251219 10:00:05.123] after the wait");
}

TEST_F(LoggerTest, SyncChannelWritesOnTheSubmittingThread)
{
    ASSERT_EQ(logger_.ParseAndStartLogger(" - channel: 0\n    sync: sync\n    -device: 0\n"
                                          "        disable: false\n        out_type: file\n"
                                          "        file: \"s\"\n"
                                          "    -device: 1\n        disable: false\n        out_type: screen\n"
                                          "        priority: error\n"),
              E_SUCCESS);
    EXPECT_FALSE(logger_.hasChannelThread(0));
    ASSERT_TRUE(Push(logger_, 0, PRIORITY_INFO, "quiet"));
    EXPECT_EQ(ReadFile("s.log"), "[20251219 10:00:00.123] quiet\r\n") << "written and flushed before returning";
    testing::internal::CaptureStdout();
    ASSERT_TRUE(Push(logger_, 0, PRIORITY_ERROR, "loud"));
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "[20251219 10:00:00.123] loud\r\n");
    EXPECT_EQ(logger_.StopLogger(), E_SUCCESS);
}
