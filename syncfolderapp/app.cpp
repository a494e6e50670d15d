#include "syncfolderapp/app.h"

#include "common/modulepath.h"
#include "syncfolderapp/appdirs.h"
#include "syncfolderapp/mainframe.h"

CApp& TheApp()
{
    // Never destroyed: the process terminates itself before static destructors could run.
    static CApp* app = new CApp();
    return *app;
}

bool CApp::Init(HINSTANCE instance)
{
    instance_ = instance;
    process_ = GetCurrentProcess();

    const AppDirectories dirs = DeriveAppDirectories(GetModulePath());
    if (dirs.moduleDir.empty())
        return false;
    SetCurrentDirectoryW(dirs.moduleDir.c_str());
    moduleDir_ = dirs.moduleDir;
    dataDir_ = dirs.dataDir;
    return true;
}

bool CApp::Run()
{
    // Heap-allocated and never released, like every service the window owns.
    auto* frame = new CMainFrame();
    if (!frame->Create(instance_, GetActiveWindow()))
        return false;
    frame->CenterAndShow();

    MSG msg;
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0 && got != -1) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return got != -1 && msg.wParam != 0;
}

void CApp::Exit()
{
    TerminateProcess(process_, 0);
    CloseHandle(process_);
    ExitProcess(0);
}
