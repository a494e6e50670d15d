#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <windows.h>

#include "common/winhandle.h"
#include "syncfolderapp/sync/tempname.h"
#include "tests/support/files.h"

// Small file helpers over the program's own wide paths.
inline void Put(const std::wstring& path, const std::string& content)
{
    testsupport::WriteFile(std::filesystem::path(path), content);
}

inline std::string Get(const std::wstring& path)
{
    return testsupport::ReadFile(std::filesystem::path(path));
}

inline bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Names of the entries of `dir`, sorted.
inline std::vector<std::wstring> NamesIn(const std::wstring& dir)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW((dir + L"\\*").c_str(), &data));
    if (!find)
        return names;
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(find.Get(), &data));
    std::sort(names.begin(), names.end());
    return names;
}

// Names in `dir` that end in ".bak".
inline std::vector<std::wstring> BackupsIn(const std::wstring& dir)
{
    std::vector<std::wstring> names = NamesIn(dir);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::wstring& n) { return n.size() < 4 || n.substr(n.size() - 4) != L".bak"; }),
                names.end());
    return names;
}

// Temporary files of the writer in `dir`.
inline std::vector<std::wstring> TempFilesIn(const std::wstring& dir)
{
    std::vector<std::wstring> names = NamesIn(dir);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::wstring& n) {
                                   std::uint32_t pid = 0;
                                   return !ParseTempName(n, pid);
                               }),
                names.end());
    return names;
}
