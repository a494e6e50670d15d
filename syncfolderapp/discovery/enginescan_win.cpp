#include "syncfolderapp/discovery/enginescan.h"

#include <shlwapi.h>

#include "common/fileutil.h"
#include "common/winhandle.h"
#include "syncfolderapp/discovery/enginefolders.h"

namespace {

constexpr uint64_t kEntriesPerPause = 1000;
constexpr DWORD kEntryPauseMs = 1;
constexpr DWORD kDrivePauseMs = 10;
constexpr DWORD kEndPauseMs = 200;

bool IsDotEntry(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

// A drive root such as D:\ already ends in its only backslash.
std::wstring SeparatorAfter(const std::wstring& directory)
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

}  // namespace

void FindMarkedFolders(const std::wstring& directory, ScanResultList& results, const std::wstring& marker, int depth,
                       uint64_t& counter)
{
    if (directory.empty())
        return;
    const std::wstring separator = SeparatorAfter(directory);

    WIN32_FIND_DATAW entry;
    FindHandle find(FindFirstFileW((directory + separator + L"*").c_str(), &entry));
    if (!find)
        return;
    do {
        ++counter;
        const bool isDirectory = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isDirectory && !IsDotEntry(entry.cFileName)) {
            const std::wstring child = directory + separator + entry.cFileName;
            const bool isLink = (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            if (!IsRecycleBinPath(child) && !(isLink && LeadsBackUp(child, directory))) {
                const DWORD attributes = GetFileAttributesW((child + L"\\" + marker).c_str());
                if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                    results.push_back(child);
                if (depth + 1 < kEngineScanDepth)
                    FindMarkedFolders(child, results, marker, depth + 1, counter);
            }
        }
        if (counter % kEntriesPerPause == 0)
            Sleep(kEntryPauseMs);
    } while (FindNextFileW(find.Get(), &entry));
}

void ScanEngineFolders(HWND notifyWindow, const std::vector<std::wstring>& scanDrives)
{
    for (const std::wstring& letter : scanDrives) {
        const std::wstring root = letter + L":\\";
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
