#include "syncfolderapp/sync/targetprobe.h"

#include <algorithm>

#include <windows.h>

#include "common/pathutil.h"
#include "common/textutil.h"
#include "common/winhandle.h"

namespace {

std::uint64_t FileTimeValue(const FILETIME& time)
{
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

TargetState StateOf(DWORD attributes, DWORD sizeHigh, DWORD sizeLow, const FILETIME& lastWrite)
{
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return {TargetState::Directory};
    return {TargetState::File, static_cast<std::int64_t>((static_cast<std::uint64_t>(sizeHigh) << 32) | sizeLow),
            FileTimeValue(lastWrite)};
}

}  // namespace

void CTargetProbe::Forget()
{
    dirStates_.clear();
    listings_.clear();
    coarseDirs_.clear();
    coarseVolumes_.clear();
}

bool CTargetProbe::OnCoarseTimeVolume(const std::wstring& dir)
{
    if (const auto found = coarseDirs_.find(dir); found != coarseDirs_.end())
        return found->second;
    const std::wstring inside = dir + L"\\";
    std::wstring root(std::max<std::size_t>(inside.size() + 1, MAX_PATH + 1), L'\0');
    bool coarse = false;
    if (GetVolumePathNameW(inside.c_str(), root.data(), static_cast<DWORD>(root.size()))) {
        root.resize(root.find(L'\0'));
        const auto [volume, isNew] = coarseVolumes_.try_emplace(root, false);
        if (isNew) {
            wchar_t fileSystem[MAX_PATH + 1] = {};
            volume->second =
                GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, fileSystem, MAX_PATH + 1) &&
                KeepsCoarseTimes(fileSystem);
        }
        coarse = volume->second;
    }
    coarseDirs_.emplace(dir, coarse);
    return coarse;
}

TargetState CTargetProbe::Probe(const std::wstring& target)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &data))
        return StateOf(data.dwFileAttributes, data.nFileSizeHigh, data.nFileSizeLow, data.ftLastWriteTime);
    return {DirectoryState(GetParentPath(target))};
}

TargetState CTargetProbe::ProbeListed(const std::wstring& target)
{
    const std::wstring dir = GetParentPath(target);
    if (DirectoryState(dir) == TargetState::BlockedPath)
        return {TargetState::BlockedPath};
    const Listing* listing = ListingOf(dir);
    if (!listing)
        return Probe(target);
    const auto found = listing->find(UpperName(target.substr(dir.size() + 1)));
    return found == listing->end() ? TargetState{} : found->second;
}

const CTargetProbe::Listing* CTargetProbe::ListingOf(const std::wstring& dir)
{
    if (const auto found = listings_.find(dir); found != listings_.end())
        return &found->second;
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileExW((dir + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH));
    Listing listing;
    if (!find) {
        // A directory that is not there yet holds nothing; any other refusal is asked
        // target by target.
        const DWORD error = GetLastError();
        if (error != ERROR_PATH_NOT_FOUND && error != ERROR_FILE_NOT_FOUND)
            return nullptr;
        return &listings_.emplace(dir, std::move(listing)).first->second;
    }
    do {
        listing.emplace(UpperName(data.cFileName),
                        StateOf(data.dwFileAttributes, data.nFileSizeHigh, data.nFileSizeLow, data.ftLastWriteTime));
    } while (FindNextFileW(find.Get(), &data));
    return &listings_.emplace(dir, std::move(listing)).first->second;
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
