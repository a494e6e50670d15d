#pragma once

#include <cstdint>
#include <string>

// Names of the temporary files the program writes beside a file it replaces: "~sf", the
// writing process's id and a counter, eight hex digits each, then ".tmp". The length is
// fixed (23 characters) so that a temporary name fits wherever the file it stands for
// does, and the form cannot be mistaken for an operator's file.

// Matches every temporary name (and more) in a directory search.
inline constexpr wchar_t kTempNameSearch[] = L"~sf*.tmp";

std::wstring MakeTempName(std::uint32_t processId, std::uint32_t counter);

// True when `name` has exactly the form MakeTempName produces; `processId` then holds the
// id of the process that made it.
bool ParseTempName(const std::wstring& name, std::uint32_t& processId);
