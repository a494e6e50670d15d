#include "common/sharekey.h"

#include <string_view>

namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

wchar_t AsciiUpper(wchar_t c)
{
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (AsciiUpper(text[i]) != AsciiUpper(prefix[i]))
            return false;
    }
    return true;
}

// The text up to the next separator.
std::wstring_view Piece(std::wstring_view text)
{
    std::size_t end = 0;
    while (end < text.size() && !IsSeparator(text[end]))
        ++end;
    return text.substr(0, end);
}

}  // namespace

std::wstring UncShareKey(const std::wstring& path)
{
    std::wstring_view rest = path;
    if (StartsWithNoCase(rest, kLongUncPrefix))
        rest.remove_prefix(kLongUncPrefix.size());
    else if (rest.size() > 2 && IsSeparator(rest[0]) && IsSeparator(rest[1]) && rest[2] != L'?' && rest[2] != L'.')
        rest.remove_prefix(2);
    else
        return {};
    const std::wstring_view host = Piece(rest);
    if (host.empty() || host.size() == rest.size())
        return {};
    const std::wstring_view share = Piece(rest.substr(host.size() + 1));
    if (share.empty())
        return {};
    std::wstring key = L"\\\\";
    for (const wchar_t c : host)
        key += AsciiUpper(c);
    key += L'\\';
    for (const wchar_t c : share)
        key += AsciiUpper(c);
    return key;
}

std::wstring DriveRootOf(const std::wstring& path)
{
    std::wstring_view rest = path;
    if (rest.substr(0, kLongPrefix.size()) == kLongPrefix)
        rest.remove_prefix(kLongPrefix.size());
    const wchar_t letter = rest.empty() ? L'\0' : AsciiUpper(rest[0]);
    if (letter < L'A' || letter > L'Z' || rest.size() < 2 || rest[1] != L':')
        return {};
    return std::wstring{letter, L':', L'\\'};
}

std::wstring ShareRoot(const std::wstring& key)
{
    return !key.empty() && key.back() != L'\\' ? key + L'\\' : key;
}

std::wstring MappedPath(const std::wstring& remote, const std::wstring& path)
{
    const std::size_t drive = path.find(L':');
    return drive == std::wstring::npos ? remote : remote + path.substr(drive + 1);
}
