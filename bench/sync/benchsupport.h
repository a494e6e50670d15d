#pragma once

// What the sync timing programs share: a receiver that only counts failures, a file
// writer, the bare loops of the writes' file operations, the median of the runs and the
// command line.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include <windows.h>

#include "common/fileutil.h"
#include "common/pathutil.h"
#include "common/textutil.h"
#include "common/winhandle.h"
#include "syncfolderapp/sync/syncfileimpl.h"
#include "syncfolderapp/sync/syncmap.h"
#include "syncfolderapp/sync/tempname.h"

using Pair = std::pair<std::wstring, std::wstring>;  // source, target

// Receives a job's result lines, counting the failed ones; lanes report at the same time.
class CountingSink final : public SyncFileImpl {
public:
    void OnSyncLog(const std::wstring&, std::uint32_t) override {}
    void OnSyncError(const std::wstring&, std::uint32_t, std::uint32_t) override { ++failed; }
    std::atomic<int> failed{0};
};

inline bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// `count` source files of `bytes` bytes in `dir` (made when missing), named f<first>.bin
// on, each with its own first byte. Their paths; none, the failure reported, when one
// cannot be written.
inline std::vector<std::wstring> WriteSourceFiles(const std::wstring& dir, int count, std::size_t bytes, int first = 0)
{
    EnsureDirectory(dir);
    std::vector<std::wstring> files;
    std::string content(bytes, 'x');
    for (int i = 0; i < count; ++i) {
        files.push_back(dir + L"\\f" + std::to_wstring(first + i) + L".bin");
        content[0] = static_cast<char>('a' + i % 26);
        if (!WriteBytes(files.back(), content)) {
            std::fwprintf(stderr, L"cannot write %ls\n", files.back().c_str());
            return {};
        }
    }
    return files;
}

inline std::wstring TempBeside(const std::wstring& target)
{
    static std::uint32_t counter = 0x80000000u;  // apart from the engine's own counter
    return GetParentPath(target) + L"\\" + MakeTempName(GetCurrentProcessId(), ++counter);
}

// Copy to a temporary name beside the target, with `linkBackup` a hard link of the old
// target to a backup name, then the rename to the target's name, over the old target when
// `replace`. Given a `journal` file, also what the write protocol itself adds per pair: a
// first look at the target, and a line of about a journal line's length written to that
// file before the link and the rename. Returns the pairs that went through.
inline int TempRenameLoop(const std::vector<Pair>& pairs, bool linkBackup, bool replace, HANDLE journal = nullptr)
{
    int done = 0;
    for (const auto& [source, target] : pairs) {
        const std::wstring temp = TempBeside(target);
        bool ok = CopyFileW(source.c_str(), temp.c_str(), TRUE) != FALSE;
        if (ok && journal) {
            WIN32_FILE_ATTRIBUTE_DATA before;
            const bool exists = GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &before) != FALSE;
            const std::wstring line = L"backup 4096 133000000000000000 4096 133000000000000000 " + target + L" " +
                                      temp + (exists ? L" old\r\n" : L" new\r\n");
            const std::string bytes = ToUtf8(line);
            DWORD written = 0;
            ok = WriteFile(journal, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE;
        }
        if (ok && linkBackup)
            ok = CreateHardLinkW(BackupFileName(target, L"bench", 1).c_str(), target.c_str(), nullptr) != FALSE;
        done += ok && MoveFileExW(temp.c_str(), target.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0) ? 1 : 0;
    }
    return done;
}

// Removes every backup in the target directories, so that each timed loop meets
// directories of the same size.
inline void RemoveBackups(const std::vector<std::wstring>& dirs)
{
    for (const std::wstring& dir : dirs) {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW data;
        FindHandle find(FindFirstFileW((dir + L"\\*.bak").c_str(), &data));
        if (!find)
            continue;
        do
            names.push_back(dir + L"\\" + data.cFileName);
        while (FindNextFileW(find.Get(), &data));
        find.Reset();
        for (const std::wstring& name : names)
            DeleteFileW(name.c_str());
    }
}

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The command line of a timing program: [runs] [work folder]; by default 3 runs in the
// folder `defaultName` below the temporary folder.
struct BenchArgs {
    int runs = 3;
    std::wstring root;
};

inline BenchArgs ParseBenchArgs(int argc, wchar_t** argv, const wchar_t* defaultName)
{
    BenchArgs args;
    if (argc > 1)
        args.runs = std::max(1, _wtoi(argv[1]));
    if (argc > 2) {
        args.root = argv[2];
    } else {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        args.root = std::wstring(temp) + defaultName;
    }
    return args;
}
