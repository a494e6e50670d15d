#include "common/sharekey.h"

#include <windows.h>
#include <winnetwk.h>

std::wstring ShareKeyOf(const std::wstring& path)
{
    if (std::wstring key = UncShareKey(path); !key.empty())
        return key;
    const std::wstring root = DriveRootOf(path);
    if (root.empty())
        return {};
    // The share the letter is mapped to; a connection that is remembered but not made
    // just now is named all the same.
    const std::wstring device = root.substr(0, 2);
    std::wstring remote(MAX_PATH, L'\0');
    DWORD length = static_cast<DWORD>(remote.size());
    DWORD status = WNetGetConnectionW(device.c_str(), remote.data(), &length);
    if (status == ERROR_MORE_DATA) {
        remote.assign(length, L'\0');
        status = WNetGetConnectionW(device.c_str(), remote.data(), &length);
    }
    if (status == NO_ERROR || status == ERROR_CONNECTION_UNAVAIL) {
        if (std::wstring key = UncShareKey(remote.c_str()); !key.empty())
            return key;
    }
    // A letter whose share is not named: a network drive, or one that has no root at all
    // just now (a mapping that went away), stands for its own share; a local disk has none.
    const UINT type = GetDriveTypeW(root.c_str());
    return type == DRIVE_REMOTE || type == DRIVE_NO_ROOT_DIR ? root : std::wstring();
}
