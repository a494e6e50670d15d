#pragma once

// The background worker pool: one worker thread taking tasks from a lock-free ring in
// posting order, woken by a manual-reset work event and ended by a stop event.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>

#include <windows.h>

#include "common/winhandle.h"
#include "epool/taskqueue.h"

namespace epool {

using WorkFn = std::function<std::int32_t(std::uint16_t, void*)>;
using DoneFn = std::function<void(std::uint16_t, void*)>;

class c_epool {
public:
    c_epool() = default;
    // Stops and shuts the pool down if its owner did not, so that no worker outlives it.
    ~c_epool();
    c_epool(const c_epool&) = delete;
    c_epool& operator=(const c_epool&) = delete;

    // Creates the events and starts the worker. False when an event or the thread could
    // not be created: the pool then has no worker and refuses every task.
    bool Start();

    // Queues a task (tag 0, arg null). False when the pool has no worker, is stopped or
    // the ring is full; `done` is then called at once on this thread with (0, null) and
    // `work` never runs.
    bool Post(WorkFn work, DoneFn done = {});

    // Ends the worker between tasks: a running task finishes, queued ones stay queued.
    // Dispatches this thread's messages while waiting. Repeated calls do nothing more.
    void Stop();

    // Stop, close the events, then discard queued tasks without calling work or done.
    void Shutdown();

    bool IsRunning() const { return running.load(std::memory_order_acquire); }

private:
    static unsigned __stdcall WorkerMain(void* param);
    void RunWorker();
    void DrainQueue();
    void CloseEvents();
    static void DropTask(std::uint16_t tag, void* arg);

    KernelHandle thread;
    int handleCount = 2;
    std::array<HANDLE, 2> handles{};  // [0] stop event, [1] work event: the wait's index; owned below
    KernelHandle workEvent;
    KernelHandle stopEvent;
    std::atomic<bool> running{false};
    TaskQueue queue;
};

// Waits until `thread` has ended while dispatching the calling thread's window
// messages, so that a thread blocked in a synchronous message to one of this thread's
// windows is served and can end. Wakes for every kind of message the running system
// knows; where the system refuses the wait, it polls for the thread's end instead.
void WaitThreadPumping(HANDLE thread);

// The wait WaitThreadPumping makes, in MsgWaitForMultipleObjects' shape. A test puts in
// one that fails, as Windows 7 fails a wake mask with bits it does not know; null puts
// MsgWaitForMultipleObjects back.
using PumpWaitFunction = DWORD(WINAPI*)(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD ms, DWORD wakeMask);
void SetPumpWait(PumpWaitFunction wait);

}  // namespace epool
