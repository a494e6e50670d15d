// Times the version directory search on one drive against a bare directory walk of the
// same three levels, in one run, taking turns, and prints the medians:
//   search        FindMarkedFolders from the root, its 1 ms pauses included
//   search+end    the same followed by the scan task's 200 ms pause before SCAN_END
//   bare walk     FindFirstFileW/FindNextFileW over the same levels, nothing else
//   walk+marker   the bare walk plus the marker test (GetFileAttributesW) per directory
//   pauses        as many Sleep(1) calls as the search pauses
//
//   discovery_scan_bench <root> [rounds]
//
// <root> is a drive root such as D:\ or a directory ending in a backslash. The first run
// fills it with a tree of about 100,000 entries (kept for later runs).

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <windows.h>

#include "common/textutil.h"
#include "syncfolderapp/discovery/enginefolders.h"
#include "syncfolderapp/discovery/enginescan.h"

namespace {

using Clock = std::chrono::steady_clock;

// Root: kTop directories; each holds kMiddle directories; each of those kLeaves
// directories and kFiles empty files.
constexpr int kTop = 20;
constexpr int kMiddle = 20;
constexpr int kLeaves = 25;
constexpr int kFiles = 225;
constexpr DWORD kEndPauseMs = 200;

bool IsDot(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

std::wstring Numbered(const wchar_t* prefix, int n, const wchar_t* suffix = L"")
{
    wchar_t text[32];
    swprintf(text, 32, L"%ls%03d%ls", prefix, n, suffix);
    return text;
}

bool MakeFile(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

void MakeEngineFolder(const std::wstring& dir)
{
    CreateDirectoryW((dir + L"\\Mir200").c_str(), nullptr);
    MakeFile(dir + L"\\Mir200\\!Setup.txt");
}

// Builds the tree unless the last file of a previous run is there.
bool PrepareTree(const std::wstring& root)
{
    const std::wstring last = root + Numbered(L"d", kTop - 1) + L"\\" + Numbered(L"e", kMiddle - 1) + L"\\" +
                              Numbered(L"file", kFiles - 1, L".txt");
    if (GetFileAttributesW(last.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    std::printf("building the tree below %ls ...\n", root.c_str());
    for (int t = 0; t < kTop; ++t) {
        const std::wstring top = root + Numbered(L"d", t);
        CreateDirectoryW(top.c_str(), nullptr);
        for (int m = 0; m < kMiddle; ++m) {
            const std::wstring middle = top + L"\\" + Numbered(L"e", m);
            CreateDirectoryW(middle.c_str(), nullptr);
            for (int l = 0; l < kLeaves; ++l)
                CreateDirectoryW((middle + L"\\" + Numbered(L"f", l)).c_str(), nullptr);
            for (int f = 0; f < kFiles; ++f) {
                if (!MakeFile(middle + L"\\" + Numbered(L"file", f, L".txt")))
                    return false;
            }
        }
    }
    // Version directories one, two and three levels down.
    MakeEngineFolder(root + L"d003");
    MakeEngineFolder(root + L"d003\\e007");
    MakeEngineFolder(root + L"d011\\e002\\f005");
    return GetFileAttributesW(last.c_str()) != INVALID_FILE_ATTRIBUTES;
}

struct WalkCount {
    uint64_t entries = 0;
    uint64_t directories = 0;
    uint64_t marked = 0;
};

// `path` ends in a backslash; lists it and enters directories while depth + 1 < 3. With
// `testMarker` every directory also gets the one marker test the search makes; without
// it, nothing but the walk is done.
void Walk(std::wstring& path, int depth, bool testMarker, WalkCount& count)
{
    const size_t base = path.size();
    path += L'*';
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW(path.c_str(), &entry);
    path.resize(base);
    if (find == INVALID_HANDLE_VALUE)
        return;
    const bool enter = depth + 1 < kEngineScanDepth;
    do {
        ++count.entries;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || IsDot(entry.cFileName))
            continue;
        ++count.directories;
        if (!testMarker && !enter)
            continue;
        path += entry.cFileName;
        if (testMarker) {
            const size_t child = path.size();
            path += L'\\';
            path += kEngineMarkerPath;
            const DWORD attributes = GetFileAttributesW(path.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                ++count.marked;
            path.resize(child);
        }
        if (enter) {
            path += L'\\';
            Walk(path, depth + 1, testMarker, count);
        }
        path.resize(base);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
}

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: discovery_scan_bench <root ending in \\> [rounds]\n");
        return 2;
    }
    std::wstring root = FromAnsi(argv[1]);
    if (root.empty() || root.back() != L'\\')
        root += L'\\';
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
    if (!PrepareTree(root)) {
        std::fprintf(stderr, "cannot build the tree below %ls\n", root.c_str());
        return 1;
    }
    // FindMarkedFolders takes a directory without its trailing backslash, except a drive root.
    std::wstring searchRoot = root;
    if (searchRoot.size() > 3)
        searchRoot.pop_back();

    std::vector<double> search, searchEnd, bare, marker, pauses;
    uint64_t searchEntries = 0;
    size_t found = 0;
    WalkCount bareCount, markerCount;
    // One warm-up round, then the timed rounds; each round runs every variant once.
    // Each round runs every variant once; the starting variant moves on by one each
    // round, so none always runs first or right after the long pause.
    const std::vector<std::function<void(bool)>> variants = {
        [&](bool keep) {
            ScanResultList results;
            uint64_t counter = 0;
            const auto start = Clock::now();
            FindMarkedFolders(searchRoot, results, kEngineMarkerPath, 0, counter);
            const auto searched = Clock::now();
            Sleep(kEndPauseMs);
            const auto ended = Clock::now();
            searchEntries = counter;
            found = results.size();
            if (keep) {
                search.push_back(Ms(searched - start));
                searchEnd.push_back(Ms(ended - start));
            }
        },
        [&](bool keep) {
            std::wstring path = root;
            bareCount = {};
            const auto start = Clock::now();
            Walk(path, 0, false, bareCount);
            if (keep)
                bare.push_back(Ms(Clock::now() - start));
        },
        [&](bool keep) {
            std::wstring path = root;
            markerCount = {};
            const auto start = Clock::now();
            Walk(path, 0, true, markerCount);
            if (keep)
                marker.push_back(Ms(Clock::now() - start));
        },
        [&](bool keep) {
            const auto start = Clock::now();
            for (uint64_t i = 0; i < searchEntries / 1000; ++i)
                Sleep(1);
            if (keep)
                pauses.push_back(Ms(Clock::now() - start));
        },
    };
    // One warm-up round (the search first, so the pauses know the entry count).
    for (const auto& variant : variants)
        variant(false);
    for (int round = 0; round < rounds; ++round) {
        for (size_t i = 0; i < variants.size(); ++i)
            variants[(round + i) % variants.size()](true);
    }

    const double bareMs = Median(bare);
    std::printf("tree: %llu entries met by the search, %llu by the bare walk, %llu directories tested, "
                "%zu found (%llu by the marker walk)\n",
                static_cast<unsigned long long>(searchEntries), static_cast<unsigned long long>(bareCount.entries),
                static_cast<unsigned long long>(markerCount.directories), found,
                static_cast<unsigned long long>(markerCount.marked));
    std::printf("medians of %d rounds (ms):\n", rounds);
    std::printf("  search        %9.2f  ratio %.3f\n", Median(search), Median(search) / bareMs);
    std::printf("  search+end    %9.2f  ratio %.3f\n", Median(searchEnd), Median(searchEnd) / bareMs);
    std::printf("  bare walk     %9.2f\n", bareMs);
    std::printf("  walk+marker   %9.2f  ratio %.3f\n", Median(marker), Median(marker) / bareMs);
    std::printf("  pauses        %9.2f  (%llu x Sleep(1))\n", Median(pauses),
                static_cast<unsigned long long>(searchEntries / 1000));
    return 0;
}
