#include "syncfolderapp/sync/targetwriter.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <vector>

#include <windows.h>
#include <winternl.h>

#include "common/pathutil.h"
#include "common/winhandle.h"
#include "syncfolderapp/sync/neterrors.h"
#include "syncfolderapp/sync/syncmap.h"
#include "syncfolderapp/sync/tempname.h"

namespace {

// Backup names tried for one target within one second before giving up.
constexpr int kMaxBackupAttempts = 10000;
// Temporary names tried when one is taken (only a leftover of an earlier process that had
// the same id can hold it).
constexpr int kMaxTempAttempts = 16;

std::atomic<std::uint32_t> gTempCounter{0};

std::uint32_t ErrorOf(BOOL ok)
{
    return ok ? ERROR_SUCCESS : GetLastError();
}

bool IsNameTaken(std::uint32_t error)
{
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
}

void RemoveFile(const std::wstring& path)
{
    // Temporary files carry the attributes of what they copy; a read-only one must lose
    // the attribute before it can be deleted.
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
}

const std::wstring kLongPrefix = L"\\\\?\\";

// The absolute form of a path, with single backslashes; the path itself when that fails.
std::wstring FullPath(const std::wstring& path)
{
    std::wstring full(GetFullPathNameW(path.c_str(), 0, nullptr, nullptr), L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size())
        return path;
    full.resize(length);
    return full;
}

// The path in a form the file calls take at any length: one of MAX_PATH characters or
// more gets the \\?\ form (a temporary or backup name may be longer than the target's).
std::wstring Reachable(const std::wstring& path)
{
    if (path.size() < MAX_PATH || path.rfind(kLongPrefix, 0) == 0)
        return path;
    // That form is taken as it stands, so it must be absolute, with single backslashes.
    const std::wstring full = FullPath(path);
    return full.rfind(L"\\\\", 0) == 0 ? kLongPrefix + L"UNC" + full.substr(1) : kLongPrefix + full;
}

// The path as the native calls name files: \??\C:\..., \??\UNC\srv\share\...
std::wstring NativePath(const std::wstring& path)
{
    const std::wstring full = FullPath(path);
    if (full.rfind(kLongPrefix, 0) == 0)
        return L"\\??\\" + full.substr(kLongPrefix.size());
    if (full.rfind(L"\\\\", 0) == 0)
        return L"\\??\\UNC" + full.substr(1);
    return L"\\??\\" + full;
}

std::wstring NowStamp()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return FormatBackupStamp(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}

// Copies `from` into a new temporary file in `dir`, with the attributes and times that
// CopyFileW copies.
std::uint32_t CopyToNewTemp(const std::wstring& from, const std::wstring& dir, MadeFile& temp)
{
    for (int attempt = 0; attempt < kMaxTempAttempts; ++attempt) {
        std::wstring path = Reachable(dir + L"\\" + MakeTempName(GetCurrentProcessId(), ++gTempCounter));
        const std::uint32_t error = ErrorOf(CopyFileW(from.c_str(), path.c_str(), TRUE));
        if (error == ERROR_SUCCESS) {
            temp = MadeFile(std::move(path));
            return ERROR_SUCCESS;
        }
        if (!IsNameTaken(error)) {
            // A copy that failed midway may have left part of the file.
            RemoveFile(path);
            return error;
        }
    }
    return ERROR_FILE_EXISTS;
}

// Reads on from the file's position until `into` is full or the file ends; `got` tells
// how much came.
bool ReadChunk(HANDLE file, std::vector<unsigned char>& into, DWORD& got)
{
    got = 0;
    while (got < into.size()) {
        DWORD read = 0;
        if (!ReadFile(file, into.data() + got, static_cast<DWORD>(into.size()) - got, &read, nullptr))
            return false;
        if (read == 0)
            break;
        got += read;
    }
    return true;
}

}  // namespace

