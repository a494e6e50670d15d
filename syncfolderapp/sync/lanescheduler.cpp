#include "syncfolderapp/sync/lanescheduler.h"

#include <algorithm>
#include <utility>

CLaneScheduler::CLaneScheduler(std::vector<std::wstring> laneHosts, LaneLimits limits)
    : hosts_(std::move(laneHosts)),
      limits_{std::max<std::size_t>(limits.perHost, 1), std::max<std::size_t>(limits.total, 1)},
      started_(hosts_.size(), false),
      left_(hosts_.size())
{
}

std::size_t CLaneScheduler::Workers() const
{
    return std::min(hosts_.size(), limits_.total);
}

bool CLaneScheduler::MayStart(std::size_t lane) const
{
    if (started_[lane] || running_ >= limits_.total)
        return false;
    const auto host = runningOnHost_.find(hosts_[lane]);
    return host == runningOnHost_.end() || host->second < limits_.perHost;
}

std::optional<std::size_t> CLaneScheduler::Take()
{
    std::unique_lock<std::mutex> held(mutex_);
    for (;;) {
        if (left_ == 0)
            return std::nullopt;
        for (std::size_t lane = 0; lane < hosts_.size(); ++lane) {
            if (!MayStart(lane))
                continue;
            started_[lane] = true;
            --left_;
            ++running_;
            ++runningOnHost_[hosts_[lane]];
            if (left_ == 0)
                turn_.notify_all();  // threads waiting for a turn have nothing left to wait for
            return lane;
        }
        turn_.wait(held);
    }
}

void CLaneScheduler::Done(std::size_t lane)
{
    {
        const std::lock_guard<std::mutex> held(mutex_);
        --running_;
        --runningOnHost_[hosts_[lane]];
    }
    turn_.notify_all();
}
