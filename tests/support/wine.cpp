#include "tests/support/wine.h"

#include <windows.h>

namespace testsupport {

bool RunningUnderWine()
{
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::wstring MappedDriveRoot(wchar_t letter)
{
    const wchar_t root[] = {letter, L':', L'\\', 0};
    return GetDriveTypeW(root) == DRIVE_FIXED ? std::wstring(root) : std::wstring();
}

}  // namespace testsupport
