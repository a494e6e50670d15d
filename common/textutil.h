#pragma once

#include <string>

// The wide text as UTF-8 bytes; empty for an empty text or a failed conversion.
std::string ToUtf8(const std::wstring& text);
