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

// Deletes a file of our own. Temporary files carry the attributes of what they copy; a
// read-only one loses that attribute, and no other, to be deleted.
void RemoveFile(const std::wstring& path)
{
    EvenIfReadOnly(path, [&] { return DeleteFileW(path.c_str()); });
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

// Moves a file that refuses to be replaced or deleted but may be renamed (a running
// program's) out of the way, to a new temporary name in `dir` (`aside`); the leftover rule
// removes it once nobody has it open.
std::uint32_t MoveAside(const std::wstring& path, const std::wstring& dir, std::wstring& aside)
{
    std::uint32_t error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < kMaxTempAttempts && IsNameTaken(error); ++attempt) {
        aside = Reachable(dir + L"\\" + MakeTempName(GetCurrentProcessId(), ++gTempCounter));
        error = ErrorOf(MoveFileExW(path.c_str(), aside.c_str(), 0));
    }
    return error;
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

// The first backup name of `target` at which nothing stands yet.
std::uint32_t FreeBackupName(const std::wstring& target, const std::wstring& stamp, std::wstring& backupPath)
{
    for (int attempt = 1; attempt <= kMaxBackupAttempts; ++attempt) {
        backupPath = Reachable(BackupFileName(target, stamp, attempt));
        if (GetFileAttributesW(backupPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_NOT_FOUND)
                return ERROR_SUCCESS;
            backupPath.clear();
            return error;
        }
    }
    backupPath.clear();
    return ERROR_FILE_EXISTS;
}

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
// and to which a backup name, once linked, could not be removed while it stays open. A
// reparse point is opened itself, not what it points to, since its name is what the
// commit replaces.
FileHandle OpenForLink(const std::wstring& target)
{
    return FileHandle(CreateFileW(target.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

// A hard link is a snapshot of the old contents only while the file has no other name
// (through which it could still be written) and is no reparse point (whose link would not
// hold the contents it stands for). Asked on the open handle: the information classes
// need no more than FILE_READ_ATTRIBUTES.
bool LinkIsSnapshot(HANDLE file)
{
    FILE_STANDARD_INFO standard;
    FILE_ATTRIBUTE_TAG_INFO tag;
    return GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof(standard)) &&
           standard.NumberOfLinks == 1 && GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof(tag)) &&
           (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
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
    if (path_.empty())
        return;
    if (kind_ == NameOfTarget)
        DeleteFileW(path_.c_str());
    else
        RemoveFile(path_);
    path_.clear();
}

WriteResult CTargetWriter::Write(const std::wstring& source, const std::wstring& target, bool keepBackup, bool verify,
                                 const FileStamp* sourceStamp)
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
    // The target as it is before anything of it changes, read once: the backup is decided
    // on what the journal line tells.
    WIN32_FILE_ATTRIBUTE_DATA before;
    const bool exists = GetFileAttributesExW(Reachable(target).c_str(), GetFileExInfoStandard, &before) != FALSE;
    pair.old = exists ? StampOf(before) : FileStamp{};
    if (commitRecorder_)
        pair.written = WrittenStamp(dir, pair.tempPath, sourceStamp);

    bool commitUncertain = false;
    const std::uint32_t attributes = exists ? before.dwFileAttributes : INVALID_FILE_ATTRIBUTES;
    if ((error = PutInPlace(dir, pair, temp, keepBackup, attributes, commitUncertain)) != ERROR_SUCCESS)
        return {commitUncertain ? WriteResult::Commit : WriteResult::Write, error};
    return {};
}

FileStamp CTargetWriter::WrittenStamp(const std::wstring& dir, const std::wstring& temp, const FileStamp* sourceStamp)
{
    if (!sourceStamp)
        return ReadFileStamp(temp);
    const auto seen = stampsCarried_.find(dir);
    if (seen != stampsCarried_.end() && seen->second)
        return *sourceStamp;
    const FileStamp read = ReadFileStamp(temp);
    if (seen == stampsCarried_.end())
        stampsCarried_.emplace(dir, read == *sourceStamp);
    return read;
}

std::uint32_t CTargetWriter::PutInPlace(const std::wstring& dir, PairWrite& pair, MadeFile& temp, bool keepBackup,
                                        std::uint32_t attrs, bool& commitUncertain) const
{
    // STEP 3: the old contents secured under a backup name, when there are any to keep.
    const bool keepOld = keepBackup && attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) == 0;
    if (keepOld && (attrs & FILE_ATTRIBUTE_READONLY) != 0)
        return RenameAway(pair, temp);  // a read-only file is never replaced
    MadeFile backup;
    std::uint32_t error = ERROR_SUCCESS;
    if (keepOld && (error = SecureBackup(dir, pair, backup)) != ERROR_SUCCESS)
        return error;

    // STEP 4: the new file takes the target name in one rename; a name that was free when
    // the journal line said so is not taken from a file made there since.
    error = BeforeCommit(pair);
    if (error == ERROR_SUCCESS) {
        const DWORD replace = pair.old.exists ? MOVEFILE_REPLACE_EXISTING : 0;
        error = ErrorOf(MoveFileExW(temp.Path().c_str(), pair.target.c_str(), replace));
    } else if (!IsTransientNetworkError(error)) {
        return error;
    }
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
    const std::uint32_t error =
        EvenIfReadOnly(to, [&] { return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING); });
    std::wstring aside;
    if (error != ERROR_ACCESS_DENIED || MoveAside(to, GetParentPath(target), aside) != ERROR_SUCCESS)
        return error;
    const std::uint32_t takeName = ErrorOf(MoveFileExW(from.c_str(), to.c_str(), 0));
    if (takeName != ERROR_SUCCESS)
        MoveFileExW(aside.c_str(), to.c_str(), 0);  // the run's file back; else a retry finds the name empty
    return takeName;
}

