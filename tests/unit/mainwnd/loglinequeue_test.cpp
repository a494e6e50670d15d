#include "syncfolderapp/mainwnd/loglinequeue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Lines = std::vector<std::wstring>;

TEST(LogLineQueue, OneSyncNotificationAtATimeAndOneForEveryErrorLine)
{
    LogLineQueue queue;
    EXPECT_TRUE(queue.Push(LogKind::Sync, L"s1"));
    EXPECT_FALSE(queue.Push(LogKind::Sync, L"s2")) << "a sync notification is still outstanding";
    EXPECT_TRUE(queue.Push(LogKind::Error, L"e1"));
    EXPECT_TRUE(queue.Push(LogKind::Error, L"e2"));

    // Each drain takes only its own kind, oldest first, and answers the sync notification.
    EXPECT_EQ(queue.TryTakeAll(LogKind::Sync), Lines({L"s1", L"s2"}));
    EXPECT_EQ(queue.TryTakeAll(LogKind::Sync), Lines{});
    EXPECT_TRUE(queue.Push(LogKind::Sync, L"s3"));
    EXPECT_EQ(queue.TryTakeAll(LogKind::Error), Lines({L"e1", L"e2"}));
    // Any drain answers it, as the window resets the flag at the start of every drain.
    EXPECT_TRUE(queue.Push(LogKind::Sync, L"s4"));
    EXPECT_EQ(queue.TryTakeAll(LogKind::Sync), Lines({L"s3", L"s4"}));
}

TEST(LogLineQueue, WhileTheWorkerHoldsTheLockTheWindowTakesNothingAndLinesStay)
{
    LogLineQueue queue;
    queue.Push(LogKind::Sync, L"waiting");
    std::atomic<bool> holding{false};
    std::atomic<bool> release{false};
    std::thread worker([&] {
        const auto held = queue.TryHold();
        holding = static_cast<bool>(held);
        while (!release)
            std::this_thread::yield();
    });
    while (!holding)
        std::this_thread::yield();

    EXPECT_EQ(queue.TryTakeAll(LogKind::Sync), std::nullopt);
    EXPECT_FALSE(queue.TryHold());
    release = true;
    worker.join();
    // The refused drain still answered the notification, so the next line announces itself.
    EXPECT_TRUE(queue.Push(LogKind::Sync, L"next"));
    EXPECT_EQ(queue.TryTakeAll(LogKind::Sync), Lines({L"waiting", L"next"}));
}

// Producers on their own threads against a window thread that drains on each
// notification it "receives" and once more at the end, as the end of a run does.
struct HandOffResult {
    std::vector<Lines> received;  // by producer
    int mostSyncOutstanding = 0;
};

HandOffResult RunAgainstWindow(const std::vector<LogKind>& producers, int linesEach)
{
    LogLineQueue queue;
    std::atomic<int> syncOutstanding{0};
    std::atomic<int> errorOutstanding{0};
    std::atomic<int> mostSyncOutstanding{0};
    std::atomic<int> producersDone{0};
    const auto produce = [&](LogKind kind, int id) {
        for (int n = 0; n < linesEach; ++n) {
            if (!queue.Push(kind, std::to_wstring(id) + L":" + std::to_wstring(n)))
                continue;
            if (kind == LogKind::Error) {
                ++errorOutstanding;
                continue;
            }
            const int now = ++syncOutstanding;
            int most = mostSyncOutstanding.load();
            while (now > most && !mostSyncOutstanding.compare_exchange_weak(most, now)) {}
        }
        ++producersDone;
    };

    HandOffResult result;
    result.received.resize(producers.size());
    const auto keep = [&](const std::optional<Lines>& taken) {
        for (const std::wstring& line : taken.value_or(Lines{}))
            result.received[static_cast<size_t>(std::stoi(line))].push_back(line);
    };
    std::vector<std::thread> threads;
    for (size_t id = 0; id < producers.size(); ++id)
        threads.emplace_back(produce, producers[id], static_cast<int>(id));
    while (producersDone < static_cast<int>(producers.size())) {
        // A notification leaves the window's queue before its handler drains.
        if (syncOutstanding > 0) {
            --syncOutstanding;
            keep(queue.TryTakeAll(LogKind::Sync));
        }
        if (errorOutstanding > 0) {
            --errorOutstanding;
            keep(queue.TryTakeAll(LogKind::Error));
        }
    }
    for (std::thread& t : threads)
        t.join();
    keep(queue.TryTakeAll(LogKind::Sync));
    keep(queue.TryTakeAll(LogKind::Error));
    result.mostSyncOutstanding = mostSyncOutstanding.load();
    return result;
}

// Every line arrives once and in its producer's order.
void ExpectAllInOrder(const HandOffResult& result, int linesEach)
{
    for (size_t id = 0; id < result.received.size(); ++id) {
        const Lines& got = result.received[id];
        ASSERT_EQ(got.size(), static_cast<size_t>(linesEach)) << "producer " << id;
        for (int n = 0; n < linesEach; ++n)
            ASSERT_EQ(got[static_cast<size_t>(n)], std::to_wstring(id) + L":" + std::to_wstring(n));
    }
}

TEST(LogLineQueue, SyncLinesFromTwoThreadsKeepOneNotificationOutstanding)
{
    const HandOffResult result = RunAgainstWindow({LogKind::Sync, LogKind::Sync}, 20000);
    ExpectAllInOrder(result, 20000);
    EXPECT_EQ(result.mostSyncOutstanding, 1);
}

TEST(LogLineQueue, SyncAndErrorLinesTogetherLoseNothing)
{
    ExpectAllInOrder(RunAgainstWindow({LogKind::Sync, LogKind::Error, LogKind::Sync}, 20000), 20000);
}

}  // namespace
