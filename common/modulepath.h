#pragma once

#include <string>

#include <windows.h>

// Full path of the module's file (the program when `module` is null), read with a
// buffer that grows until the whole path fits; empty on failure.
std::wstring GetModulePath(HMODULE module = nullptr);
