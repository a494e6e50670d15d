#pragma once

#include <atomic>
#include <functional>

#include "common/winhandle.h"

namespace mainwndtest {

// Holds the worker inside a run at a chosen result line, so that the window can be looked
// at while the run is busy. Installed as the window's afterWorkerLine seam.
class WorkerHold {
public:
    WorkerHold();
    ~WorkerHold() { Release(); }
    std::function<void()> Hook();
    // The worker stops at the `n`th result line from now on (counting from 1).
    void HoldAtLine(int n);
    // Pumps the window's messages until the worker has stopped there.
    bool WaitUntilHeld();
    void Release();

private:
    std::atomic<int> lines{0};
    std::atomic<int> holdAt{0};
    std::atomic<bool> held{false};
    KernelHandle release;
};

}  // namespace mainwndtest
