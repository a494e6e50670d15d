#include "syncfolderapp/mainframedriver.h"

#include <shellapi.h>

#include "common/appversion.h"
#include "common/textutil.h"
#include "epool/c_epool.h"
#include "syncfolderapp/logdriver.h"
#include "syncfolderapp/popups/toastwnd.h"
#include "syncfolderapp/settings/yamlconfig.h"
#include "syncfolderapp/sync/ctimermgr.h"
#include "syncfolderapp/sync/syncfiledriver.h"
#include "syncfolderapp/uitexts.h"
#include "uikit/button_win.h"
#include "uikit/checkbox_win.h"
#include "uikit/containers_win.h"
#include "uikit/diaglog_win.h"
#include "uikit/hostwnd_win.h"
#include "uikit/image_win.h"
#include "uikit/listbox_win.h"
#include "uikit/listctrl_win.h"
#include "uikit/progress_win.h"
#include "uikit/tabctrl_win.h"
#include "uikit/text_win.h"

namespace {

// The control `name` of `kind` below the window as a T, or null with a diagnostic line.
template <typename T>
T* FindNamed(const uikit::SHostWnd& host, const char* name, const char* kind)
{
    T* control = dynamic_cast<T*>(host.FindControl(name, kind));
    if (control == nullptr)
        uikit::DiagLog(L"main window: control " + FromUtf8(name) + L" of kind " + FromUtf8(kind) + L" not found");
    return control;
}

}  // namespace

CMainFrameDriver::CMainFrameDriver()
{
    InitializeCriticalSectionAndSpinCount(&lock, 4000);
}

CMainFrameDriver::~CMainFrameDriver()
{
    DeleteCriticalSection(&lock);
}

void CMainFrameDriver::InitDriver(uikit::SHostWnd& hostWnd, CTimerMgr& timers, const std::wstring& dataDir)
{
    host = &hostWnd;
    hwnd = hostWnd.Hwnd();
    timerMgr = &timers;
    timerMgr->SetTimerOwner(hwnd);

    config = std::make_shared<CYamlConfig>();
    logDriver = std::make_shared<CLogDriver>();
    pool = std::make_shared<epool::c_epool>();
    syncEngine = std::make_shared<CSyncFileDriver>();

    config->SetConfigDir(dataDir);
    config->Load();
    CLogDriver::StartLogEngine();
    pool->Start();
    syncEngine->sink = this;
    syncEngine->busy = false;
    syncEngine->keepRunning = false;

    FindControls();
    DragAcceptFiles(hwnd, TRUE);

    logNotifyPending = 0;
    checkAllGuard = false;
    SelectStartupDrives();
    if (tt_bar_version)
        tt_bar_version->SetText(kVersionPrefix + GetAppVersion());
    ApplySettings();
    runFinished = false;
    StartEngineScan();
}

void CMainFrameDriver::FindControls()
{
    using namespace uikit;
    tab_file = FindNamed<STabCtrl>(*host, "tab_file", "tabctrl");
    tab_sync_bar = FindNamed<STabCtrl>(*host, "tab_sync_bar", "tabctrl");
    lv_file = FindNamed<SListCtrl>(*host, "lv_file", "listctrl");
    lv_engine_folder = FindNamed<SListCtrl>(*host, "lv_engine_folder", "listctrl");
    chk_def_sel = FindNamed<SCheck>(*host, "chk_def_sel", "check");
    chk_file_all = FindNamed<SCheck>(*host, "chk_file_all", "check");
    but_sel_drive = FindNamed<SButton>(*host, "but_sel_drive", "button");
    win_loading = FindNamed<SWindow>(*host, "win_loading", "window");
    img_loading = FindNamed<SImage>(*host, "img_loading", "img");
    txt_loading = FindNamed<SText>(*host, "txt_loading", "text");
    lv_log = FindNamed<SListBox>(*host, "lv_log", "listbox");
    lv_errorlog = FindNamed<SListBox>(*host, "lv_errorlog", "listbox");
    tt_bar_version = FindNamed<SText>(*host, "tt_bar_version", "text");
    but_sync_log = FindNamed<SButton>(*host, "but_sync_log", "button");
    radio_sync_mir200_file = FindNamed<SRadio>(*host, "radio_sync_mir200_file", "radio");
    radio_sync_level_file = FindNamed<SRadio>(*host, "radio_sync_level_file", "radio");
    img_sync_mir200_file = FindNamed<SImage>(*host, "img_sync_mir200_file", "img");
    img_sync_level_file = FindNamed<SImage>(*host, "img_sync_level_file", "img");
    check_sync_backup = FindNamed<SCheck>(*host, "check_sync_backup", "check");
    pro_ing = FindNamed<SProgress>(*host, "pro_ing", "progress");
    if (SText* title2 = FindNamed<SText>(*host, "txt_title2", "text"))
        title2->SetVisible(false);
}

void CMainFrameDriver::ApplySettings()
{
    if (config->SyncType == 1 && radio_sync_level_file)
        radio_sync_level_file->SetCheck(true);
    if (check_sync_backup)
        check_sync_backup->SetCheck(config->BackUp);
}

bool CMainFrameDriver::RefuseWhileBusy() const
{
    if (!syncEngine || !syncEngine->busy)
        return false;
    ShowToast(hwnd, kBusyToastText);
    return true;
}

void CMainFrameDriver::SetCheckGuarded(uikit::SCheck* box, bool checked)
{
    if (!box)
        return;
    checkAllGuard = true;
    box->SetCheck(checked);
    checkAllGuard = false;
}

void CMainFrameDriver::CloseMainWindow()
{
    if (timerMgr)
        timerMgr->KillAllTimers();
    if (pool)
        pool->Shutdown();
    DestroyWindow(hwnd);
}
