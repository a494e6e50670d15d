#include "syncfolderapp/sync/runjournal.h"

#include <algorithm>

#include "common/fileutil.h"
#include "common/textutil.h"

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
    for (const std::wstring& name : names)
        number = std::max(number, std::stoull(name.substr(0, name.find(L'.'))) + 1);
    return number;
}

std::uint32_t WriteAll(HANDLE file, const std::string& bytes)
{
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        return GetLastError();
    return written == bytes.size() ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

JournalEntry EntryOf(const PairWrite& pair)
{
    JournalEntry entry;
    entry.target = pair.target;
    entry.before = !pair.old.exists          ? BeforeRun::Nothing
                   : pair.backupPath.empty() ? BeforeRun::NoBackup
                                             : BeforeRun::Backup;
    entry.backupPath = pair.backupPath;
    entry.old = pair.old;
    entry.written = pair.written;
    entry.createdDirs = pair.createdDirs;
    return entry;
}

}  // namespace

std::uint32_t CRunJournal::Open()
{
    if (!EnsureDirectory(folder))
        return GetLastError() ? GetLastError() : ERROR_PATH_NOT_FOUND;
    const std::vector<std::wstring> names = NamesIn(folder);
    std::uint64_t number = NextJournalNumber(names);
    for (;; ++number) {
        file.Reset(CreateFileW((folder + L"\\" + JournalFileName(number)).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                               nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file)
            return WriteAll(file.Get(), ToUtf8(std::wstring(kJournalHeader) + L"\n"));
        if (GetLastError() != ERROR_FILE_EXISTS)
            return GetLastError();
    }
}

std::uint32_t CRunJournal::Record(const PairWrite& pair)
{
    if (!file) {
        if (const std::uint32_t error = Open(); error != ERROR_SUCCESS) {
            file.Reset();
            return error;
        }
    }
    return WriteAll(file.Get(), ToUtf8(FormatJournalLine(EntryOf(pair))));
}

void CRunJournal::EndRun()
{
    if (!file)
        return;
    FlushFileBuffers(file.Get());
    file.Reset();
    for (const std::wstring& name : JournalsToRemove(NamesIn(folder)))
        DeleteFileW((folder + L"\\" + name).c_str());
}

std::wstring CRunJournal::NewestOpen(const std::wstring& folder)
{
    const std::wstring name = NewestOpenJournal(NamesIn(folder));
    return name.empty() ? name : folder + L"\\" + name;
}

bool CRunJournal::Read(const std::wstring& path, std::vector<JournalEntry>& entries)
{
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size;
    if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x7fffffff)
        return false;
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size()))
        return false;
    return ParseJournal(FromUtf8(bytes), entries) == JournalRead::Ok;
}

bool CRunJournal::MarkUndone(const std::wstring& path)
{
    const std::size_t slash = path.rfind(L'\\') + 1;
    return MoveFileExW(path.c_str(), (path.substr(0, slash) + UndoneName(path.substr(slash))).c_str(), 0) != FALSE;
}
