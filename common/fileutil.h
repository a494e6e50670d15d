#pragma once

#include <string>
#include <vector>

// File-system helpers over wide paths. Failures show only in the result.

// True when the path names an existing directory (found by a find-first search on the
// path itself, so a drive root such as D:\ and any path ending in a backslash are false).
bool IsExistingDirectory(const std::wstring& path);

// Creates every missing directory of the path, outermost first; true when this call
// created the last one (false when it existed already).
bool CreateDirectoryTree(const std::wstring& path);

// Makes sure the directory exists (forward slashes count as separators); true when it
// exists afterwards. Pass the path without a trailing separator.
bool EnsureDirectory(const std::wstring& path);

// Appends the full path of every file below `root`, depth first, a directory's files
// before those of its sub-directories. Roots of 260 characters or more that start with a
// drive letter are walked with the \\?\ prefix. Directories that cannot be listed are
// skipped; a directory link that leads back into a directory already walked is not
// followed again, so link cycles end.
void ListFilesRecursive(const std::wstring& root, std::vector<std::wstring>& files);

// The path the system resolves an existing file or directory to, links followed (in the
// system's \\?\ form); empty on failure.
std::wstring GetFinalPath(const std::wstring& path);