bool SameContents(const std::wstring& a, const std::wstring& b, std::uint32_t& error)
{
    constexpr DWORD kChunk = 1u << 20;
    error = ERROR_SUCCESS;
    const auto open = [](const std::wstring& path) {
        return FileHandle(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    };
    LARGE_INTEGER sizeA{};
    LARGE_INTEGER sizeB{};
    FileHandle fileA = open(a);
    if (!fileA || !GetFileSizeEx(fileA.Get(), &sizeA)) {
        error = GetLastError();
        return false;
    }
    FileHandle fileB = open(b);
    if (!fileB || !GetFileSizeEx(fileB.Get(), &sizeB)) {
        error = GetLastError();
        return false;
    }
    if (sizeA.QuadPart != sizeB.QuadPart)
        return false;
    const auto chunk = static_cast<std::size_t>(std::min<LONGLONG>(kChunk, std::max<LONGLONG>(sizeA.QuadPart, 1)));
    std::vector<unsigned char> bufA(chunk);
    std::vector<unsigned char> bufB(chunk);
    for (;;) {
        DWORD gotA = 0;
        DWORD gotB = 0;
        if (!ReadChunk(fileA.Get(), bufA, gotA) || !ReadChunk(fileB.Get(), bufB, gotB)) {
            error = GetLastError();
            return false;
        }
        if (gotA != gotB || std::memcmp(bufA.data(), bufB.data(), gotA) != 0)
            return false;
        if (gotA < bufA.size())
            return true;
    }
}

namespace {

// Renames `from` to the first free backup name of `target` from `attempt` on, never
// replacing an earlier backup.
std::uint32_t MoveToFreeBackupName(const std::wstring& from, const std::wstring& target, const std::wstring& stamp,
                                   int attempt, std::wstring& backupPath)
{
    std::uint32_t error = ERROR_FILE_EXISTS;
    for (; attempt <= kMaxBackupAttempts && IsNameTaken(error); ++attempt) {
        backupPath = Reachable(BackupFileName(target, stamp, attempt));
        error = ErrorOf(MoveFileExW(from.c_str(), backupPath.c_str(), 0));
    }
    if (error != ERROR_SUCCESS)
        backupPath.clear();
    return error;
}

// The target opened for its backup link, with delete access: that fails at once for a
// file open elsewhere without delete sharing, which can be neither replaced nor renamed,
// and to which a backup name, once linked, could not be removed while it stays open.
FileHandle OpenForLink(const std::wstring& target)
{
    return FileHandle(CreateFileW(target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
}

// Gives the file open as `file` the further name `linkPath`, as CreateHardLinkW does but
// without opening the file a second time.
std::uint32_t LinkOpenFile(HANDLE file, const std::wstring& linkPath)
{
    const std::wstring name = NativePath(linkPath);
    const ULONG nameBytes = static_cast<ULONG>(name.size() * sizeof(wchar_t));
    std::vector<unsigned char> buffer(offsetof(FILE_LINK_INFORMATION, FileName) + nameBytes);
    auto* info = reinterpret_cast<FILE_LINK_INFORMATION*>(buffer.data());
    info->ReplaceIfExists = FALSE;
    info->RootDirectory = nullptr;
    info->FileNameLength = nameBytes;
    std::memcpy(info->FileName, name.data(), nameBytes);
    IO_STATUS_BLOCK io;
    const NTSTATUS status =
        NtSetInformationFile(file, &io, info, static_cast<ULONG>(buffer.size()), FileLinkInformation);
    return status >= 0 ? ERROR_SUCCESS : RtlNtStatusToDosError(status);
}

// True when the process that named a leftover still runs (and is not this one): the file
// may be its write in progress.
bool WriterStillRuns(std::uint32_t processId)
{
    if (processId == GetCurrentProcessId())
        return false;
    KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process)
        return GetLastError() == ERROR_ACCESS_DENIED;  // exists, but belongs to someone else
    DWORD code = 0;
    return GetExitCodeProcess(process.Get(), &code) && code == STILL_ACTIVE;
}

FileStamp StampOf(const WIN32_FILE_ATTRIBUTE_DATA& data)
{
    return {true, (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
            (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                data.ftLastWriteTime.dwLowDateTime};
}

// Makes `dir` and its missing ancestors; the ones this call created, deepest first.
std::vector<std::wstring> CreateMissingDirs(const std::wstring& dir)
{
    std::vector<std::wstring> missing;
    for (std::wstring at = dir; !at.empty() && GetFileAttributesW(at.c_str()) == INVALID_FILE_ATTRIBUTES;) {
        missing.push_back(at);
        std::wstring parent = GetParentPath(at);
        if (parent == at)
            break;
        at = std::move(parent);
    }
    std::vector<std::wstring> created;
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (CreateDirectoryW(it->c_str(), nullptr))
            created.insert(created.begin(), *it);
    }
    return created;
}

// Runs `remove`, a delete of `path` or a rename over it. Refused because the file at
// `path` is read-only (a copy of a read-only source is), it runs once more without that
// attribute, which comes back should it be refused again.
template <typename Remove>
std::uint32_t EvenIfReadOnly(const std::wstring& path, Remove remove)
{
    std::uint32_t error = ErrorOf(remove());
    const DWORD attrs = error == ERROR_ACCESS_DENIED ? GetFileAttributesW(path.c_str()) : INVALID_FILE_ATTRIBUTES;
    if (attrs == INVALID_FILE_ATTRIBUTES || (attrs & FILE_ATTRIBUTE_READONLY) == 0)
        return error;
    SetFileAttributesW(path.c_str(), attrs & ~FILE_ATTRIBUTE_READONLY);
    error = ErrorOf(remove());
    if (error != ERROR_SUCCESS)
        SetFileAttributesW(path.c_str(), attrs);
    return error;
}

// Opening with no sharing succeeds only when nobody else has the file open.
bool NobodyHasOpen(const std::wstring& path)
{
    return FileHandle(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)).Valid();
}

}  // namespace

FileStamp ReadFileStamp(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExW(Reachable(path).c_str(), GetFileExInfoStandard, &data) ? StampOf(data) : FileStamp{};
}

void MadeFile::Remove()
{
    if (!path_.empty())
        RemoveFile(path_);
    path_.clear();
}

WriteResult CTargetWriter::Write(const std::wstring& source, const std::wstring& target, bool keepBackup, bool verify)
{
    const std::wstring dir = GetParentPath(target);
    RemoveLeftovers(dir);
    PairWrite pair{source, target, {}, {}, {}, {}, {}};

    // STEP 1: the complete new contents under a temporary name beside the target.
    MadeFile temp;
    std::uint32_t error = CopyToNewTemp(source, dir, temp);
    if (error == ERROR_PATH_NOT_FOUND) {
        // The directory is made only when a copy shows it missing, which spares a create
        // call per ancestor for every pair of an existing tree.
        pair.createdDirs = CreateMissingDirs(dir);
        error = CopyToNewTemp(source, dir, temp);
    }
    if (error == ERROR_SUCCESS) {
        pair.tempPath = temp.Path();
        error = Step(WriteStep::Copied, pair);
    }
    if (error != ERROR_SUCCESS)
        return {WriteResult::Write, error};

    // STEP 2: the new contents read back, before anything at the target changes.
    if (verify && !SameContents(source, temp.Path(), error))
        return {WriteResult::Verify, error};
    if (commitRecorder_) {
        pair.old = ReadFileStamp(target);
        pair.written = ReadFileStamp(pair.tempPath);
    }

    bool commitUncertain = false;
    if ((error = PutInPlace(dir, pair, temp, keepBackup, commitUncertain)) != ERROR_SUCCESS)
        return {commitUncertain ? WriteResult::Commit : WriteResult::Write, error};
    return {};
}

std::uint32_t CTargetWriter::PutInPlace(const std::wstring& dir, PairWrite& pair, MadeFile& temp, bool keepBackup,
                                        bool& commitUncertain) const
{
    // STEP 3: the old contents secured under a backup name, when there are any to keep.
    const DWORD attrs = keepBackup ? GetFileAttributesW(pair.target.c_str()) : INVALID_FILE_ATTRIBUTES;
    const bool keepOld = attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) == 0;
    if (keepOld && (attrs & FILE_ATTRIBUTE_READONLY) != 0)
        return RenameAway(pair, temp);  // a read-only file is never replaced
    MadeFile backup;
    std::uint32_t error = ERROR_SUCCESS;
    if (keepOld && (error = SecureBackup(dir, pair, backup)) != ERROR_SUCCESS)
        return error;

    // STEP 4: the new file takes the target name in one rename.
    error = BeforeCommit(pair);
    if (error == ERROR_SUCCESS)
        error = ErrorOf(MoveFileExW(temp.Path().c_str(), pair.target.c_str(), MOVEFILE_REPLACE_EXISTING));
    else if (!IsTransientNetworkError(error))
        return error;
    if (error == ERROR_SUCCESS) {
        temp.Keep();
        backup.Keep();
    } else if (IsTransientNetworkError(error)) {
        // The server may have done the rename before the error reached us: the backup may
        // now hold the only copy of the old contents.
        backup.Keep();
        commitUncertain = true;
    } else if (error == ERROR_ACCESS_DENIED && keepOld) {
        // Refused as a running program's file is: the old file moves away instead.
        backup.Remove();
        pair.backupPath.clear();
        return RenameAway(pair, temp);
    }
    return error;
}

std::uint32_t CTargetWriter::Step(WriteStep step, const PairWrite& pair) const
{
    return stepHook_ ? stepHook_(step, pair) : ERROR_SUCCESS;
}

std::uint32_t CTargetWriter::BeforeCommit(const PairWrite& pair) const
{
    std::uint32_t error = Step(WriteStep::Commit, pair);
    if (error == ERROR_SUCCESS && commitRecorder_)
        error = commitRecorder_(pair);
    return error;
}

std::uint32_t CTargetWriter::PutBack(const std::wstring& backup, const std::wstring& target)
{
    RemoveLeftovers(GetParentPath(target));
    const PairWrite pair{backup, target, {}, backup, {}, {}, {}};
    if (const std::uint32_t error = Step(WriteStep::Undo, pair))
        return error;
    const std::wstring from = Reachable(backup);
    const std::wstring to = Reachable(target);
    return EvenIfReadOnly(to, [&] { return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING); });
}

