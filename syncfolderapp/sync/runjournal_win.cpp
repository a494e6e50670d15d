#include "syncfolderapp/sync/runjournal.h"

#include <algorithm>

#include "common/fileutil.h"
#include "common/textutil.h"
#include "syncfolderapp/sync/tempname.h"

namespace {

std::vector<std::wstring> NamesIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!find)
        return names;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && IsJournalFileName(data.cFileName))
            names.emplace_back(data.cFileName);
    } while (FindNextFileW(find.Get(), &data));
    return names;
}

// A number above every journal's of the folder, from the clock when that is later, so
// that names keep the order of the runs even when the clock went back.
std::uint64_t NextJournalNumber(const std::vector<std::wstring>& names)
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    std::uint64_t number = (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    for (const std::wstring& name : names) {
        std::uint64_t taken = 0;
        if (JournalNumber(name, taken))
            number = std::max(number, taken + 1);
    }
    return number;
}

std::uint32_t WriteAll(HANDLE file, const std::string& bytes)
{
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        return GetLastError();
    return written == bytes.size() ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

// The journal's first line, as it stands in the file.
std::string HeaderBytes()
{
    return ToUtf8(std::wstring(kJournalHeader) + L"\n");
}

std::uint32_t ErrorOr(std::uint32_t fallback)
{
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : fallback;
}

bool RenameJournal(const std::wstring& path, std::wstring (*newName)(std::wstring_view))
{
    const std::size_t slash = path.rfind(L'\\') + 1;
    return MoveFileExW(path.c_str(), (path.substr(0, slash) + newName(path.substr(slash))).c_str(), 0) != FALSE;
}

}  // namespace

std::uint32_t CRunJournal::Open()
{
    if (!EnsureDirectory(folder))
        return ErrorOr(ERROR_PATH_NOT_FOUND);
    const std::vector<std::wstring> names = NamesIn(folder);
    std::uint64_t number = NextJournalNumber(names);
    for (;; ++number) {
        file.Reset(CreateFileW((folder + L"\\" + JournalFileName(number)).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                               nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file)
            break;
        if (GetLastError() != ERROR_FILE_EXISTS)
            return GetLastError();
    }
    const std::string header = HeaderBytes();
    wholeLinesEnd = header.size();
    return WriteAll(file.Get(), header);
}

std::uint32_t CRunJournal::Record(const PairWrite& pair)
{
    const std::lock_guard<std::mutex> held(lock);
    if (cutBackError != ERROR_SUCCESS)
        return cutBackError;
    if (!file) {
        if (const std::uint32_t error = Open(); error != ERROR_SUCCESS) {
            file.Reset();
            return error;
        }
    }
    const std::string line =
        ToUtf8(FormatJournalLine(CommitEntry(pair.target, pair.old, pair.backupPath, pair.written, pair.createdDirs)));
    const std::uint32_t error = WriteAll(file.Get(), line);
    if (error == ERROR_SUCCESS) {
        wholeLinesEnd += line.size();
        return ERROR_SUCCESS;
    }
    // Part of the line may have reached the file: the next line must not continue it.
    cutBackError = CutBack();
    return error;
}

std::uint32_t CRunJournal::CutBack()
{
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(wholeLinesEnd);
    if (!SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN) || !SetEndOfFile(file.Get()))
        return ErrorOr(ERROR_WRITE_FAULT);
    return ERROR_SUCCESS;
}

void CRunJournal::EndRun()
{
    const std::lock_guard<std::mutex> held(lock);
    cutBackError = ERROR_SUCCESS;
    if (!file)
        return;
    FlushFileBuffers(file.Get());
    file.Reset();
    for (const std::wstring& name : JournalsToRemove(NamesIn(folder)))
        DeleteFileW((folder + L"\\" + name).c_str());
}

std::uint32_t CRunJournal::TryWrite(const std::wstring& folder)
{
    if (!EnsureDirectory(folder))
        return ErrorOr(ERROR_PATH_NOT_FOUND);
    // Deleted when closed, also should the program be killed in between.
    FileHandle probe(CreateFileW((folder + L"\\" + MakeTempName(GetCurrentProcessId(), 0)).c_str(),
                                 GENERIC_WRITE | DELETE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!probe)
        return GetLastError();
    return WriteAll(probe.Get(), HeaderBytes());
}

FileHandle CRunJournal::TakeLock(const std::wstring& folder, std::uint32_t& error)
{
    error = ERROR_SUCCESS;
    if (!EnsureDirectory(folder)) {
        error = ErrorOr(ERROR_PATH_NOT_FOUND);
        return {};
    }
    FileHandle lock(CreateFileW((folder + L"\\lock").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!lock)
        error = GetLastError();
    return lock;
}

std::wstring CRunJournal::NewestOpen(const std::wstring& folder)
{
    const std::wstring name = NewestOpenJournal(NamesIn(folder));
    return name.empty() ? name : folder + L"\\" + name;
}

CRunJournal::ReadResult CRunJournal::Read(const std::wstring& path, std::vector<JournalEntry>& entries,
                                          std::size_t& damagedLines)
{
    entries.clear();
    damagedLines = 0;
    // No write sharing: a journal still being written is not taken for a finished one.
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return GetLastError() == ERROR_SHARING_VIOLATION ? ReadResult::InUse : ReadResult::Unreadable;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x7fffffff)
        return ReadResult::Unreadable;
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size()))
        return ReadResult::Unreadable;
    return ParseJournal(FromUtf8(bytes), entries, damagedLines) == JournalRead::Ok ? ReadResult::Ok
                                                                                   : ReadResult::Damaged;
}

bool CRunJournal::MarkUndone(const std::wstring& path)
{
    return RenameJournal(path, UndoneName);
}

bool CRunJournal::MarkDamaged(const std::wstring& path)
{
    return RenameJournal(path, DamagedName);
}
