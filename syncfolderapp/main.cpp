#include <ole2.h>
#include <windows.h>

#include "syncfolderapp/app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    if (FAILED(OleInitialize(nullptr)))
        return 0;

    CApp& app = TheApp();
    if (app.Init(instance) && instance != nullptr && app.LoadResources())
        app.Run();

    OleUninitialize();
    app.Exit();
}
