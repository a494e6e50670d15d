#include "epool/c_epool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include <process.h>

#include "common/winhandle.h"
#include "tests/support/pump.h"

namespace {

using epool::c_epool;

constexpr DWORD kHangGuardMs = 20000;  // only against hangs

KernelHandle MakeEvent()
{
    return KernelHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
}

bool WaitFor(const KernelHandle& event)
{
    return WaitForSingleObject(event.Get(), kHangGuardMs) == WAIT_OBJECT_0;
}

// Polls `condition` on the calling thread without pumping; a guard against hangs only.
template <typename F>
bool SpinUntil(F condition)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > kHangGuardMs)
            return false;
        Sleep(1);
    }
    return true;
}

// A hidden window on the test thread that records the messages sent to it.
class TestWindow {
public:
    static constexpr UINT kPing = WM_APP + 7;

    TestWindow()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &TestWindow::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"EpoolTestWindow";
        RegisterClassW(&wc);
        window_ = WindowHandle(
            CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr));
        SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    HWND Get() const { return window_.Get(); }
    std::atomic<int> pings{0};

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
    {
        if (msg == kPing) {
            auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
            ++self->pings;
            return static_cast<LRESULT>(wp) + 1;
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    WindowHandle window_;
};

TEST(Pool_Refusal, PostBeforeStartCallsDoneAtOnceAndNeverWorks)
{
    c_epool pool;
    bool worked = false;
    DWORD doneThread = 0;
    std::uint16_t doneTag = 99;
    void* doneArg = &worked;
    const bool queued = pool.Post([&](std::uint16_t, void*) { return worked = true, 0; },
                                  [&](std::uint16_t tag, void* arg) {
                                      doneThread = GetCurrentThreadId();
                                      doneTag = tag;
                                      doneArg = arg;
                                  });
    EXPECT_FALSE(queued);
    EXPECT_FALSE(worked);
    EXPECT_EQ(doneThread, GetCurrentThreadId());
    EXPECT_EQ(doneTag, 0);
    EXPECT_EQ(doneArg, nullptr);
}

TEST(Pool_Refusal, PostAfterStopIsRefused)
{
    c_epool pool;
    ASSERT_TRUE(pool.Start());
    pool.Stop();
    pool.Stop();  // a second Stop does nothing more
    int doneCalls = 0;
    std::atomic<bool> worked{false};
    EXPECT_FALSE(
        pool.Post([&](std::uint16_t, void*) { return worked = true, 0; }, [&](std::uint16_t, void*) { ++doneCalls; }));
    EXPECT_EQ(doneCalls, 1);
    pool.Shutdown();
    EXPECT_FALSE(worked);
}

TEST(Pool_Order, TasksRunOneAtATimeInPostingOrderOnTheWorker)
{
    c_epool pool;
    ASSERT_TRUE(pool.Start());
    std::vector<int> order;
    std::atomic<int> inside{0};
    bool overlapped = false;
    DWORD workerThread = 0;
    auto finished = MakeEvent();
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(pool.Post(
            [&, i](std::uint16_t, void*) {
                overlapped = overlapped || ++inside > 1;
                workerThread = GetCurrentThreadId();
                Sleep(5);
                order.push_back(i);
                --inside;
                return 0;
            },
            [&, i](std::uint16_t, void*) {
                order.push_back(100 + i);
                if (i == 2)
                    SetEvent(finished.Get());
            }));
    }
    ASSERT_TRUE(WaitFor(finished));
    pool.Shutdown();
    EXPECT_EQ(order, (std::vector<int>{0, 100, 1, 101, 2, 102}));
    EXPECT_FALSE(overlapped);
    EXPECT_NE(workerThread, GetCurrentThreadId());
}

TEST(Pool_Capacity, With1024TasksQueuedBehindABusyWorkerTheNextIsRefused)
{
    c_epool pool;
    ASSERT_TRUE(pool.Start());
    auto started = MakeEvent();
    auto release = MakeEvent();
    ASSERT_TRUE(pool.Post([&](std::uint16_t, void*) {
        SetEvent(started.Get());
        WaitForSingleObject(release.Get(), kHangGuardMs);
        return 0;
    }));
    ASSERT_TRUE(WaitFor(started));

    std::atomic<int> ran{0};
    int refusedDone = 0;
    int accepted = 0;
    for (int i = 0; i < 1025; ++i) {
        const bool last = i == 1024;
        if (pool.Post([&](std::uint16_t, void*) { return ++ran, 0; },
                      [&, last](std::uint16_t, void*) {
                          if (last)
                              ++refusedDone;
                      }))
            ++accepted;
    }
    EXPECT_EQ(accepted, 1024);
    EXPECT_EQ(refusedDone, 1) << "the refused task's done runs at once on the posting thread";

    SetEvent(release.Get());
    EXPECT_TRUE(SpinUntil([&] { return ran.load() == 1024; }));
    pool.Shutdown();
    EXPECT_EQ(ran.load(), 1024);
}

