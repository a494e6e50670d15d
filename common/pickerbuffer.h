#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Turns the file buffer of a multi-select open-file dialog into full paths. The buffer
// holds either one full path, in which the name starts at `fileOffset`, or the
// directory, a zero, each chosen name followed by a zero, and a final zero, where
// `fileOffset` is the position of the first name. The directory may be of any length.
// The result keeps the buffer's order; it is empty for an offset that does not fit the
// buffer. A name that runs to the end of the buffer without a zero ends there.
std::vector<std::wstring> ParseSelectedFiles(std::wstring_view buffer, std::size_t fileOffset);
