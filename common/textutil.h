#pragma once

// Conversions between in-memory text (wide, UTF-16 on Windows) and the narrow encodings
// the program reads and writes: UTF-8 (settings, layouts, resources) and the system's
// ANSI code page (log files).

#include <string>
#include <string_view>
#include <vector>

// The wide text as UTF-8 bytes, up to its first zero; empty for an empty text or a
// failed conversion.
std::string ToUtf8(const std::wstring& text);

#ifdef _WIN32

// UTF-8 bytes as wide text; invalid sequences become U+FFFD.
std::wstring FromUtf8(std::string_view bytes);

// Text in the system's ANSI code page as wide text.
std::wstring FromAnsi(std::string_view bytes);

// The wide text in the system's ANSI code page; characters the code page lacks come out
// as its default character. Empty for an empty text or a failed conversion.
std::string ToAnsi(std::wstring_view text);

// The same into a buffer that is reused from call to call: grown when too small, never
// shrunk. Returns the number of bytes, 0 for an empty text, -1 when the conversion fails.
int ToAnsi(std::wstring_view text, std::vector<char>& buffer);

// The text upper-cased as the file system compares names (the invariant rules), so that
// two spellings of one name that differ only in letter case come out equal.
std::wstring UpperName(const std::wstring& name);

#endif
