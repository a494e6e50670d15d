#include "syncfolderapp/sync/targetprobe.h"

#include <windows.h>

#include "common/pathutil.h"

namespace {

std::uint64_t FileTimeValue(const FILETIME& time)
{
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

TargetState CTargetProbe::Probe(const std::wstring& target)
{
    TargetState state;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &data)) {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            state.kind = TargetState::Directory;
        } else {
            state.kind = TargetState::File;
            state.size =
                static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
            state.lastWrite = FileTimeValue(data.ftLastWriteTime);
        }
        return state;
    }
    state.kind = DirectoryState(GetParentPath(target));
    return state;
}

TargetState::Kind CTargetProbe::DirectoryState(const std::wstring& dir)
{
    if (dir.empty())
        return TargetState::Missing;
    if (const auto found = dirStates_.find(dir); found != dirStates_.end())
        return found->second;
    const DWORD attrs = GetFileAttributesW(dir.c_str());
    TargetState::Kind kind = TargetState::Missing;
    if (attrs == INVALID_FILE_ATTRIBUTES) {
        const std::wstring parent = GetParentPath(dir);
        kind = parent == dir ? TargetState::Missing : DirectoryState(parent);
    } else if ((attrs & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        kind = TargetState::BlockedPath;
    }
    dirStates_.emplace(dir, kind);
    return kind;
}
