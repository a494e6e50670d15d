#pragma once

#include <chrono>
#include <functional>

#include <windows.h>

namespace testsupport {

// How the pump hands on each message; by default TranslateMessage and DispatchMessageW.
// Windowed tests give it their toolkit's turn of the message loop.
void SetMessageDispatcher(std::function<void(const MSG&)> dispatch);

// Dispatches the UI thread's messages until `done` holds or the deadline passes;
// returns whether `done` held. The deadline only guards against hangs.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline = std::chrono::seconds(20));

// Dispatches whatever messages are waiting, for about `span`.
void PumpFor(std::chrono::milliseconds span);

// A pumped wait that fails as Windows 7 fails a wake mask with bits it does not know
// (WAIT_FAILED, ERROR_INVALID_PARAMETER), to put in place with epool::SetPumpWait.
DWORD WINAPI RefusedPumpWait(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD ms, DWORD wakeMask);
// How often RefusedPumpWait has been called in this process.
int RefusedPumpWaitCalls();

}  // namespace testsupport
