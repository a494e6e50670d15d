#include "syncfolderapp/logdriver.h"

// Without an ANSI code page the log files are UTF-8. A text that is not valid Unicode
// (a surrogate or a value past U+10FFFF) cannot be converted and is not logged.
int ConvertLogText(const std::wstring& message, std::vector<char>& buffer)
{
    size_t needed = 0;
    for (wchar_t wc : message) {
        auto c = static_cast<uint32_t>(wc);
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
            return -1;
        needed += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    }
    if (needed > 0x7FFFFFFF)
        return -1;
    if (buffer.size() < needed)
        buffer.resize(needed);
    char* out = buffer.data();
    for (wchar_t wc : message) {
        auto c = static_cast<uint32_t>(wc);
        if (c < 0x80) {
            *out++ = static_cast<char>(c);
        } else if (c < 0x800) {
            *out++ = static_cast<char>(0xC0 | (c >> 6));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *out++ = static_cast<char>(0xE0 | (c >> 12));
            *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *out++ = static_cast<char>(0xF0 | (c >> 18));
            *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return static_cast<int>(needed);
}
