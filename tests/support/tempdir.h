#pragma once

#include <filesystem>
#include <string>

namespace testsupport {

// A fresh, empty directory removed with everything in it when the object goes.
// By default it lives in the system's temporary folder; `parent` puts it elsewhere
// (for example in the root of a mapped test drive such as D:\).
class TempDir {
public:
    TempDir();
    explicit TempDir(const std::filesystem::path& parent);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The directory as the program's own code sees it: a wide string with backslashes on
    // Windows, no trailing separator.
    std::wstring wpath() const;
    // wpath() + separator + relative (forward slashes in `relative` become separators).
    std::wstring wpath(const std::wstring& relative) const;

private:
    std::filesystem::path path_;
};

}  // namespace testsupport
