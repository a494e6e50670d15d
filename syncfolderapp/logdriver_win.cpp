#include <climits>

#include <windows.h>

#include "syncfolderapp/logdriver.h"

// The log files are written in the system's ANSI code page; characters it lacks come
// out as its default character.
int ConvertLogText(const std::wstring& message, std::vector<char>& buffer)
{
    if (message.empty())
        return 0;
    if (message.size() > static_cast<size_t>(INT_MAX))
        return -1;
    const int wideLength = static_cast<int>(message.size());
    int needed = WideCharToMultiByte(CP_ACP, 0, message.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return -1;
    if (buffer.size() < static_cast<size_t>(needed))
        buffer.resize(static_cast<size_t>(needed));
    int written = WideCharToMultiByte(CP_ACP, 0, message.data(), wideLength, buffer.data(), needed, nullptr, nullptr);
    return written > 0 ? written : -1;
}
