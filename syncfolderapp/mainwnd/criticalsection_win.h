#pragma once

// A critical section usable as a standard lockable (lock, try_lock, unlock), so that
// std::lock_guard and std::unique_lock can hold it.

#include <windows.h>

class CriticalSection {
public:
    // Spins this many times before a waiting thread sleeps: the hand-off holds it only for
    // a vector append or swap.
    static constexpr DWORD kSpinCount = 4000;

    CriticalSection() { InitializeCriticalSectionAndSpinCount(&section, kSpinCount); }
    ~CriticalSection() { DeleteCriticalSection(&section); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void lock() { EnterCriticalSection(&section); }
    bool try_lock() { return TryEnterCriticalSection(&section) != FALSE; }
    void unlock() { LeaveCriticalSection(&section); }

private:
    CRITICAL_SECTION section;
};
