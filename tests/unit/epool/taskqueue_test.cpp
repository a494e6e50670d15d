#include "epool/taskqueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

namespace {

using epool::EpoolTask;
using epool::SequencedRing;
using epool::TaskQueue;

// Counts live instances so that leaks and double destruction show.
struct Tracked {
    static std::atomic<int> live;
    int value = 0;
    Tracked() { ++live; }
    explicit Tracked(int v) : value(v) { ++live; }
    Tracked(Tracked&& other) noexcept : value(other.value) { ++live; }
    Tracked& operator=(Tracked&& other) noexcept
    {
        value = other.value;
        return *this;
    }
    ~Tracked() { --live; }
};
std::atomic<int> Tracked::live{0};

TEST(TaskRing, HoldsExactly1024TasksAndRefusesTheNext)
{
    auto queue = std::make_unique<TaskQueue>();
    for (int i = 0; i < 1024; ++i)
        ASSERT_TRUE(queue->Enqueue(EpoolTask{})) << "cell " << i;

    int doneCalls = 0;
    EpoolTask extra;
    extra.done = [&doneCalls](std::uint16_t, void*) { ++doneCalls; };
    EXPECT_FALSE(queue->Enqueue(std::move(extra)));
    ASSERT_TRUE(extra.done) << "a refused task stays with the caller";
    extra.done(0, nullptr);
    EXPECT_EQ(doneCalls, 1);

    EpoolTask out;
    ASSERT_TRUE(queue->Dequeue(out));
    EXPECT_TRUE(queue->Enqueue(EpoolTask{})) << "one cell freed, one task fits again";
    EXPECT_FALSE(queue->Enqueue(EpoolTask{}));
}

TEST(TaskRing, EmptyRingRefusesToDequeue)
{
    SequencedRing<int, 4> ring;
    int out = -1;
    EXPECT_FALSE(ring.Dequeue(out));
    ASSERT_TRUE(ring.Enqueue(7));
    ASSERT_TRUE(ring.Dequeue(out));
    EXPECT_EQ(out, 7);
    EXPECT_FALSE(ring.Dequeue(out));
}

TEST(TaskRing, MoveOnlyValuesPassThrough)
{
    SequencedRing<std::unique_ptr<int>, 4> ring;
    ASSERT_TRUE(ring.Enqueue(std::make_unique<int>(41)));
    auto kept = std::make_unique<int>(5);
    ASSERT_TRUE(ring.Enqueue(std::move(kept)));
    EXPECT_EQ(kept, nullptr);
    std::unique_ptr<int> out;
    ASSERT_TRUE(ring.Dequeue(out));
    EXPECT_EQ(*out, 41);
    ASSERT_TRUE(ring.Dequeue(out));
    EXPECT_EQ(*out, 5);
}

TEST(TaskRing, ValuesLeftInTheRingAreDestroyedWithIt)
{
    Tracked::live = 0;
    {
        SequencedRing<Tracked, 8> ring;
        for (int i = 0; i < 8; ++i)
            ASSERT_TRUE(ring.Enqueue(Tracked(i)));
        EXPECT_EQ(Tracked::live.load(), 8);
        Tracked out;
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(ring.Dequeue(out));
        EXPECT_EQ(out.value, 2);
        EXPECT_EQ(Tracked::live.load(), 5 + 1);
    }
    EXPECT_EQ(Tracked::live.load(), 0);
}

TEST(TaskRing, CapturedStateIsReleasedWhenATaskLeavesTheRing)
{
    auto owner = std::make_shared<int>(1);
    {
        auto queue = std::make_unique<TaskQueue>();
        EpoolTask task;
        task.work = [owner](std::uint16_t, void*) { return *owner; };
        ASSERT_TRUE(queue->Enqueue(std::move(task)));
        EXPECT_EQ(owner.use_count(), 2);
    }
    EXPECT_EQ(owner.use_count(), 1) << "the queue's destruction frees what a queued task holds";
}

TEST(TaskRing, PositionsWrapPast32Bits)
{
    // Start a few operations before the 32-bit positions overflow.
    SequencedRing<int, 4> ring(0xFFFFFFFDu);
    int next = 0;
    int expected = 0;
    for (int round = 0; round < 6; ++round) {
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(ring.Enqueue(int(next++))) << "round " << round;
        EXPECT_FALSE(ring.Enqueue(-1)) << "full in round " << round;
        for (int i = 0; i < 4; ++i) {
            int out = -1;
            ASSERT_TRUE(ring.Dequeue(out));
            EXPECT_EQ(out, expected++);
        }
        int out = -1;
        EXPECT_FALSE(ring.Dequeue(out)) << "empty in round " << round;
    }
}

TEST(TaskRing, ManyProducersOneConsumerLoseAndDuplicateNothing)
{
    constexpr int kProducers = 4;
    constexpr std::uint64_t kPerProducer = 20000;
    auto queue = std::make_unique<SequencedRing<std::uint64_t, 64>>();
    std::atomic<int> producersLeft{kProducers};

    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([&, p] {
            for (std::uint64_t i = 1; i <= kPerProducer; ++i) {
                std::uint64_t value = (static_cast<std::uint64_t>(p) << 32) | i;
                while (!queue->Enqueue(std::move(value)))
                    std::this_thread::yield();
            }
            --producersLeft;
        });
    }

    std::uint64_t sum = 0;
    std::uint64_t taken = 0;
    std::vector<std::uint64_t> lastSeen(kProducers, 0);
    bool ordered = true;
    auto take = [&](std::uint64_t value) {
        const auto producer = static_cast<std::size_t>(value >> 32);
        const std::uint64_t seq = value & 0xFFFFFFFFu;
        ordered = ordered && seq == lastSeen[producer] + 1;
        lastSeen[producer] = seq;
        sum += seq;
        ++taken;
    };
    for (;;) {
        std::uint64_t value = 0;
        if (queue->Dequeue(value)) {
            take(value);
        } else if (producersLeft.load() == 0) {
            // Every producer has finished: what is left is all there will be.
            while (queue->Dequeue(value))
                take(value);
            break;
        } else {
            std::this_thread::yield();
        }
    }
    for (auto& t : producers)
        t.join();

    EXPECT_EQ(taken, kProducers * kPerProducer);
    EXPECT_EQ(sum, kProducers * (kPerProducer * (kPerProducer + 1) / 2));
    EXPECT_TRUE(ordered) << "each producer's values must come out in its own order";
}

TEST(TaskRing, TaskCallablesSurviveTheCrossThreadHandOver)
{
    auto queue = std::make_unique<TaskQueue>();
    constexpr int kTasks = 5000;
    std::thread producer([&] {
        for (int i = 1; i <= kTasks; ++i) {
            EpoolTask task;
            task.tag = static_cast<std::uint16_t>(i & 0xFFFF);
            task.work = [i, payload = std::make_shared<int>(i)](std::uint16_t, void*) { return *payload + i; };
            while (!queue->Enqueue(std::move(task)))
                std::this_thread::yield();
        }
    });
    int seen = 0;
    long long sum = 0;
    while (seen < kTasks) {
        EpoolTask task;
        if (!queue->Dequeue(task)) {
            std::this_thread::yield();
            continue;
        }
        sum += task.work(task.tag, task.arg);
        ++seen;
    }
    producer.join();
    EXPECT_EQ(sum, 2LL * kTasks * (kTasks + 1) / 2);
}

}  // namespace
