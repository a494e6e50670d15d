#include "syncfolderapp/sync/laneplan.h"

#include <algorithm>

#include "syncfolderapp/sync/syncmap.h"

namespace {

bool IsDriveLetter(const std::wstring& piece)
{
    return piece.size() == 2 && piece[1] == L':';
}

// True when `inner` is `outer` or lies inside it: `outer` followed by a separator.
bool IsSameOrInside(const std::wstring& inner, const std::wstring& outer)
{
    return inner.size() >= outer.size() && inner.compare(0, outer.size(), outer) == 0 &&
           (inner.size() == outer.size() || inner[outer.size()] == L'\\');
}

// The machine of a lane path: \\HOST of \\HOST\SHARE\..., X: of X:\...
std::wstring HostOf(const std::wstring& lanePath)
{
    if (lanePath.rfind(L"\\\\", 0) != 0)
        return lanePath.substr(0, lanePath.find(L'\\'));
    return lanePath.substr(0, lanePath.find(L'\\', 2));
}

}  // namespace

std::wstring LanePath(const std::wstring& networkPath)
{
    std::wstring path = networkPath;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    const std::vector<std::wstring> pieces = PathPieces(path);
    if (pieces.empty())
        return {};
    const bool drive = IsDriveLetter(pieces.front());
    const std::size_t rootPieces = drive ? 1 : 2;
    std::vector<std::wstring> kept;
    for (const std::wstring& piece : pieces) {
        if (piece == L".")
            continue;
        if (piece == L".." && kept.size() >= rootPieces) {
            if (kept.size() > rootPieces)
                kept.pop_back();
            continue;
        }
        kept.push_back(piece);
    }
    std::wstring joined = drive ? std::wstring() : L"\\\\";
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (i > 0)
            joined += L'\\';
        joined += kept[i];
    }
    return joined;
}

std::vector<PlannedLane> PlanLanes(const std::vector<std::wstring>& lanePaths)
{
    const std::size_t count = lanePaths.size();
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    // The lane of each directory, found through its outermost directory in the run (the
    // shortest that contains it; of equal ones, the first).
    std::vector<std::size_t> laneOfOuter(count, kNone);
    std::size_t localLane = kNone;
    std::vector<PlannedLane> lanes;
    for (std::size_t i = 0; i < count; ++i) {
        const std::wstring& path = lanePaths[i];
        if (path.empty()) {
            if (localLane == kNone) {
                localLane = lanes.size();
                lanes.push_back({});
            }
            lanes[localLane].folders.push_back(i);
            continue;
        }
        std::size_t outer = i;
        for (std::size_t j = 0; j < count; ++j) {
            const std::wstring& other = lanePaths[j];
            if (j == outer || other.empty() || !IsSameOrInside(path, other))
                continue;
            if (other.size() < lanePaths[outer].size() || (other.size() == lanePaths[outer].size() && j < outer))
                outer = j;
        }
        if (laneOfOuter[outer] == kNone) {
            laneOfOuter[outer] = lanes.size();
            lanes.push_back({HostOf(lanePaths[outer]), {}});
        }
        lanes[laneOfOuter[outer]].folders.push_back(i);
    }
    return lanes;
}
