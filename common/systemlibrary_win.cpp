#include "common/systemlibrary.h"

#include <string>

namespace {

// The system folder, read with a buffer of the size it asks for; empty on failure.
std::wstring SystemFolder()
{
    std::wstring folder(MAX_PATH, L'\0');
    UINT length = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    if (length >= folder.size()) {
        // Did not fit: the result is the size needed, terminating zero included.
        folder.assign(length, L'\0');
        length = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
        if (length >= folder.size())
            return {};
    }
    folder.resize(length);
    return folder;
}

}  // namespace

Module LoadSystemLibrary(const wchar_t* name, LoadLibraryExFunction firstTry)
{
    if (HMODULE module = firstTry(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
        return Module(module);
    // Any other failure means the library is not there (or cannot load): a second try
    // would fail the same way.
    if (GetLastError() != ERROR_INVALID_PARAMETER)
        return {};
    const std::wstring folder = SystemFolder();
    if (folder.empty())
        return {};
    // A full path: the loader looks nowhere else.
    return Module(LoadLibraryW((folder + L'\\' + name).c_str()));
}
