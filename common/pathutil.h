#pragma once

#include <string>
#include <vector>

// Path and text rules that touch no file system. Paths are wide strings with the
// backslash as separator, compared exactly and never canonicalised.

// Text before the last backslash or forward slash: D:\dir\f.txt -> D:\dir, D:\f.txt -> D:,
// \f -> \, f.txt -> (empty).
std::wstring GetParentPath(const std::wstring& path);

// Every occurrence of `pattern`, left to right and without overlap, replaced by
// `replacement`; the inserted text is not searched again. An empty pattern changes nothing.
std::wstring ReplaceAll(const std::wstring& text, const std::wstring& pattern, const std::wstring& replacement);

// True for the "." and ".." entries a directory listing reports besides the real ones.
bool IsDotEntry(const wchar_t* name);

// The non-empty pieces of `text` between delimiters, in order: D:\a\\b\ -> D:, a, b.
// An empty delimiter yields the whole text as one piece (when not empty).
std::vector<std::wstring> SplitString(const std::wstring& text, const std::wstring& delimiter);
