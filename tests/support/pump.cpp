#include "tests/support/pump.h"

#include <atomic>

namespace testsupport {
namespace {

std::function<void(const MSG&)>& Dispatcher()
{
    static std::function<void(const MSG&)> dispatch;
    return dispatch;
}

void DispatchWaiting()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (Dispatcher()) {
            Dispatcher()(msg);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

void SetMessageDispatcher(std::function<void(const MSG&)> dispatch)
{
    Dispatcher() = std::move(dispatch);
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline)
{
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        DispatchWaiting();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpFor(std::chrono::milliseconds span)
{
    PumpUntil([] { return false; }, span);
}

namespace {
std::atomic<int> g_refusedPumpWaits{0};
}  // namespace

DWORD WINAPI RefusedPumpWait(DWORD, const HANDLE*, BOOL, DWORD, DWORD)
{
    ++g_refusedPumpWaits;
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
}

int RefusedPumpWaitCalls()
{
    return g_refusedPumpWaits.load();
}

}  // namespace testsupport
