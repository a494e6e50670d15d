// Writes log lines through the program's log driver as fast as it can and ends the way the
// program ends, so that a test can count what reached the log file.
//
//   app_exit_helper <working folder> <lines>

#include <string>

#include <windows.h>

#include "syncfolderapp/app.h"
#include "syncfolderapp/logdriver.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return 2;
    CApp& app = TheApp();
    if (!app.Init(GetModuleHandleW(nullptr)))
        return 3;
    // Init makes the program's folder current; the log goes below the given folder instead.
    if (!SetCurrentDirectoryW(argv[1]) || CLogDriver::StartLogEngine() != 0)
        return 4;
    CLogDriver log;
    const int lines = _wtoi(argv[2]);
    for (int i = 0; i < lines; ++i)
        log.PushLog(L"line " + std::to_wstring(i), 1);
    app.Exit();
}
