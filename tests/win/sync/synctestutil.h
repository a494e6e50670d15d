#pragma once

#include <filesystem>
#include <string>

#include <windows.h>

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
