#pragma once

// The hand-off of a run's result lines from the worker to the window thread: one queue
// per log list behind one lock. The lanes of a run push lines at the same time and wait
// for the lock; the window thread only tries it, so it never blocks on them, and lines it
// cannot take at once stay queued for a later drain.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "syncfolderapp/sync/syncmessages.h"
#ifdef _WIN32
#include "syncfolderapp/mainwnd/criticalsection_win.h"
#endif

// Which log list a line is for; the value is the wParam of UM_LOG_NOTIFY.
enum class LogKind : unsigned {
    Sync = LOG_NOTIFY_SYNC,
    Error = LOG_NOTIFY_ERROR,
};

template <typename Lock>
class BasicLogLineQueue {
public:
    // Any lane: queues `line`, waiting for the lock if need be. True when the caller is to
    // post UM_LOG_NOTIFY for this kind: for every error line, and for a sync line only when
    // no sync notification is outstanding, so that at most one waits in the window's queue
    // whichever lanes push.
    bool Push(LogKind kind, std::wstring line)
    {
        {
            std::lock_guard<Lock> held(lock);
            Lines(kind).push_back(std::move(line));
        }
        if (kind == LogKind::Error)
            return true;
        std::uint8_t idle = 0;
        return logNotifyPending.compare_exchange_strong(idle, 1);
    }

    // Window thread: answers the outstanding sync notification, then takes every line of
    // `kind`, oldest first, if the lock is free at once. Nothing when the worker holds it:
    // the lines stay queued.
    std::optional<std::vector<std::wstring>> TryTakeAll(LogKind kind)
    {
        logNotifyPending = 0;
        const std::unique_lock<Lock> held = TryHold();
        if (!held)
            return std::nullopt;
        return std::exchange(Lines(kind), {});
    }

    // Window thread: the lock if it is free at once, for the window's own additions to the
    // sync log.
    std::unique_lock<Lock> TryHold() { return std::unique_lock<Lock>(lock, std::try_to_lock); }

private:
    std::vector<std::wstring>& Lines(LogKind kind) { return kind == LogKind::Sync ? syncLogQueue : errorLogQueue; }

    Lock lock;
    std::vector<std::wstring> syncLogQueue;
    std::vector<std::wstring> errorLogQueue;
    std::atomic<std::uint8_t> logNotifyPending{0};
};

// The controller's lock: a critical section on Windows, a standard mutex elsewhere (so
// that the queue runs natively under ThreadSanitizer).
#ifdef _WIN32
using LogLineQueue = BasicLogLineQueue<CriticalSection>;
#else
using LogLineQueue = BasicLogLineQueue<std::mutex>;
#endif
