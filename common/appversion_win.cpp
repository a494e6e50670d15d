#include "common/appversion.h"

#include <vector>

#include <windows.h>

#include "common/modulepath.h"

std::wstring GetAppVersion()
{
    const std::wstring path = GetModulePath();
    if (path.empty())
        return {};
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return {};
    std::vector<BYTE> info(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, info.data()))
        return {};
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) || fixed == nullptr ||
        fixedSize < sizeof(VS_FIXEDFILEINFO))
        return {};
    return std::to_wstring(HIWORD(fixed->dwProductVersionMS)) + L"." +
           std::to_wstring(LOWORD(fixed->dwProductVersionMS)) + L"." +
           std::to_wstring(HIWORD(fixed->dwProductVersionLS));
}
