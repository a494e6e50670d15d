#include "syncfolderapp/discovery/enginescan.h"

#include <algorithm>
#include <string_view>

#include <shlwapi.h>

#include "common/fileutil.h"
#include "common/pathutil.h"
#include "common/winhandle.h"
#include "syncfolderapp/discovery/enginefolders.h"

namespace {

constexpr uint64_t kEntriesPerPause = 1000;
constexpr DWORD kEntryPauseMs = 1;
constexpr DWORD kDrivePauseMs = 10;
constexpr DWORD kEndPauseMs = 200;

// A drive root such as D:\ already ends in its only backslash.
std::wstring_view SeparatorAfter(const std::wstring& directory)
{
    const auto first = directory.find(L'\\');
    if (first != std::wstring::npos && first == directory.size() - 1)
        return {};
    return L"\\";
}

bool SameText(const std::wstring& a, size_t length, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(length), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// True when `link` resolves to `directory` itself or to a directory above it: entering it
// would search the same directories again under another name, round and round.
bool LeadsBackUp(const std::wstring& link, const std::wstring& directory)
{
    std::wstring target = GetFinalPath(link);
    const std::wstring here = GetFinalPath(directory);
    if (target.empty() || here.empty())
        return false;
    while (!target.empty() && target.back() == L'\\')
        target.pop_back();
    if (here.size() < target.size() || !SameText(here, target.size(), target))
        return false;
    return here.size() == target.size() || here[target.size()] == L'\\';
}

// One search: the text of the directory being listed and, in turn, of each child and its
// marker path are built in one buffer that grows and shrinks with the search, so a
// directory costs no string allocations of its own.
class MarkedFolderSearch {
public:
    MarkedFolderSearch(const std::wstring& directory, ScanResultList& results, const std::wstring& marker,
                       uint64_t& counter)
        : results_(results), marker_(marker), counter_(counter), path_(directory)
    {
        // Room for the usual three levels and the marker without growing the buffer.
        path_.reserve(directory.size() + 3 * MAX_PATH + marker.size());
    }

    // path_ holds the directory, which is joined to its entries with `separator`; on
    // return path_ holds it again.
    void Search(std::wstring_view separator, int depth)
    {
        const size_t directoryLength = path_.size();
        path_ += separator;
        const size_t nameStart = path_.size();
        path_ += L'*';

        WIN32_FIND_DATAW entry;
        FindHandle find(FindFirstFileW(path_.c_str(), &entry));
        if (find) {
            do {
                ++counter_;
                if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && !IsDotEntry(entry.cFileName)) {
                    path_.resize(nameStart);
                    path_ += entry.cFileName;
                    VisitChild(entry.dwFileAttributes, directoryLength, depth);
                }
                if (counter_ % kEntriesPerPause == 0)
                    Sleep(kEntryPauseMs);
            } while (FindNextFileW(find.Get(), &entry));
        }
        path_.resize(directoryLength);
    }

private:
    // path_ holds the child directory.
    void VisitChild(DWORD attributes, size_t directoryLength, int depth)
    {
        const bool isLink = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (IsRecycleBinPath(path_) || (isLink && LeadsBackUp(path_, path_.substr(0, directoryLength))))
            return;
        const size_t childLength = path_.size();
        path_ += L'\\';
        path_ += marker_;
        const DWORD markerAttributes = GetFileAttributesW(path_.c_str());
        path_.resize(childLength);
        if (markerAttributes != INVALID_FILE_ATTRIBUTES && (markerAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            results_.push_back(path_);
        if (depth + 1 < kEngineScanDepth)
            Search(L"\\", depth + 1);
    }

    ScanResultList& results_;
    const std::wstring& marker_;
    uint64_t& counter_;
    std::wstring path_;
};

// False for a network drive of the scan whose root does not answer in time or cannot be
// listed; that drive has then been reported. True for every other drive.
bool NetworkDriveAnswers(const NetworkScan& network, const std::wstring& letter, const std::wstring& root)
{
    if (std::find(network.drives.begin(), network.drives.end(), letter) == network.drives.end())
        return true;
    const std::uint32_t error = ProbeRootListing(root, network.probeLimitMs);
    if (error != ERROR_SUCCESS && network.reports)
        network.reports->OnSyncError(kNetworkScanFailedText + root, error, LINE_NETWORK_SCAN_FAILED);
    return error == ERROR_SUCCESS;
}

}  // namespace

void FindMarkedFolders(const std::wstring& directory, ScanResultList& results, const std::wstring& marker, int depth,
                       uint64_t& counter)
{
    if (directory.empty())
        return;
    MarkedFolderSearch search(directory, results, marker, counter);
    search.Search(SeparatorAfter(directory), depth);
}

void ScanEngineFolders(HWND notifyWindow, const std::vector<std::wstring>& scanDrives, const NetworkScan& network)
{
    for (const std::wstring& letter : scanDrives) {
        const std::wstring root = letter + L":\\";
        if (!NetworkDriveAnswers(network, letter, root))
            continue;
        ScanResultList results;
        uint64_t counter = 0;
        FindMarkedFolders(root, results, kEngineMarkerPath, 0, counter);
        if (!results.empty()) {
            // The list lives in this frame: the send returns once the window has taken it.
            SendMessageW(notifyWindow, UM_SCAN_NOTIFY, SCAN_RESULTS, reinterpret_cast<LPARAM>(&results));
            Sleep(kDrivePauseMs);
        }
    }
    Sleep(kEndPauseMs);
    SendMessageW(notifyWindow, UM_SCAN_NOTIFY, SCAN_END, 0);
}

bool HasMir200Directory(const std::wstring& path)
{
    return PathIsDirectoryW((path + L"\\Mir200").c_str()) != FALSE;
}
