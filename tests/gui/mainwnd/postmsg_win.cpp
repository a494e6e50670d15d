// Posts one window message from a process of its own, as accessibility and scripting
// tools do to another program's windows:
//
//   postmsg <window> <message> [wParam [lParam]]     (decimal numbers)
//
// Exit code 0 when the message was posted, 1 when it was refused, 2 for bad arguments.

#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3 || argc > 5)
        return 2;
    const auto number = [](const wchar_t* text) { return std::wcstoull(text, nullptr, 10); };
    const auto window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(number(argv[1])));
    const auto message = static_cast<UINT>(number(argv[2]));
    const WPARAM wParam = argc > 3 ? static_cast<WPARAM>(number(argv[3])) : 0;
    const LPARAM lParam = argc > 4 ? static_cast<LPARAM>(number(argv[4])) : 0;
    return PostMessageW(window, message, wParam, lParam) ? 0 : 1;
}
