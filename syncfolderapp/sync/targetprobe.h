#pragma once

// Looks at what stands at a target's name. A run asks the disk once per target, as it is
// just then; a plan, which writes nothing, lists each target directory once and answers
// every target in it from that listing. The file system of a volume is asked once per run
// or plan.

#include <string>
#include <unordered_map>

#include "syncfolderapp/sync/syncplan.h"

class CTargetProbe {
public:
    // A new run or plan: the disk may have changed since the last one.
    void Forget();

    // One attribute query for the target.
    TargetState Probe(const std::wstring& target);
    // The target as the listing of its directory shows it, the directory listed on first
    // use; a directory that cannot be listed is asked target by target.
    TargetState ProbeListed(const std::wstring& target);
    // Whether the volume that holds the directory `dir` keeps last-write times in
    // two-second steps (FAT, FAT32, exFAT); false when its file system cannot be asked.
    bool OnCoarseTimeVolume(const std::wstring& dir);

private:
    using Listing = std::unordered_map<std::wstring, TargetState>;  // by upper-case name

    // Missing when a directory could be made at `dir`, BlockedPath when a file stands at
    // its name or at one of its ancestors'.
    TargetState::Kind DirectoryState(const std::wstring& dir);
    // The listing of `dir`; null when the directory cannot be listed.
    const Listing* ListingOf(const std::wstring& dir);

    std::unordered_map<std::wstring, TargetState::Kind> dirStates_;
    std::unordered_map<std::wstring, Listing> listings_;
    std::unordered_map<std::wstring, bool> coarseDirs_;     // by directory
    std::unordered_map<std::wstring, bool> coarseVolumes_;  // by volume root
};