std::uint32_t CTargetWriter::RemoveCreated(const std::wstring& target)
{
    RemoveLeftovers(GetParentPath(target));
    const PairWrite pair{target, target, {}, {}, {}, {}, {}};
    if (const std::uint32_t error = Step(WriteStep::Undo, pair))
        return error;
    const std::wstring path = Reachable(target);
    return EvenIfReadOnly(path, [&] { return DeleteFileW(path.c_str()); });
}

void CTargetWriter::RemoveCreatedDirs(const std::vector<std::wstring>& dirs)
{
    for (const std::wstring& dir : dirs) {
        RemoveLeftovers(dir);
        RemoveDirectoryW(Reachable(dir).c_str());
    }
}

void CTargetWriter::RemoveLeftovers(const std::wstring& dir)
{
    if (!cleanedDirs_.insert(dir).second)
        return;
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW(Reachable(dir + L"\\" + kTempNameSearch).c_str(), &data));
    if (!find)
        return;
    do {
        std::uint32_t writer = 0;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !ParseTempName(data.cFileName, writer) ||
            WriterStillRuns(writer))
            continue;
        const std::wstring path = Reachable(dir + L"\\" + data.cFileName);
        if (NobodyHasOpen(path))
            RemoveFile(path);
    } while (FindNextFileW(find.Get(), &data));
}

