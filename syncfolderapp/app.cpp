#include "syncfolderapp/app.h"

#include "common/modulepath.h"
#include "syncfolderapp/appdirs.h"
#include "syncfolderapp/logdriver.h"
#include "syncfolderapp/mainwnd/mainframewnd.h"
#include "syncfolderapp/namedids.h"
#include "syncfolderapp/popups/popuplayouts.h"
#include "uikit/toolkit_win.h"

namespace {

constexpr wchar_t kHostClassName[] = L"SearchHost";
constexpr char kUiDefinitionId[] = "uidef:xml_init";

}  // namespace

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

    toolkit_ = uikit::SToolkit::Start(instance, imgDecoderName_, kHostClassName, NamedControlIds());
    if (!toolkit_)
        return false;

    const AppDirectories dirs = DeriveAppDirectories(GetModulePath());
    if (dirs.moduleDir.empty())
        return false;
    toolkit_->App().SetAppDir(dirs.moduleDir);
    SetCurrentDirectoryW(dirs.moduleDir.c_str());
    moduleDir_ = dirs.moduleDir;
    dataDir_ = dirs.dataDir;
    return true;
}

bool CApp::LoadResources()
{
    return toolkit_->LoadResources(instance_, kUiDefinitionId);
}

bool CApp::Run()
{
    SetPopupLayouts(kToastLayoutId, kToolTipLayoutId);
    // Heap-allocated and never released, like every service the window owns.
    auto* frame = new CMainFrameWnd(dataDir_);
    const HWND hwnd = frame->Create(GetActiveWindow());
    if (hwnd == nullptr)
        return false;
    SendMessageW(hwnd, WM_INITDIALOG, 0, 0);
    frame->CenterWindow();
    frame->ShowNormal();
    return toolkit_->App().Run(hwnd) != 0;
}

void CApp::Exit()
{
    // Lines still queued for the log files are written before the process goes.
    CLogDriver::StopLogEngine();
    TerminateProcess(process_, 0);
    CloseHandle(process_);
    ExitProcess(0);
}
