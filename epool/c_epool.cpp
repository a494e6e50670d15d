#include "epool/c_epool.h"

#include <process.h>

#include "common/newerapi.h"
#include "epool/pumpwakemask.h"

namespace epool {
namespace {

// The headers describe Windows 7, where QS_TOUCH and QS_POINTER do not exist yet.
static_assert(kWakeMaskWindows7 == QS_ALLINPUT, "the Windows 7 mask wakes for every kind of message it knows");
static_assert(kWakeMaskWindows8 == (QS_ALLINPUT | 0x0800 | 0x1000), "the Windows 8 mask adds touch and pointer input");

// How long the wait polls for the thread's end between two pumps when the pumped wait
// itself fails.
constexpr DWORD kPollMs = 20;

PumpWaitFunction g_pumpWait = nullptr;

// What wakes WaitThreadPumping besides the thread's end: every kind of message the
// running system knows, chosen once.
DWORD PumpWakeMask()
{
    static const DWORD mask = [] {
        const WindowsVersion& version = RunningWindowsVersion();
        return static_cast<DWORD>(PumpWakeMaskFor(version.major, version.minor));
    }();
    return mask;
}

// A WM_QUIT taken from the queue while waiting, kept for the caller's message loop,
// which would otherwise never end.
struct KeptQuit {
    bool seen = false;
    WPARAM code = 0;
};

// Dispatches the calling thread's queued messages (sent ones are served by the peek).
void PumpMessages(KeptQuit& quit)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit.seen = true;
            quit.code = msg.wParam;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// The wait for a system that refused the pumped wait: the thread's end is polled, and
// the messages pumped between polls. Returns once the thread has ended, or when even
// this wait fails.
void PollThreadPumping(HANDLE thread, KeptQuit& quit)
{
    for (;;) {
        PumpMessages(quit);
        if (WaitForSingleObject(thread, kPollMs) != WAIT_TIMEOUT)
            return;
    }
}

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
    const PumpWaitFunction wait = g_pumpWait ? g_pumpWait : &MsgWaitForMultipleObjects;
    KeptQuit quit;
    for (;;) {
        const DWORD result = wait(1, &thread, FALSE, INFINITE, PumpWakeMask());
        if (result == WAIT_OBJECT_0 + 1) {
            PumpMessages(quit);
            continue;
        }
        // A failed wait says nothing about the thread: it may well be running still.
        if (result == WAIT_FAILED)
            PollThreadPumping(thread, quit);
        break;
    }
    if (quit.seen)
        PostQuitMessage(static_cast<int>(quit.code));
}

void SetPumpWait(PumpWaitFunction wait)
{
    g_pumpWait = wait;
}

}  // namespace epool
