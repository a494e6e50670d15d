#pragma once

#include <string>

namespace demo {

// Writes text to standard output / standard error: as wide text to a console, as UTF-8
// to a pipe or file (how the demo script reads it).
void Out(const std::wstring& text);
void Err(const std::wstring& text);

}  // namespace demo
