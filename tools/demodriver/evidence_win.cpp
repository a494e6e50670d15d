#include "tools/demodriver/evidence_win.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "common/textutil.h"
#include "common/winhandle.h"

namespace demo {
namespace {

bool ReadAll(const std::wstring& path, uint64_t offset, std::string& bytes)
{
    const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || static_cast<uint64_t>(size.QuadPart) < offset)
        return false;
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN))
        return false;
    bytes.assign(static_cast<size_t>(size.QuadPart - at.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        if (!ReadFile(file.Get(), bytes.data() + done, want, &got, nullptr) || got == 0)
            break;
        done += got;
    }
    bytes.resize(done);
    return true;
}

// "[20261209 08:01:02.345] text, LINE:136" -> "text".
std::wstring MessageOf(const std::wstring& line)
{
    std::wstring text = line;
    if (!text.empty() && text.front() == L'[') {
        const size_t close = text.find(L"] ");
        if (close != std::wstring::npos)
            text.erase(0, close + 2);
    }
    const size_t tag = text.rfind(L", LINE:");
    if (tag != std::wstring::npos)
        text.erase(tag);
    return text;
}

bool IsDayLogName(const wchar_t* name)
{
    if (wcslen(name) != 12 || _wcsicmp(name + 8, L".log") != 0)
        return false;
    for (int i = 0; i < 8; ++i)
        if (name[i] < L'0' || name[i] > L'9')
            return false;
    return true;
}

}  // namespace

std::wstring NewestDayLog(const std::wstring& logDir)
{
    WIN32_FIND_DATAW data{};
    const FindHandle find(FindFirstFileW((logDir + L"\\*.log").c_str(), &data));
    std::wstring newest;
    for (bool more = find.Valid(); more; more = FindNextFileW(find.Get(), &data) != FALSE) {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsDayLogName(data.cFileName))
            continue;
        if (newest.empty() || wcscmp(data.cFileName, newest.c_str()) > 0)
            newest = data.cFileName;
    }
    return newest.empty() ? std::wstring() : logDir + L"\\" + newest;
}

uint64_t FileSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::vector<std::wstring> LogMessagesFrom(const std::wstring& path, uint64_t offset)
{
    std::vector<std::wstring> messages;
    std::string bytes;
    if (path.empty() || !ReadAll(path, offset, bytes))
        return messages;
    const std::wstring text = FromAnsi(bytes);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        // A line still being written has no end yet: leave it for the next read.
        if (end == std::wstring::npos)
            break;
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
        if (!line.empty())
            messages.push_back(MessageOf(line));
        start = end + 1;
    }
    return messages;
}

std::vector<CopiedFile> CopiedFiles(const std::vector<std::wstring>& messages)
{
    static const std::wstring kOk = L"同步文件成功:";
    static const std::wstring kArrow = L" >> ";
    std::vector<CopiedFile> copied;
    for (const std::wstring& message : messages) {
        if (message.compare(0, kOk.size(), kOk) != 0)
            continue;
        const size_t arrow = message.find(kArrow, kOk.size());
        if (arrow == std::wstring::npos)
            continue;
        copied.push_back({message.substr(kOk.size(), arrow - kOk.size()), message.substr(arrow + kArrow.size())});
    }
    return copied;
}

bool SameContent(const std::wstring& a, const std::wstring& b)
{
    std::string left;
    std::string right;
    return ReadAll(a, 0, left) && ReadAll(b, 0, right) && left == right;
}

std::vector<std::wstring> BackupsOf(const std::wstring& target, const std::wstring& since)
{
    std::vector<std::wstring> backups;
    const size_t slash = target.rfind(L'\\');
    const std::wstring dir = slash == std::wstring::npos ? std::wstring() : target.substr(0, slash + 1);
    const std::wstring name = target.substr(dir.size());
    WIN32_FIND_DATAW data{};
    const FindHandle find(FindFirstFileW((target + L"_*.bak").c_str(), &data));
    for (bool more = find.Valid(); more; more = FindNextFileW(find.Get(), &data) != FALSE) {
        const std::wstring found = data.cFileName;
        // name + "_" + 12 digits + one more character + ".bak"
        if (found.size() != name.size() + 1 + 13 + 4)
            continue;
        const std::wstring stamp = found.substr(name.size() + 1, 12);
        if (stamp >= since)
            backups.push_back(dir + found);
    }
    return backups;
}

std::wstring StampNow()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t stamp[32] = {};
    swprintf(stamp, 32, L"%02d%02d%02d%02d%02d%02d", now.wYear % 100, now.wMonth, now.wDay, now.wHour, now.wMinute,
             now.wSecond);
    return stamp;
}

std::wstring HostPath(const std::wstring& windowsPath)
{
    using UnixName = char*(CDECL*)(const wchar_t*);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto toUnix =
        kernel ? reinterpret_cast<UnixName>(reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_unix_file_name")))
               : nullptr;
    if (!toUnix)
        return {};
    char* unixName = toUnix(windowsPath.c_str());
    if (!unixName)
        return {};
    const std::wstring result = FromUtf8(unixName);
    HeapFree(GetProcessHeap(), 0, unixName);
    return result;
}

}  // namespace demo