TEST(Pool_Stop, RunningTaskFinishesAndQueuedTasksAreDiscardedUnrun)
{
    auto pool = std::make_shared<c_epool>();
    ASSERT_TRUE(pool->Start());
    auto started = MakeEvent();
    bool firstFinished = false;
    bool firstDone = false;
    ASSERT_TRUE(pool->Post(
        [&](std::uint16_t, void*) {
            SetEvent(started.Get());
            // Runs until the stop request has been made, then finishes normally.
            SpinUntil([&] { return !pool->IsRunning(); });
            firstFinished = true;
            return 0;
        },
        [&](std::uint16_t, void*) { firstDone = true; }));
    ASSERT_TRUE(WaitFor(started));

    std::atomic<int> laterCalls{0};
    auto held = std::make_shared<int>(0);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(pool->Post([&, held](std::uint16_t, void*) { return ++laterCalls, 0; },
                               [&, held](std::uint16_t, void*) { ++laterCalls; }));
    EXPECT_EQ(held.use_count(), 1 + 3 * 2);

    pool->Stop();
    EXPECT_TRUE(firstFinished);
    EXPECT_TRUE(firstDone);
    EXPECT_EQ(laterCalls.load(), 0);

    pool->Shutdown();
    EXPECT_EQ(laterCalls.load(), 0) << "discarded tasks run neither work nor done";
    EXPECT_EQ(held.use_count(), 1) << "discarded tasks are destroyed";
    pool->Shutdown();  // again: nothing left to do
}

// Each case runs with the system's pumped wait, then with one the system refuses (as
// Windows 7 refuses a wake mask with bits it does not know), which the wait survives by
// polling.
class Pool_Shutdown : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        refusedBefore = testsupport::RefusedPumpWaitCalls();
        epool::SetPumpWait(GetParam() ? &testsupport::RefusedPumpWait : nullptr);
    }
    void TearDown() override
    {
        epool::SetPumpWait(nullptr);
        EXPECT_EQ(testsupport::RefusedPumpWaitCalls() > refusedBefore, GetParam());
    }
    int refusedBefore = 0;
};

TEST_P(Pool_Shutdown, TaskBlockedInASentMessageIsServedWhileWaiting)
{
    TestWindow window;
    ASSERT_NE(window.Get(), nullptr);
    c_epool pool;
    ASSERT_TRUE(pool.Start());
    auto sending = MakeEvent();
    std::atomic<LRESULT> reply{0};
    std::atomic<bool> finished{false};
    ASSERT_TRUE(pool.Post([&](std::uint16_t, void*) {
        SetEvent(sending.Get());
        reply = SendMessageW(window.Get(), TestWindow::kPing, 41, 0);
        finished = true;
        return 0;
    }));
    ASSERT_TRUE(WaitFor(sending));
    // The test thread does not pump: only Shutdown's wait can serve the message.
    pool.Shutdown();
    EXPECT_TRUE(finished.load());
    EXPECT_EQ(window.pings.load(), 1);
    EXPECT_EQ(reply.load(), 42);
}

TEST_P(Pool_Shutdown, QuitMessageSeenWhileWaitingIsKeptForTheMessageLoop)
{
    TestWindow window;
    KernelHandle thread(reinterpret_cast<HANDLE>(_beginthreadex(
        nullptr, 0,
        [](void* param) -> unsigned {
            SendMessageW(static_cast<HWND>(param), TestWindow::kPing, 0, 0);
            return 0;
        },
        window.Get(), 0, nullptr)));
    ASSERT_TRUE(thread);
    PostQuitMessage(3);
    epool::WaitThreadPumping(thread.Get());
    EXPECT_EQ(window.pings.load(), 1);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
}

INSTANTIATE_TEST_SUITE_P(Waits, Pool_Shutdown, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& waits) {
                             return waits.param ? "WaitRefused" : "SystemWait";
                         });

TEST(Pool_Lifetime, DestroyingAStartedPoolEndsItsWorker)
{
    std::atomic<int> ran{0};
    {
        c_epool pool;
        ASSERT_TRUE(pool.Start());
        ASSERT_TRUE(pool.Post([&](std::uint16_t, void*) { return ++ran, 0; }));
        EXPECT_TRUE(SpinUntil([&] { return ran.load() == 1; }));
    }
    EXPECT_EQ(ran.load(), 1);
}

}  // namespace
