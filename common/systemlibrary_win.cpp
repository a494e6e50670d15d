#include "common/systemlibrary.h"

#include <string>

Module LoadSystemLibrary(const wchar_t* name, LoadLibraryExFunction firstTry)
{
    if (HMODULE module = firstTry(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
        return Module(module);
    // Any other failure means the library is not there (or cannot load): a second try
    // would fail the same way.
    if (GetLastError() != ERROR_INVALID_PARAMETER)
        return {};
    // Windows cannot be installed in a folder whose path is longer than MAX_PATH.
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    // A full path: the loader looks nowhere else.
    return Module(LoadLibraryW((std::wstring(folder, length) + L'\\' + name).c_str()));
}
