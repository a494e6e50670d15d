#include "syncfolderapp/discovery/enginefolders.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

bool IsAsciiLetter(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

wchar_t AsciiLower(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool StartsWithIgnoringAsciiCase(std::wstring_view text, std::wstring_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (AsciiLower(text[i]) != AsciiLower(prefix[i]))
            return false;
    }
    return true;
}

}  // namespace

bool IsRecycleBinPath(const std::wstring& path)
{
    if (path.size() <= 2 || path[1] != L':' || !IsAsciiLetter(path[0]))
        return false;
    // The folder name must follow "X:\" itself: a forward slash there never matches.
    // Compared in place, as the scan asks this for every directory it meets.
    if (path[2] != L'\\')
        return false;
    static constexpr std::array<std::wstring_view, 3> kNames = {L"$Recycle.Bin", L"RECYCLER", L"RECYCLED"};
    const std::wstring_view rest = std::wstring_view(path).substr(3);
    for (const std::wstring_view name : kNames) {
        if (!StartsWithIgnoringAsciiCase(rest, name))
            continue;
        if (rest.size() == name.size() || IsSeparator(rest[name.size()]))
            return true;
    }
    return false;
}

std::optional<std::wstring> EngineFolderFor(const std::wstring& path, bool hasMir200Directory)
{
    if (hasMir200Directory)
        return path;
    // Only a "Mir200" right after a separator marks the directory to cut back to: cutting
    // in front of one inside a name (D:\x\myMir200) would invent a directory (D:\x\m).
    static const std::wstring kMir200 = L"Mir200";
    for (auto pos = path.find(kMir200); pos != std::wstring::npos; pos = path.find(kMir200, pos + 1)) {
        if (pos >= 3 && IsSeparator(path[pos - 1]))
            return path.substr(0, pos - 1);
    }
    return std::nullopt;
}

bool RegisterEngineFolder(std::vector<std::wstring>& known, const std::wstring& path)
{
    if (std::find(known.begin(), known.end(), path) != known.end())
        return true;
    known.push_back(path);
    return false;
}

EngineFolderBatch CollectEngineFolders(const std::vector<std::wstring>& paths, std::vector<std::wstring>& known,
                                       const std::function<bool(const std::wstring&)>& hasMir200Directory)
{
    EngineFolderBatch batch;
    for (const std::wstring& path : paths) {
        const std::optional<std::wstring> folder = EngineFolderFor(path, hasMir200Directory(path));
        if (!folder) {
            batch.refused = true;
            continue;
        }
        if (!RegisterEngineFolder(known, *folder))
            batch.added.push_back(*folder);
    }
    return batch;
}