std::uint32_t CTargetWriter::RemoveCreated(const std::wstring& target)
{
    RemoveLeftovers(GetParentPath(target));
    const PairWrite pair{target, target, {}, {}, {}, {}, {}};
    if (const std::uint32_t error = Step(WriteStep::Undo, pair))
        return error;
    const std::wstring path = Reachable(target);
    const std::uint32_t error = EvenIfReadOnly(path, [&] { return DeleteFileW(path.c_str()); });
    std::wstring aside;
    if (error == ERROR_ACCESS_DENIED && MoveAside(path, GetParentPath(target), aside) == ERROR_SUCCESS)
        return ERROR_SUCCESS;
    return error;
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
    // A file a link would not hold a snapshot of is copied, as where links are refused.
    std::uint32_t error = LinkIsSnapshot(target.Get()) ? ERROR_FILE_EXISTS : ERROR_NOT_SUPPORTED;
    int attempt = 1;
    for (; attempt <= kMaxBackupAttempts && IsNameTaken(error); ++attempt) {
        pair.backupPath = Reachable(BackupFileName(pair.target, stamp, attempt));
        error = Step(WriteStep::Link, pair);
        if (error == ERROR_SUCCESS)
            error = LinkOpenFile(target.Get(), pair.backupPath);
    }
    target.Reset();
    if (error == ERROR_SUCCESS) {
        backup = MadeFile(pair.backupPath, MadeFile::NameOfTarget);
        return ERROR_SUCCESS;
    }
    pair.backupPath.clear();
    if (IsNameTaken(error))
        return error;

    // Linking refused (FAT volumes, shares, another volume) or of no use: a copy, made
    // complete under a temporary name first so that an interrupted copy never stands as a
    // backup.
    MadeFile copy;
    if ((error = CopyToNewTemp(pair.target, dir, copy)) != ERROR_SUCCESS)
        return error;
    const int firstFree = std::max(attempt - 1, 1);  // the name whose link was refused is free
    if ((error = MoveToFreeBackupName(copy.Path(), pair.target, stamp, firstFree, pair.backupPath)) != ERROR_SUCCESS)
        return error;
    copy.Keep();
    backup = MadeFile(pair.backupPath);
    return ERROR_SUCCESS;
}

std::uint32_t CTargetWriter::RenameAway(PairWrite& pair, MadeFile& temp) const
{
    // The old file itself becomes the backup; the target name stays empty until the new
    // file takes it. Its journal line goes out before the rename, so that a kill at any
    // point leaves what the line can undo.
    std::uint32_t error = FreeBackupName(pair.target, NowStamp(), pair.backupPath);
    if (error == ERROR_SUCCESS)
        error = BeforeCommit(pair);
    if (error == ERROR_SUCCESS)
        error = ErrorOf(MoveFileExW(pair.target.c_str(), pair.backupPath.c_str(), 0));
    if (error != ERROR_SUCCESS)
        return error;
    error = Step(WriteStep::RenamedAway, pair);
    if (error == ERROR_SUCCESS)
        error = ErrorOf(MoveFileExW(temp.Path().c_str(), pair.target.c_str(), 0));
    if (error != ERROR_SUCCESS) {
        // The old file goes back. Should it not, its contents stay under the backup name,
        // where the journal line finds them; that error is the one reported, since it is
        // why the target name is left empty.
        const std::uint32_t back = ErrorOf(MoveFileExW(pair.backupPath.c_str(), pair.target.c_str(), 0));
        return back != ERROR_SUCCESS ? back : error;
    }
    temp.Keep();
    return ERROR_SUCCESS;
}
