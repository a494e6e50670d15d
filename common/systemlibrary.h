#pragma once

// Loading a library of the system by its file name from the system folder only, never
// from the program's folder or the current one, where a planted file of the same name
// could be.

#include <windows.h>

#include "common/winhandle.h"

// LoadLibraryExW's shape, for the first try.
using LoadLibraryExFunction = HMODULE(WINAPI*)(LPCWSTR name, HANDLE reserved, DWORD flags);

// `name` (a file name such as L"comdlg32.dll") loaded from the system folder: through
// LOAD_LIBRARY_SEARCH_SYSTEM32, or, where the system refuses that flag with
// ERROR_INVALID_PARAMETER (Windows 7 without update KB2533623), by its full path in the
// folder GetSystemDirectoryW names. Empty when the library cannot be loaded. Tests put a
// failing `firstTry` in place of LoadLibraryExW.
Module LoadSystemLibrary(const wchar_t* name, LoadLibraryExFunction firstTry = &LoadLibraryExW);

// The function `name` that `module` exports, as a `Function`; null where it has none.
template <typename Function>
Function FindFunction(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
