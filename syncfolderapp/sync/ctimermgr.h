#pragma once

// Timer bookkeeping of the main window: every timer ticks every 100 ms on the owner
// window (WM_TIMER with the timer's id).

#include <cstdint>
#include <vector>

#include <windows.h>

inline constexpr UINT_PTR TIMER_SCAN_ANIM = 0x1400;  // loading animation during a scan
inline constexpr UINT_PTR TIMER_PROGRESS = 0x1401;   // progress refresh during a run
inline constexpr std::uint32_t TIMER_PERIOD_MS = 100;

class CTimerMgr {
public:
    struct TimerEntry {
        std::uint32_t id;
        std::uint32_t period;
    };

    // The window whose timers these are; set once it exists, before any timer starts.
    void SetTimerOwner(HWND window) { owner = window; }
    HWND TimerOwner() const { return owner; }

    // (Re)starts timer `id` with the 100 ms period; an entry is kept per id in the order
    // first started. True when the system accepted the timer.
    bool StartTimer(UINT_PTR id);

    // Stops timer `id`; its entry stays for a later StartTimer.
    void StopTimer(UINT_PTR id);

    // Stops every timer ever started and forgets them all.
    void KillAllTimers();

    const std::vector<TimerEntry>& TimerEntries() const { return timers; }

protected:
    HWND owner = nullptr;
    std::vector<TimerEntry> timers;
};
