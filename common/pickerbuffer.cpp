#include "common/pickerbuffer.h"

namespace {

std::wstring_view TakeUntilZero(std::wstring_view text)
{
    const auto zero = text.find(L'\0');
    return zero == std::wstring_view::npos ? text : text.substr(0, zero);
}

}  // namespace

std::vector<std::wstring> ParseSelectedFiles(std::wstring_view buffer, std::size_t fileOffset)
{
    std::vector<std::wstring> files;
    if (fileOffset == 0 || fileOffset >= buffer.size())
        return files;

    std::wstring directory(TakeUntilZero(buffer.substr(0, fileOffset - 1)));
    if (directory.empty() || directory.back() != L'\\')
        directory += L'\\';

    // One file: the buffer holds a single full path, nothing after its zero counts.
    const bool single = buffer[fileOffset - 1] != L'\0';
    std::size_t pos = fileOffset;
    while (pos < buffer.size()) {
        const std::wstring_view name = TakeUntilZero(buffer.substr(pos));
        if (name.empty())
            break;
        files.push_back(directory + std::wstring(name));
        if (single)
            break;
        pos += name.size() + 1;
    }
    return files;
}
