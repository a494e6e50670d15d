#pragma once

// How a run splits its version directories into lanes, each written by a thread of its
// own. A write into another machine waits out a dozen round trips; one lane per remote
// directory keeps the network busy. Pure text rules: no file system is touched here.
//   - Every version directory on a local volume goes into one lane, in run order: a
//     local disk does best with one writer.
//   - A version directory on a share has a lane of its own, and a directory inside
//     another one of the run (or the same one spelled again) goes into the outer one's
//     lane: two lanes never write into one directory, where the leftover clean-up of one
//     would remove the other's temporary files.
//   - Lanes come in the order of their first version directory in the run.

#include <cstddef>
#include <string>
#include <vector>

// How many lanes run at once: at most `perHost` lanes into one machine, `total` in all.
struct LaneLimits {
    std::size_t perHost = 4;
    std::size_t total = 8;
};

struct PlannedLane {
    // The machine the lane writes into (\\HOST, or X: for a network letter whose share the
    // system does not name); empty for the lane of the local volumes.
    std::wstring host;
    // Indexes of the run's version directories, in run order.
    std::vector<std::size_t> folders;
};

// One spelling of a directory on a share, for comparing directories: \\host\share\a\b
// for a UNC path (also from its \\?\UNC\ form), X:\a\b for a drive path; single
// backslashes, no separator at the end, "." and ".." pieces resolved (never above the
// share or drive). Letter case is kept.
std::wstring LanePath(const std::wstring& networkPath);

// The lanes of a run whose version directories lie at `lanePaths` (as LanePath gives
// them, upper-cased as the system compares names; empty for a directory on a local
// volume), in run order.
std::vector<PlannedLane> PlanLanes(const std::vector<std::wstring>& lanePaths);
