#include "common/textutil.h"

#include <vector>

#include <windows.h>

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
