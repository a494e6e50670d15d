#include "tests/gui/mainwnd/workerhold.h"

#include "tests/support/pump.h"

namespace mainwndtest {

WorkerHold::WorkerHold() : release(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
}

std::function<void()> WorkerHold::Hook()
{
    return [this] {
        if (++lines != holdAt)
            return;
        held = true;
        WaitForSingleObject(release.Get(), 60000);
    };
}

void WorkerHold::HoldAtLine(int n)
{
    ResetEvent(release.Get());
    held = false;
    holdAt = lines + n;
}

bool WorkerHold::WaitUntilHeld()
{
    return testsupport::PumpUntil([this] { return held.load(); });
}

void WorkerHold::Release()
{
    SetEvent(release.Get());
}

}  // namespace mainwndtest
