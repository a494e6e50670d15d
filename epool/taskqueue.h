#pragma once

// Bounded multi-producer/multi-consumer ring of tasks for the worker pool.
// Algorithm: the sequence-numbered bounded ring (every cell carries its own sequence
// counter; producers and consumers meet only in a compare-and-swap on their position).

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <new>
#include <type_traits>
#include <utility>

namespace epool {

// One unit of work. Both callables receive (tag, arg); either may be empty.
struct EpoolTask {
    std::uint16_t tag = 0;
    void* arg = nullptr;
    std::function<std::int32_t(std::uint16_t, void*)> work;
    std::function<void(std::uint16_t, void*)> done;
};

inline constexpr std::size_t kCacheLine = 64;

template <typename T, std::uint32_t Capacity>
class SequencedRing {
    static_assert(Capacity >= 2, "a ring needs at least two cells");
    static_assert((Capacity & (Capacity - 1)) == 0, "capacity must be a power of two (index by mask)");
    static_assert(Capacity <= (1u << 30), "sequence differences must fit a signed 32-bit value");
    static_assert(std::is_nothrow_move_constructible_v<T>, "values are moved in and out without a way back");

public:
    static constexpr std::uint32_t kCapacity = Capacity;
    static constexpr std::uint32_t kMask = Capacity - 1;

    // `start` is the position both ends begin at; anything but 0 only serves to exercise
    // the wrap of the 32-bit positions without 2^32 operations first.
    explicit SequencedRing(std::uint32_t start = 0) noexcept : enqueuePos_(start), dequeuePos_(start)
    {
        static_assert(offsetof(SequencedRing, dequeuePos_) - offsetof(SequencedRing, enqueuePos_) == kCacheLine,
                      "the two positions must sit on separate cache lines");
        static_assert(offsetof(SequencedRing, cells_) - offsetof(SequencedRing, dequeuePos_) == kCacheLine,
                      "the dequeue position must not share its cache line with the cells");
        static_assert(sizeof(Cell) % kCacheLine == 0, "each cell must fill whole cache lines");
        for (std::uint32_t i = 0; i < Capacity; ++i)
            cells_[(start + i) & kMask].sequence.store(start + i, std::memory_order_relaxed);
    }

    // Values still queued are destroyed with the ring (no other thread may use it then).
    ~SequencedRing()
    {
        std::uint32_t pos = dequeuePos_.load(std::memory_order_relaxed);
        for (;; ++pos) {
            Cell& cell = cells_[pos & kMask];
            if (cell.sequence.load(std::memory_order_acquire) != pos + 1)
                break;
            std::launder(reinterpret_cast<T*>(cell.storage))->~T();
        }
    }

    SequencedRing(const SequencedRing&) = delete;
    SequencedRing& operator=(const SequencedRing&) = delete;

    // Moves `value` into the ring; false when the ring is full, and `value` is then
    // left as it was.
    bool Enqueue(T&& value) noexcept
    {
        std::uint32_t pos = enqueuePos_.load(std::memory_order_relaxed);
        for (;;) {
            Cell& cell = cells_[pos & kMask];
            const std::uint32_t seq = cell.sequence.load(std::memory_order_acquire);
            const auto diff = static_cast<std::int32_t>(seq - pos);
            if (diff == 0) {
                if (enqueuePos_.compare_exchange_weak(pos, pos + 1, std::memory_order_relaxed)) {
                    ::new (static_cast<void*>(cell.storage)) T(std::move(value));
                    // Published only now: a consumer never sees a half-moved value.
                    cell.sequence.store(pos + 1, std::memory_order_release);
                    return true;
                }
                // `pos` now holds the current position; try again from there.
            } else if (diff < 0) {
                return false;
            } else {
                pos = enqueuePos_.load(std::memory_order_relaxed);
            }
        }
    }

    // Moves the oldest value into `out`; false when the ring is empty.
    bool Dequeue(T& out) noexcept(std::is_nothrow_move_assignable_v<T>)
    {
        std::uint32_t pos = dequeuePos_.load(std::memory_order_relaxed);
        for (;;) {
            Cell& cell = cells_[pos & kMask];
            const std::uint32_t seq = cell.sequence.load(std::memory_order_acquire);
            const auto diff = static_cast<std::int32_t>(seq - (pos + 1));
            if (diff == 0) {
                if (dequeuePos_.compare_exchange_weak(pos, pos + 1, std::memory_order_relaxed)) {
                    T* stored = std::launder(reinterpret_cast<T*>(cell.storage));
                    out = std::move(*stored);
                    stored->~T();
                    cell.sequence.store(pos + Capacity, std::memory_order_release);
                    return true;
                }
            } else if (diff < 0) {
                return false;
            } else {
                pos = dequeuePos_.load(std::memory_order_relaxed);
            }
        }
    }

private:
    struct alignas(kCacheLine) Cell {
        std::atomic<std::uint32_t> sequence;
        alignas(T) unsigned char storage[sizeof(T)];
    };

    alignas(kCacheLine) std::atomic<std::uint32_t> enqueuePos_;
    alignas(kCacheLine) std::atomic<std::uint32_t> dequeuePos_;
    Cell cells_[Capacity];
};

// The pool's queue: 1024 task cells.
using TaskQueue = SequencedRing<EpoolTask, 1024>;

}  // namespace epool
