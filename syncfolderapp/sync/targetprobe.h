#pragma once

// Looks at what stands at a target's name, with one attribute query per target; a
// missing target's directory is looked at once per run.

#include <string>
#include <unordered_map>

#include "syncfolderapp/sync/syncplan.h"

class CTargetProbe {
public:
    // A new run: directories may have changed since the last one.
    void Forget() { dirStates_.clear(); }

    TargetState Probe(const std::wstring& target);

private:
    // Missing when a directory could be made at `dir`, BlockedPath when a file stands at
    // its name or at one of its ancestors'.
    TargetState::Kind DirectoryState(const std::wstring& dir);

    std::unordered_map<std::wstring, TargetState::Kind> dirStates_;
};
