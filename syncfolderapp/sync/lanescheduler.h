#pragma once

// Hands the lanes of a run to the threads that write them, in plan order, so that no more
// lanes run at once than the limits allow: a lane whose machine has its share of lanes
// running waits for one of them to end, and a later lane into another machine may start
// before it. Safe to call from every thread of the run.

#include <condition_variable>
#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "syncfolderapp/sync/laneplan.h"

class CLaneScheduler {
public:
    // The lanes by the machine each writes into (PlannedLane::host). A limit of 0 counts as 1.
    CLaneScheduler(std::vector<std::wstring> laneHosts, LaneLimits limits);
    CLaneScheduler(const CLaneScheduler&) = delete;
    CLaneScheduler& operator=(const CLaneScheduler&) = delete;

    // How many threads can have work at once: the lanes, but no more than the limit.
    std::size_t Workers() const;

    // The first lane not yet started that may start now, counted as running; waits while
    // every lane left waits for its turn. Nothing once every lane has been started.
    std::optional<std::size_t> Take();
    // A lane that Take gave has ended: its place is free.
    void Done(std::size_t lane);

private:
    bool MayStart(std::size_t lane) const;

    std::mutex mutex_;
    std::condition_variable turn_;
    const std::vector<std::wstring> hosts_;
    const LaneLimits limits_;
    std::vector<bool> started_;
    std::size_t left_;  // lanes not yet started
    std::size_t running_ = 0;
    std::map<std::wstring, std::size_t> runningOnHost_;
};
