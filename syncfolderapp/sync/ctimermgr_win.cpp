#include "syncfolderapp/sync/ctimermgr.h"

bool CTimerMgr::StartTimer(UINT_PTR id)
{
    const auto key = static_cast<std::uint32_t>(id);
    bool known = false;
    for (TimerEntry& entry : timers) {
        if (entry.id == key) {
            entry.period = TIMER_PERIOD_MS;
            known = true;
            break;
        }
    }
    if (!known)
        timers.push_back({key, TIMER_PERIOD_MS});
    ::KillTimer(owner, id);
    return ::SetTimer(owner, id, TIMER_PERIOD_MS, nullptr) != 0;
}

void CTimerMgr::StopTimer(UINT_PTR id)
{
    ::KillTimer(owner, id);
}

void CTimerMgr::KillAllTimers()
{
    for (const TimerEntry& entry : timers)
        ::KillTimer(owner, entry.id);
    timers.clear();
}
