#include "syncfolderapp/app.h"

#include "common/modulepath.h"
#include "syncfolderapp/appdirs.h"
#include "syncfolderapp/logdriver.h"
#include "syncfolderapp/mainframewnd.h"
#include "syncfolderapp/namedids.h"
#include "syncfolderapp/popups/popuplayouts.h"
#include "uikit/application_win.h"
#include "uikit/diaglog_win.h"
#include "uikit/render_win.h"
#include "uikit/resprovider_win.h"

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

    auto render = uikit::CreateRenderFactory();
    if (!render) {
        uikit::DiagLog(uikit::kLoadRenderFailed);
        return false;
    }
    std::shared_ptr<uikit::SImgDecoderFactory> decoder = uikit::CreateImgDecoderFactory(imgDecoderName_);
    if (!decoder) {
        uikit::DiagLogf(uikit::kLoadInterfaceFailedFormat, L"imgdecoder");
        return false;
    }
    render->SetImgDecoderFactory(std::move(decoder));
    render_ = std::move(render);
    application_ = new uikit::SApplication(render_.get(), instance, kHostClassName);
    application_->RegisterNamedIds(NamedControlIds());

    const AppDirectories dirs = DeriveAppDirectories(GetModulePath());
    if (dirs.moduleDir.empty())
        return false;
    application_->SetAppDir(dirs.moduleDir);
    SetCurrentDirectoryW(dirs.moduleDir.c_str());
    moduleDir_ = dirs.moduleDir;
    dataDir_ = dirs.dataDir;
    return true;
}

bool CApp::LoadResources()
{
    application_->SetSystemResources(std::make_shared<uikit::SResProvider>(instance_));
    auto resources = std::make_shared<uikit::SResProvider>(instance_);
    if (!resources->Init())
        return false;
    application_->AddResources(resources, kUiDefinitionId);
    return true;
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
    ShowWindow(hwnd, SW_SHOWNORMAL);
    return application_->Run(hwnd) != 0;
}

void CApp::Exit()
{
    // Lines still queued for the log files are written before the process goes.
    CLogDriver::StopLogEngine();
    TerminateProcess(process_, 0);
    CloseHandle(process_);
    ExitProcess(0);
}
