// Many producers on one async channel, and start/stop/start again; built for
// ThreadSanitizer in the native build.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "logengine/defaultconfig.h"
#include "logengine/logger.h"
#include "tests/support/files.h"
#include "workdir.h"

using namespace FNLog;

namespace {

// Pushes `count` lines "t<id> <n>" and checks afterwards that each producer's lines are
// all there, once each and in order.
void RunProducers(Logger& logger, int producers, int count)
{
    std::vector<std::thread> threads;
    for (int t = 0; t < producers; ++t) {
        threads.emplace_back([&logger, t, count] {
            for (int n = 0; n < count; ++n) {
                LogRecord* record = logger.OpenRecord(0, n % 7 == 0 ? PRIORITY_ERROR : PRIORITY_INFO);
                ASSERT_NE(record, nullptr);
                Logger::Append(record, "t" + std::to_string(t) + " ");
                Logger::AppendNumber(record, static_cast<uint64_t>(n));
                logger.SubmitRecord(record);
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
}

void CheckLines(const std::vector<std::string>& lines, int producers, int rounds, int count)
{
    std::vector<std::vector<int>> seen(static_cast<size_t>(producers));
    for (const std::string& line : lines) {
        ASSERT_GT(line.size(), 25u);
        std::string body = line.substr(24);
        size_t blank = body.find(' ');
        int t = std::stoi(body.substr(1, blank - 1));
        int n = std::stoi(body.substr(blank + 1));
        ASSERT_GE(t, 0);
        ASSERT_LT(t, producers);
        seen[static_cast<size_t>(t)].push_back(n);
    }
    for (int t = 0; t < producers; ++t) {
        const std::vector<int>& numbers = seen[static_cast<size_t>(t)];
        ASSERT_EQ(numbers.size(), static_cast<size_t>(rounds * count)) << "producer " << t;
        for (size_t i = 0; i < numbers.size(); ++i)
            ASSERT_EQ(numbers[i], static_cast<int>(i % static_cast<size_t>(count)))
                << "producer " << t << " line " << i;
    }
}

}  // namespace

TEST(LoggerStress, ManyProducersLoseNoLine)
{
    logtest::WorkDir dir;
    Logger logger;
    ASSERT_EQ(logger.ParseAndStartLogger(DefaultConfigText()), E_SUCCESS);
    const int producers = 6, count = 20000;
    RunProducers(logger, producers, count);
    ASSERT_EQ(logger.StopLogger(), E_SUCCESS);
    auto names = testsupport::ListNames("datadb/log");
    ASSERT_EQ(names.size(), 2u);
    CheckLines(testsupport::ReadLines("datadb/log/" + names[0]), producers, 1, count);
    auto errors = testsupport::ReadLines("datadb/log/" + names[1]);
    EXPECT_EQ(errors.size(), static_cast<size_t>(producers * ((count + 6) / 7)));
}

TEST(LoggerStress, StartStopStartKeepsEveryRound)
{
    logtest::WorkDir dir;
    Logger logger;
    const int producers = 3, count = 3000, rounds = 4;
    for (int round = 0; round < rounds; ++round) {
        ASSERT_EQ(logger.ParseAndStartLogger(DefaultConfigText()), E_SUCCESS) << round;
        RunProducers(logger, producers, count);
        ASSERT_EQ(logger.StopLogger(), E_SUCCESS) << round;
    }
    auto names = testsupport::ListNames("datadb/log");
    ASSERT_GE(names.size(), 1u);
    CheckLines(testsupport::ReadLines("datadb/log/" + names[0]), producers, rounds, count);
}

TEST(LoggerStress, ProducersRacingAStopAreRefusedNotStuck)
{
    logtest::WorkDir dir;
    Logger logger;
    ASSERT_EQ(logger.ParseAndStartLogger(DefaultConfigText()), E_SUCCESS);
    std::atomic<bool> go{true};
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&] {
            while (go.load()) {
                LogRecord* record = logger.OpenRecord(0, PRIORITY_INFO);
                if (record == nullptr)
                    break;
                Logger::Append(record, "racing");
                logger.SubmitRecord(record);
            }
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(logger.StopLogger(), E_SUCCESS);
    for (std::thread& thread : threads)
        thread.join();
    go = false;
    for (const std::string& line : testsupport::ReadLines("datadb/log/" + testsupport::ListNames("datadb/log")[0]))
        ASSERT_EQ(line.substr(23), " racing");
}
