// Moves 10 million tasks from one producer thread to one consumer thread, once through
// the pool's task ring and once through a mutex + condition-variable queue, and prints
// the tasks per second of each (median of several rounds).
//
//   epool_ring_bench [tasks] [rounds]

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "epool/taskqueue.h"

namespace {

using epool::EpoolTask;
using Clock = std::chrono::steady_clock;

EpoolTask MakeTask(std::uint64_t i)
{
    EpoolTask task;
    task.work = [i](std::uint16_t, void*) { return static_cast<std::int32_t>(i & 0xFF); };
    return task;
}

// Bounded like the ring (1024 pending tasks), so both queues apply back-pressure alike.
class LockedQueue {
public:
    void Push(EpoolTask&& task)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        notFull_.wait(lock, [&] { return tasks_.size() < 1024; });
        tasks_.push_back(std::move(task));
        lock.unlock();
        notEmpty_.notify_one();
    }
    EpoolTask Pop()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        notEmpty_.wait(lock, [&] { return !tasks_.empty(); });
        EpoolTask task = std::move(tasks_.front());
        tasks_.pop_front();
        lock.unlock();
        notFull_.notify_one();
        return task;
    }

private:
    std::mutex mutex_;
    std::condition_variable notEmpty_;
    std::condition_variable notFull_;
    std::deque<EpoolTask> tasks_;
};

double RunRing(std::uint64_t count, std::int64_t& checksum)
{
    auto ring = std::make_unique<epool::TaskQueue>();
    const auto start = Clock::now();
    std::thread producer([&] {
        for (std::uint64_t i = 0; i < count; ++i) {
            EpoolTask task = MakeTask(i);
            while (!ring->Enqueue(std::move(task)))
                std::this_thread::yield();
        }
    });
    std::int64_t sum = 0;
    EpoolTask task;
    for (std::uint64_t taken = 0; taken < count;) {
        if (ring->Dequeue(task)) {
            sum += task.work(task.tag, task.arg);
            ++taken;
        } else {
            std::this_thread::yield();
        }
    }
    producer.join();
    checksum = sum;
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double RunLocked(std::uint64_t count, std::int64_t& checksum)
{
    LockedQueue queue;
    const auto start = Clock::now();
    std::thread producer([&] {
        for (std::uint64_t i = 0; i < count; ++i)
            queue.Push(MakeTask(i));
    });
    std::int64_t sum = 0;
    for (std::uint64_t taken = 0; taken < count; ++taken) {
        EpoolTask task = queue.Pop();
        sum += task.work(task.tag, task.arg);
    }
    producer.join();
    checksum = sum;
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::uint64_t count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 10'000'000ull;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    std::vector<double> ringRates;
    std::vector<double> lockedRates;
    for (int r = 0; r < rounds; ++r) {
        std::int64_t ringSum = 0;
        std::int64_t lockedSum = 0;
        const double ringSeconds = RunRing(count, ringSum);
        const double lockedSeconds = RunLocked(count, lockedSum);
        if (ringSum != lockedSum) {
            std::fprintf(stderr, "checksums differ: %lld vs %lld\n", static_cast<long long>(ringSum),
                         static_cast<long long>(lockedSum));
            return 1;
        }
        ringRates.push_back(static_cast<double>(count) / ringSeconds);
        lockedRates.push_back(static_cast<double>(count) / lockedSeconds);
        std::printf("round %d: ring %.2f M tasks/s, mutex+cv %.2f M tasks/s\n", r, ringRates.back() / 1e6,
                    lockedRates.back() / 1e6);
    }
    const double ring = Median(ringRates);
    const double locked = Median(lockedRates);
    std::printf("median of %d rounds, %llu tasks each: ring %.2f M tasks/s, mutex+cv %.2f M tasks/s (%.2fx)\n", rounds,
                static_cast<unsigned long long>(count), ring / 1e6, locked / 1e6, ring / locked);
    return 0;
}
