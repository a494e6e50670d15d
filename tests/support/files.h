#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// Writes `content` to `file`, creating missing parent directories.
void WriteFile(const std::filesystem::path& file, const std::string& content);
// The whole file as bytes; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& file);
// Lines of a text file without their line ends (CR LF or LF).
std::vector<std::string> ReadLines(const std::filesystem::path& file);
// Names (not paths) of the entries of a directory, sorted.
std::vector<std::string> ListNames(const std::filesystem::path& dir);

}  // namespace testsupport
