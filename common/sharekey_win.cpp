#include "common/sharekey.h"

#include <windows.h>
#include <winnetwk.h>

namespace {

// The folder the letter of `root` is mapped to (\\host\share or a folder below it), also
// for a connection that is remembered but not made just now; empty when the system names
// none.
std::wstring RemoteOf(const std::wstring& root)
{
    const std::wstring device = root.substr(0, 2);
    std::wstring remote(MAX_PATH, L'\0');
    DWORD length = static_cast<DWORD>(remote.size());
    DWORD status = WNetGetConnectionW(device.c_str(), remote.data(), &length);
    if (status == ERROR_MORE_DATA) {
        remote.assign(length, L'\0');
        status = WNetGetConnectionW(device.c_str(), remote.data(), &length);
    }
    if (status != NO_ERROR && status != ERROR_CONNECTION_UNAVAIL)
        return {};
    remote.resize(remote.find(L'\0'));
    return UncShareKey(remote).empty() ? std::wstring() : remote;
}

// A letter whose share is not named: a network drive, or one that has no root at all
// just now (a mapping that went away), stands for its own share; a local disk has none.
bool StandsForAShare(const std::wstring& root)
{
    const UINT type = GetDriveTypeW(root.c_str());
    return type == DRIVE_REMOTE || type == DRIVE_NO_ROOT_DIR;
}

}  // namespace

std::wstring NetworkPathOf(const std::wstring& path)
{
    if (!UncShareKey(path).empty())
        return path;
    const std::wstring root = DriveRootOf(path);
    if (root.empty())
        return {};
    if (const std::wstring remote = RemoteOf(root); !remote.empty())
        return MappedPath(remote, path);
    return StandsForAShare(root) ? path : std::wstring();
}

std::wstring ShareKeyOf(const std::wstring& path)
{
    const std::wstring network = NetworkPathOf(path);
    std::wstring key = UncShareKey(network);
    return key.empty() ? DriveRootOf(network) : key;
}
