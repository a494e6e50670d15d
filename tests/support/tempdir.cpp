#include "tests/support/tempdir.h"

#include <atomic>
#include <chrono>
#include <system_error>

namespace testsupport {
namespace {

std::filesystem::path MakeUnique(const std::filesystem::path& parent)
{
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (;;) {
        auto candidate = parent / ("sft_" + std::to_string(stamp) + "_" + std::to_string(counter++));
        std::error_code ec;
        if (std::filesystem::create_directory(candidate, ec))
            return candidate;
        if (ec)
            throw std::filesystem::filesystem_error("cannot create temporary directory", candidate, ec);
    }
}

}  // namespace

TempDir::TempDir() : TempDir(std::filesystem::temp_directory_path())
{
}

TempDir::TempDir(const std::filesystem::path& parent) : path_(MakeUnique(parent))
{
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::wstring TempDir::wpath() const
{
    return path_.wstring();
}

std::wstring TempDir::wpath(const std::wstring& relative) const
{
    std::wstring result = wpath();
    constexpr wchar_t sep = std::filesystem::path::preferred_separator;
    result += sep;
    for (wchar_t c : relative)
        result += (c == L'/') ? sep : c;
    return result;
}

}  // namespace testsupport
