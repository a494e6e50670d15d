#pragma once

#include <chrono>
#include <functional>

namespace testsupport {

// Dispatches the UI thread's messages until `done` holds or the deadline passes;
// returns whether `done` held. The deadline only guards against hangs.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline = std::chrono::seconds(20));

// Dispatches whatever messages are waiting, for about `span`.
void PumpFor(std::chrono::milliseconds span);

}  // namespace testsupport
