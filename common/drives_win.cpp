#include "common/drives.h"

#include <cwctype>
#include <iterator>

#include <windows.h>

namespace {

// The text before the first ":", upper-cased; empty when there is no ":".
std::wstring DriveLetterOf(const std::wstring& path)
{
    const auto colon = path.find(L':');
    if (colon == std::wstring::npos)
        return {};
    std::wstring letter = path.substr(0, colon);
    for (wchar_t& c : letter)
        c = static_cast<wchar_t>(std::towupper(c));
    return letter;
}

// The letters of the drives the system reports as `type`, in its order (A to Z).
std::vector<std::wstring> DrivesOfType(UINT type)
{
    std::vector<std::wstring> drives;
    wchar_t buffer[256] = {};
    const DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(std::size(buffer)), buffer);
    // 0: failure; more than the buffer: the list did not fit and the buffer is unchanged.
    if (length == 0 || length > std::size(buffer))
        return drives;

    const wchar_t* end = buffer + length;
    for (const wchar_t* root = buffer; root < end && *root != 0;) {
        const std::wstring text(root);
        root += text.size() + 1;
        if (text.size() <= 1 || GetDriveTypeW(text.c_str()) != type)
            continue;
        std::wstring letter = DriveLetterOf(text);
        if (!letter.empty())
            drives.push_back(std::move(letter));
    }
    return drives;
}

}  // namespace

std::vector<std::wstring> GetFixedDrives()
{
    return DrivesOfType(DRIVE_FIXED);
}

std::vector<std::wstring> GetNetworkDrives()
{
    return DrivesOfType(DRIVE_REMOTE);
}

std::wstring GetSystemDrive()
{
    std::wstring buffer(MAX_PATH, L'\0');
    UINT length = GetWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length >= buffer.size()) {
        // Did not fit: the result is the size needed, terminating zero included.
        buffer.assign(length, L'\0');
        length = GetWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length >= buffer.size())
            return {};
    }
    if (length == 0)
        return {};
    buffer.resize(length);
    return DriveLetterOf(buffer);
}
