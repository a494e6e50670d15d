#include "common/textutil.h"

#include <climits>

#include <windows.h>

namespace {

// Narrow bytes of `codePage` as wide text; empty when the conversion fails.
std::wstring Widen(UINT codePage, std::string_view bytes)
{
    if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX))
        return {};
    const int length = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    if (needed <= 0)
        return {};
    std::wstring text(static_cast<size_t>(needed), L'\0');
    if (MultiByteToWideChar(codePage, 0, bytes.data(), length, text.data(), needed) <= 0)
        return {};
    return text;
}

}  // namespace

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    // The whole text including its terminating zero, so that the result stops at the
    // first zero exactly as a C string would.
    const int needed = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return {};
    std::vector<char> buffer(static_cast<size_t>(needed) + 1, 0);
    if (WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, buffer.data(), needed, nullptr, nullptr) <= 0)
        return {};
    return std::string(buffer.data());
}

std::wstring FromUtf8(std::string_view bytes)
{
    return Widen(CP_UTF8, bytes);
}

std::wstring FromAnsi(std::string_view bytes)
{
    return Widen(CP_ACP, bytes);
}

int ToAnsi(std::wstring_view text, std::vector<char>& buffer)
{
    if (text.empty())
        return 0;
    if (text.size() > static_cast<size_t>(INT_MAX))
        return -1;
    const int length = static_cast<int>(text.size());
    const int needed = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return -1;
    if (buffer.size() < static_cast<size_t>(needed))
        buffer.resize(static_cast<size_t>(needed));
    const int written = WideCharToMultiByte(CP_ACP, 0, text.data(), length, buffer.data(), needed, nullptr, nullptr);
    return written > 0 ? written : -1;
}

std::string ToAnsi(std::wstring_view text)
{
    std::vector<char> buffer;
    const int length = ToAnsi(text, buffer);
    return length > 0 ? std::string(buffer.data(), static_cast<size_t>(length)) : std::string();
}

std::wstring UpperName(const std::wstring& name)
{
    std::wstring upper(name);
    if (!upper.empty())
        LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, name.c_str(), static_cast<int>(name.size()), upper.data(),
                      static_cast<int>(upper.size()), nullptr, nullptr, 0);
    return upper;
}
