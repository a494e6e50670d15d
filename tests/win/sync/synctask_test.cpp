#include "syncfolderapp/sync/synctask.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include <windows.h>

#include "common/winhandle.h"
#include "epool/c_epool.h"
#include "syncfolderapp/sync/ctimermgr.h"
#include "syncfolderapp/sync/syncfiledriver.h"
#include "syncfolderapp/sync/syncmessages.h"
#include "tests/support/pump.h"
#include "tests/support/tempdir.h"
#include "tests/win/sync/recordingsink.h"
#include "tests/win/sync/synctestutil.h"

namespace {

// A hidden (message-only) window standing in for the main window: records each run notification and,
// through CTimerMgr, the timers it is given.
class RunWindow : public CTimerMgr {
public:
    struct Notice {
        WPARAM code;
        LPARAM count;
        bool sent;        // arrived through SendMessage from another thread
        bool engineBusy;  // the engine's state when the window handled it
    };

    explicit RunWindow(const CSyncFileDriver* watched = nullptr) : engine_(watched)
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &RunWindow::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"SyncRunTestWindow";
        RegisterClassW(&wc);
        window_ = WindowHandle(
            CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr));
        SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetTimerOwner(window_.Get());
    }
    HWND Get() const { return window_.Get(); }

    std::vector<Notice> notices;
    std::vector<UINT_PTR> ticks;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
    {
        auto* self = reinterpret_cast<RunWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && msg == UM_SYNC_NOTIFY) {
            const bool sent = (InSendMessageEx(nullptr) & ISMEX_SEND) != 0;
            self->notices.push_back({wp, lp, sent, self->engine_ && self->engine_->busy.load()});
            return 0;
        }
        if (self && msg == WM_TIMER) {
            self->ticks.push_back(wp);
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    }

    const CSyncFileDriver* engine_;
    WindowHandle window_;
};

class SyncHandOff : public ::testing::Test {
protected:
    SyncJob Job()
    {
        Put(dir.wpath(L"src\\a.txt"), "a");
        Put(dir.wpath(L"src\\b.txt"), "b");
        return SyncJob{{dir.wpath(L"src\\a.txt"), dir.wpath(L"src\\b.txt")}, {dir.wpath(L"ver")}, SameLevel, false, {}};
    }

    testsupport::TempDir dir;
    RecordingSink sink;
    CSyncFileDriver engine{&sink};
    RunWindow window{&engine};
};

TEST_F(SyncHandOff, RunEndsWithItsCountSentToTheWindow)
{
    epool::c_epool pool;
    ASSERT_TRUE(pool.Start());
    ASSERT_TRUE(PostSyncTask(pool, engine, window.Get(), Job()));
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !window.notices.empty(); }));
    pool.Shutdown();

    ASSERT_EQ(window.notices.size(), 1u);
    EXPECT_EQ(window.notices[0].code, static_cast<WPARAM>(SYNC_END));
    EXPECT_EQ(window.notices[0].count, 2);
    EXPECT_TRUE(window.notices[0].sent) << "sent from the worker, which waits for it";
    EXPECT_FALSE(window.notices[0].engineBusy) << "the run is over before the window hears of it";
    EXPECT_EQ(Get(dir.wpath(L"ver\\b.txt")), "b");
}

TEST_F(SyncHandOff, RefusedRunIsEndedAtOnceWithACountOfZero)
{
    epool::c_epool notStarted;
    EXPECT_FALSE(PostSyncTask(notStarted, engine, window.Get(), Job()));
    // Handled before the call returned, on this thread, without any pumping.
    ASSERT_EQ(window.notices.size(), 1u);
    EXPECT_EQ(window.notices[0].code, static_cast<WPARAM>(SYNC_END));
    EXPECT_EQ(window.notices[0].count, 0);

    epool::c_epool stopped;
    ASSERT_TRUE(stopped.Start());
    stopped.Stop();
    EXPECT_FALSE(PostSyncTask(stopped, engine, window.Get(), Job()));
    ASSERT_EQ(window.notices.size(), 2u);
    EXPECT_EQ(window.notices[1].count, 0);

    EXPECT_TRUE(engine.items.empty()) << "the refused run never started";
    EXPECT_FALSE(Exists(dir.wpath(L"ver")));
}

TEST_F(SyncHandOff, ShutdownServesTheEndNoticeOfARunningTask)
{
    epool::c_epool pool;
    ASSERT_TRUE(pool.Start());
    ASSERT_TRUE(PostSyncTask(pool, engine, window.Get(), Job()));
    // Without pumping, the worker ends up blocked in its end notice to this thread.
    const DWORD start = GetTickCount();
    while (engine.progress.load() != 100 || engine.busy.load()) {
        ASSERT_LT(GetTickCount() - start, 20000u) << "the run never finished";
        Sleep(1);
    }
    EXPECT_TRUE(window.notices.empty());
    pool.Shutdown();
    ASSERT_EQ(window.notices.size(), 1u);
    EXPECT_EQ(window.notices[0].count, 2);
}

TEST(TimerMgr, TimersTickOnTheOwnerAndAreKeptOncePerId)
{
    RunWindow window;
    ASSERT_TRUE(window.StartTimer(TIMER_PROGRESS));
    ASSERT_TRUE(window.StartTimer(TIMER_PROGRESS));
    ASSERT_TRUE(window.StartTimer(TIMER_SCAN_ANIM));
    ASSERT_EQ(window.TimerEntries().size(), 2u);
    EXPECT_EQ(window.TimerEntries()[0].id, TIMER_PROGRESS);
    EXPECT_EQ(window.TimerEntries()[1].id, TIMER_SCAN_ANIM);
    EXPECT_EQ(window.TimerEntries()[0].period, 100u);

    EXPECT_TRUE(testsupport::PumpUntil([&] {
        bool progress = false, anim = false;
        for (UINT_PTR id : window.ticks) {
            progress = progress || id == TIMER_PROGRESS;
            anim = anim || id == TIMER_SCAN_ANIM;
        }
        return progress && anim;
    }));

    window.StopTimer(TIMER_PROGRESS);
    EXPECT_EQ(window.TimerEntries().size(), 2u) << "a stopped timer keeps its entry";
    EXPECT_FALSE(KillTimer(window.Get(), TIMER_PROGRESS)) << "the timer was already gone";

    window.KillAllTimers();
    EXPECT_TRUE(window.TimerEntries().empty());
    EXPECT_FALSE(KillTimer(window.Get(), TIMER_SCAN_ANIM)) << "KillAllTimers stopped it";
}

}  // namespace
