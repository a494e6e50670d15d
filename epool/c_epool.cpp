#include "epool/c_epool.h"

#include <process.h>

namespace epool {
namespace {

// What wakes WaitThreadPumping besides the thread's end: any input, posted or sent
// message, timer, paint or hot key (the value of QS_ALLINPUT on Windows 8 and later).
constexpr UINT kPumpWakeMask = 0x1CFF;
static_assert(kPumpWakeMask == QS_ALLINPUT, "the pumping wait wakes for every kind of message");

}  // namespace

c_epool::~c_epool()
{
    Shutdown();
}

bool c_epool::Start()
{
    if (!stopEvent && !workEvent) {
        stopEvent.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        workEvent.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        if (!stopEvent || !workEvent) {
            // Without both events a worker could never be woken or ended.
            CloseEvents();
            return false;
        }
    } else {
        ResetEvent(stopEvent.Get());
        ResetEvent(workEvent.Get());
    }
    handles = {stopEvent.Get(), workEvent.Get()};
    if (thread)
        return true;

    running.store(true, std::memory_order_release);
    const uintptr_t started = _beginthreadex(nullptr, 0, &c_epool::WorkerMain, this, 0, nullptr);
    if (started == 0) {
        running.store(false, std::memory_order_release);
        return false;
    }
    thread.Reset(reinterpret_cast<HANDLE>(started));
    return true;
}

bool c_epool::Post(WorkFn work, DoneFn done)
{
    EpoolTask task;
    task.tag = 0;
    task.arg = nullptr;
    task.work = std::move(work);
    task.done = std::move(done);

    if (thread && running.load(std::memory_order_acquire) && queue.Enqueue(std::move(task))) {
        if (workEvent)
            SetEvent(workEvent.Get());
        return true;
    }
    // Refused: the task was not moved into the ring, so its done is still here.
    task.work = nullptr;
    if (task.done)
        task.done(0, nullptr);
    return false;
}

void c_epool::Stop()
{
    running.store(false, std::memory_order_release);
    if (stopEvent)
        SetEvent(stopEvent.Get());
    if (thread) {
        WaitThreadPumping(thread.Get());
        thread.Reset();
    }
}

void c_epool::Shutdown()
{
    Stop();
    CloseEvents();
    EpoolTask task;
    while (queue.Dequeue(task)) {
        DropTask(task.tag, task.arg);
        task = EpoolTask{};
    }
}

void c_epool::CloseEvents()
{
    handles = {};
    stopEvent.Reset();
    workEvent.Reset();
}

void c_epool::DropTask(std::uint16_t, void*)
{
}

unsigned __stdcall c_epool::WorkerMain(void* param)
{
    static_cast<c_epool*>(param)->RunWorker();
    return 1;
}

void c_epool::RunWorker()
{
    while (running.load(std::memory_order_acquire)) {
        const DWORD result = WaitForMultipleObjects(handleCount, handles.data(), FALSE, INFINITE);
        if (result == WAIT_OBJECT_0) {
            ResetEvent(handles[0]);
            return;
        }
        if (result == WAIT_OBJECT_0 + 1) {
            // Reset before draining: a task posted during the drain is either taken by
            // it or sets the event again, so none waits while the worker sleeps.
            ResetEvent(handles[1]);
            DrainQueue();
        }
    }
}

void c_epool::DrainQueue()
{
    EpoolTask task;
    while (queue.Dequeue(task)) {
        if (!running.load(std::memory_order_acquire)) {
            task = EpoolTask{};
            return;
        }
        if (task.work)
            task.work(task.tag, task.arg);
        if (task.done)
            task.done(task.tag, task.arg);
        // Release what the callables hold before waiting for the next task.
        task = EpoolTask{};
    }
}

void WaitThreadPumping(HANDLE thread)
{
    bool quitSeen = false;
    WPARAM quitCode = 0;
    for (;;) {
        const DWORD result = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, kPumpWakeMask);
        if (result != WAIT_OBJECT_0 + 1)
            break;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // Kept for the caller's message loop, which would otherwise never end.
                quitSeen = true;
                quitCode = msg.wParam;
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (quitSeen)
        PostQuitMessage(static_cast<int>(quitCode));
}

}  // namespace epool
