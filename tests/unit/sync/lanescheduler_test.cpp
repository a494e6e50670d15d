// The hand-out of a run's lanes to its threads; natively under ThreadSanitizer.
#include "syncfolderapp/sync/lanescheduler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace {

TEST(LaneScheduler, LanesStartInPlanOrderWithinTheLimitsOfEachMachineAndOfAll)
{
    CLaneScheduler scheduler({L"\\\\A", L"\\\\A", L"\\\\A", L"\\\\B", L"", L"\\\\C"}, LaneLimits{2, 4});
    EXPECT_EQ(scheduler.Workers(), 4u);
    EXPECT_EQ(scheduler.Take(), 0u);
    EXPECT_EQ(scheduler.Take(), 1u);
    EXPECT_EQ(scheduler.Take(), 3u) << "\\\\A has its two lanes: the next machine's lane goes first";
    EXPECT_EQ(scheduler.Take(), 4u);
    scheduler.Done(0);
    EXPECT_EQ(scheduler.Take(), 2u) << "a place on \\\\A is free again, and its lane comes first";
    scheduler.Done(3);
    EXPECT_EQ(scheduler.Take(), 5u);
    EXPECT_EQ(scheduler.Take(), std::nullopt) << "every lane started";

    EXPECT_EQ(CLaneScheduler({L"", L"\\\\A"}, LaneLimits{}).Workers(), 2u);
    EXPECT_EQ(CLaneScheduler({L"", L"\\\\A"}, LaneLimits{0, 0}).Workers(), 1u) << "a limit of 0 counts as 1";
    EXPECT_EQ(CLaneScheduler({}, LaneLimits{}).Take(), std::nullopt);
}

// More threads than the limit take lanes of three machines and the local one; at no time
// run more lanes than the limits allow, and every lane runs once.
TEST(LaneScheduler, ManyThreadsNeverRunMoreLanesThanTheLimitsAndEveryLaneOnce)
{
    std::vector<std::wstring> hosts;
    for (int i = 0; i < 60; ++i)
        hosts.push_back(i % 10 == 0 ? L"" : i % 3 == 0 ? L"\\\\A" : i % 3 == 1 ? L"\\\\B" : L"\\\\C");
    const LaneLimits limits{3, 7};
    CLaneScheduler scheduler(hosts, limits);

    std::mutex mutex;
    std::map<std::wstring, std::size_t> running;
    std::size_t runningTotal = 0;
    std::size_t mostTotal = 0;
    std::size_t mostOnOneHost = 0;
    std::vector<std::atomic<int>> runs(hosts.size());
    std::vector<std::thread> threads;
    for (int t = 0; t < 12; ++t) {
        threads.emplace_back([&] {
            while (const std::optional<std::size_t> lane = scheduler.Take()) {
                {
                    const std::lock_guard<std::mutex> held(mutex);
                    mostOnOneHost = std::max(mostOnOneHost, ++running[hosts[*lane]]);
                    mostTotal = std::max(mostTotal, ++runningTotal);
                }
                ++runs[*lane];
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                {
                    const std::lock_guard<std::mutex> held(mutex);
                    --running[hosts[*lane]];
                    --runningTotal;
                }
                scheduler.Done(*lane);
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_LE(mostTotal, limits.total);
    EXPECT_LE(mostOnOneHost, limits.perHost);
    for (std::size_t lane = 0; lane < hosts.size(); ++lane)
        EXPECT_EQ(runs[lane].load(), 1) << "lane " << lane;
}

}  // namespace
