#include "tools/demodriver/console_win.h"

#include <windows.h>

#include <string>

#include "common/textutil.h"

namespace demo {
namespace {

void Write(DWORD which, const std::wstring& text)
{
    HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || text.empty())
        return;
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(handle, &mode)) {
        WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const std::string bytes = ToUtf8(text);
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

void Out(const std::wstring& text)
{
    Write(STD_OUTPUT_HANDLE, text);
}

void Err(const std::wstring& text)
{
    Write(STD_ERROR_HANDLE, text);
}

}  // namespace demo