std::uint32_t CTargetWriter::SecureBackup(const std::wstring& dir, PairWrite& pair, MadeFile& backup) const
{
    FileHandle target = OpenForLink(pair.target);
    if (!target)
        return GetLastError();
    const std::wstring stamp = NowStamp();
    std::uint32_t error = ERROR_FILE_EXISTS;
    int attempt = 1;
    for (; attempt <= kMaxBackupAttempts && IsNameTaken(error); ++attempt) {
        pair.backupPath = Reachable(BackupFileName(pair.target, stamp, attempt));
        error = Step(WriteStep::Link, pair);
        if (error == ERROR_SUCCESS)
            error = LinkOpenFile(target.Get(), pair.backupPath);
    }
    target.Reset();
    if (error == ERROR_SUCCESS) {
        backup = MadeFile(pair.backupPath);
        return ERROR_SUCCESS;
    }
    pair.backupPath.clear();
    if (IsNameTaken(error))
        return error;

    // Linking refused (FAT volumes, shares, another volume): a copy, made complete under a
    // temporary name first so that an interrupted copy never stands as a backup.
    MadeFile copy;
    if ((error = CopyToNewTemp(pair.target, dir, copy)) != ERROR_SUCCESS)
        return error;
    if ((error = MoveToFreeBackupName(copy.Path(), pair.target, stamp, attempt - 1, pair.backupPath)) != ERROR_SUCCESS)
        return error;
    copy.Keep();
    backup = MadeFile(pair.backupPath);
    return ERROR_SUCCESS;
}

std::uint32_t CTargetWriter::RenameAway(PairWrite& pair, MadeFile& temp) const
{
    // The old file itself becomes the backup; the target name stays empty until the new
    // file takes it.
    std::uint32_t error = MoveToFreeBackupName(pair.target, pair.target, NowStamp(), 1, pair.backupPath);
    if (error != ERROR_SUCCESS)
        return error;
    error = BeforeCommit(pair);
    if (error == ERROR_SUCCESS)
        error = ErrorOf(MoveFileExW(temp.Path().c_str(), pair.target.c_str(), 0));
    if (error != ERROR_SUCCESS) {
        // Should the old file not go back, its contents stay under the backup name.
        MoveFileExW(pair.backupPath.c_str(), pair.target.c_str(), 0);
        return error;
    }
    temp.Keep();
    return ERROR_SUCCESS;
}
