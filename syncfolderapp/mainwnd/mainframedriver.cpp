#include "syncfolderapp/mainwnd/mainframedriver.h"

#include <system_error>

#include <shellapi.h>

#include "common/appversion.h"
#include "epool/c_epool.h"
#include "syncfolderapp/mainwnd/enginefolderpane.h"
#include "syncfolderapp/mainwnd/filearea.h"
#include "syncfolderapp/mainwnd/filelistpane.h"
#include "syncfolderapp/logdriver.h"
#include "syncfolderapp/mainwnd/namedcontrol.h"
#include "syncfolderapp/mainwnd/previewpane.h"
#include "syncfolderapp/popups/toastwnd.h"
#include "syncfolderapp/popups/tooltipdlg.h"
#include "syncfolderapp/mainwnd/runpanel.h"
#include "syncfolderapp/settings/yamlconfig.h"
#include "syncfolderapp/sync/runjournal.h"
#include "syncfolderapp/sync/runundo.h"
#include "syncfolderapp/sync/syncfiledriver.h"
#include "syncfolderapp/sync/syncmessages.h"
#include "syncfolderapp/sync/synctask.h"
#include "syncfolderapp/mainwnd/undobutton.h"
#include "syncfolderapp/mainwnd/uitexts.h"
#include "uikit/messagebox_win.h"
#include "uikit/text_win.h"

CMainFrameDriver::CMainFrameDriver(uikit::SHostWnd& window, MainFrameSeams testSeams)
    : host(window), seams(std::move(testSeams))
{
    try {
        startupDrives = std::async(std::launch::async, seams.fixedDrives);
    } catch (const std::system_error&) {
        startupDrives = std::async(std::launch::deferred, seams.fixedDrives);  // no thread to spare: asked then
    }
}

CMainFrameDriver::~CMainFrameDriver() = default;

void CMainFrameDriver::InitDriver(const std::wstring& dataDir)
{
    hwnd = host.Hwnd();
    timerMgr.SetTimerOwner(hwnd);
    // The steps below change several controls' texts and visibility: one layout at the end.
    const uikit::SHostWnd::LayoutBatch batch(host);

    config = std::make_shared<CYamlConfig>();
    logDriver = std::make_shared<CLogDriver>();
    pool = std::make_shared<epool::c_epool>();
    syncEngine = std::make_shared<CSyncFileDriver>();
    config->SetConfigDir(dataDir);
    config->Load();
    CLogDriver::StartLogEngineInBackground();
    pool->Start();
    syncEngine->sink = this;
    syncEngine->KeepJournalIn(dataDir + L"\\journal");
    syncEngine->busy = false;
    syncEngine->keepRunning = false;

    fileArea = std::make_unique<CFileArea>(host);
    filePane = std::make_unique<CFileListPane>(host, *fileArea);
    enginePane = std::make_unique<CEngineFolderPane>(host, *pool, timerMgr, seams.networkDrives, *this);
    runPanel = std::make_unique<CRunPanel>(host, *fileArea);
    undoButton = std::make_unique<CUndoButton>(host, syncEngine->JournalFolder());
    previewPane = std::make_unique<CPreviewPane>(host, *fileArea);
    if (auto* title2 = FindNamed<uikit::SText>(host, "txt_title2", "text"))
        title2->SetVisible(false);
    DragAcceptFiles(hwnd, TRUE);
    SubscribeEvents();

    enginePane->SelectStartupDrives(startupDrives.get(), config->ScanDrives);
    if (auto* version = FindNamed<uikit::SText>(host, "tt_bar_version", "text"))
        version->SetText(kVersionPrefix + GetAppVersion());
    runPanel->ApplyChoices(config->SyncType, config->BackUp, RunChecks{config->SkipSame, config->VerifyCopy});
    runFinished = false;
    enginePane->StartEngineScan();
}

void CMainFrameDriver::SubscribeEvents()
{
    for (const char* name : {"imgbtn_addfile", "btn_addfile", "but_add_file"})
        host.OnCommand(name, [this] { AddFilesByDialog(); });
    host.OnCommand("but_invert", [this] { filePane->Invert(); });
    host.OnCommand("but_remove_file", [this] { filePane->RemoveChecked(); });
    host.OnCommand("but_clear_file", [this] { filePane->Clear(); });
    host.OnCheckChanged("chk_file_all", [this](bool checked) { filePane->CheckAll(checked); });

    OnGuardedCommand("but_addengine_folder", [this] { enginePane->AddFolderByDialog(); });
    OnGuardedCommand("but_remove_engine", [this] { enginePane->RemoveChecked(); });
    OnGuardedCommand("but_clear_engine", [this] { enginePane->Clear(); });
    for (const char* name : {"but_sel_drive", "but_drop_drive"}) {
        OnGuardedCommand(name, [this] {
            if (enginePane->ChooseDrivesByDialog())
                config->RememberScanDrives(enginePane->ScanDrives());
        });
    }
    OnGuardedCommand("but_refresh_drive", [this] { enginePane->StartEngineScan(); });
    host.OnCheckChanged("chk_engine_all", [this](bool checked) { enginePane->CheckAll(checked); });

    // The undo button lies on the log page, which is built when first shown.
    host.OnCreated("but_undo_sync", [this] { undoButton->Refresh(); });
    host.OnCommand("btn_startsync", [this] { StartRun(); });
    host.OnCommand("btn_preview", [this] { StartPreview(); });
    host.OnCommand("but_confirm_sync", [this] { ConfirmPreview(); });
    host.OnCommand("but_cancel_preview", [this] { DiscardPreview(); });
    for (const char* name : {"radio_sync_level_file", "radio_sync_mir200_file", "check_sync_backup", "check_skip_same",
                             "check_verify_copy", "lv_engine_folder", "chk_engine_all"})
        host.OnCheckChanged(name, [this](bool) { DiscardPreview(); });
    host.OnCommand("but_stopsync", [this] { syncEngine->keepRunning = false; });
    host.OnCommand("but_sync_log", [this] { ToggleLogPage(); });
    host.OnCommand("but_undo_sync", [this] { StartUndo(); });
    OnGuardedCommand("but_back", [this] { filePane->ShowListOrEmptyPage(); });
    for (const char* name : {"img_sync_mir200_file", "img_sync_level_file"}) {
        host.OnHover(name, [this, name] { runPanel->ShowModeTipOver(name); });
        host.OnLeave(name, [] { HideModeTip(); });
    }
}

void CMainFrameDriver::OnGuardedCommand(const char* name, std::function<void()> action)
{
    host.OnCommand(name, [this, action = std::move(action)] {
        if (RefuseWhileBusy())
            return;
        DiscardPreview();
        action();
    });
}

bool CMainFrameDriver::RefuseWhileBusy() const
{
    if (!syncEngine->busy && !jobGoing)
        return false;
    ShowToast(hwnd, kBusyToastText);
    return true;
}

void CMainFrameDriver::StartUndo()
{
    if (enginePane->LoadingShown()) {
        ShowToast(hwnd, kBusyToastText);
        return;
    }
    if (RefuseWhileBusy() || !TakeJobLock())
        return;
    if (!undoButton->Confirmed(hwnd)) {
        jobLock.Reset();
        return;
    }
    SendMessageW(hwnd, UM_SYNC_NOTIFY, UNDO_BEGIN, 0);
    // A refused task has already ended the undo through UNDO_END with 0.
    PostUndoTask(*pool, *syncEngine, hwnd);
}

bool CMainFrameDriver::TakeJobLock()
{
    std::uint32_t error = ERROR_SUCCESS;
    FileHandle lock = CRunJournal::TakeLock(syncEngine->JournalFolder(), error);
    if (error == ERROR_SHARING_VIOLATION) {
        uikit::MessageBox(hwnd, kOtherWindowBusyText, kTipCaption, MB_OK | MB_ICONWARNING);
        return false;
    }
    // A folder that takes no lock file takes no journal either: a run finds that out next.
    if (lock)
        jobLock = std::move(lock);
    return true;
}

void CMainFrameDriver::OnTimer(UINT_PTR id)
{
    if (id == TIMER_SCAN_ANIM)
        enginePane->NextLoadingFrame();
    else if (id == TIMER_PROGRESS)
        ShowJobProgress();
}

void CMainFrameDriver::ShowJobProgress()
{
    runPanel->ShowProgress(syncEngine->progress.load());
    if (++jobTicks % kSyncLogTicks == 0)
        DrainLogQueue(LogKind::Sync);
}

void CMainFrameDriver::OnDrop(const std::vector<std::wstring>& paths, POINT clientPoint)
{
    if (paths.empty())
        return;
    DiscardPreview();
    if (enginePane->InDropZone(clientPoint))
        enginePane->AddEngineFolders(paths, false);
    else
        AddSyncFiles(paths);
}

void CMainFrameDriver::OnScanNotify(WPARAM code, LPARAM data)
{
    enginePane->OnScanNotify(code, data);
}

void CMainFrameDriver::AddFilesByDialog()
{
    const std::vector<std::wstring> files = filePane->AskForFiles();
    if (!files.empty())
        AddSyncFiles(files);
}

void CMainFrameDriver::AddSyncFiles(const std::vector<std::wstring>& paths)
{
    if (runFinished) {
        runFinished = false;
        filePane->StartFresh();
        runPanel->ClearLogs();
    }
    filePane->AddSyncFiles(paths);
}

void CMainFrameDriver::ToggleLogPage()
{
    DiscardPreview();
    if (fileArea->Shows(CFileArea::LogPage))
        filePane->ShowListOrEmptyPage();
    else
        runPanel->ShowLogPage();
}

std::optional<SyncJob> CMainFrameDriver::CollectJob()
{
    std::vector<std::wstring> files = filePane->CheckedPaths();
    if (files.empty()) {
        uikit::MessageBox(hwnd, kNoSyncFileText, kTipCaption, MB_OK | MB_ICONWARNING);
        if (fileArea->Shows(CFileArea::LogPage))
            filePane->ShowListOrEmptyPage();
        return std::nullopt;
    }
    std::vector<std::wstring> folders = enginePane->CheckedFolders();
    if (folders.empty()) {
        uikit::MessageBox(hwnd, kNoEngineFolderText, kTipCaption, MB_OK | MB_ICONWARNING);
        return std::nullopt;
    }
    return SyncJob{std::move(files), std::move(folders), runPanel->ChosenSyncType(), runPanel->BackupChosen(),
                   runPanel->ChosenChecks()};
}

void CMainFrameDriver::StartRun()
{
    DiscardPreview();
    if (std::optional<SyncJob> job = CollectJob())
        RunJob(std::move(*job));
}

void CMainFrameDriver::RunJob(SyncJob job)
{
    if (!TakeJobLock())
        return;
    // Tried before anything is written, so that a run that cannot be undone is never a
    // surprise; 否, the default, ends the run as it is.
    job.withJournal = CRunJournal::TryWrite(syncEngine->JournalFolder()) == ERROR_SUCCESS;
    const bool go = job.withJournal || uikit::MessageBox(hwnd, kNoJournalAskText, kTipCaption,
                                                         MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
    if (go) {
        config->UpdateChoices(job.syncType, job.backup, job.checks.skipSame, job.checks.verifyCopy);
        undoButton->RunStarts(job.withJournal);
    }
    // A run the worker refuses ends at once, and must not show the skips or the unfinished
    // version directories of the last one.
    syncEngine->skippedCount.store(0);
    syncEngine->unfinishedFolders.clear();
    SendMessageW(hwnd, UM_SYNC_NOTIFY, SYNC_BEGIN, 0);
    if (!go) {
        SendMessageW(hwnd, UM_SYNC_NOTIFY, SYNC_END, 0);
        return;
    }
    // A refused task has already ended the run through SYNC_END with 0.
    PostSyncTask(*pool, *syncEngine, hwnd, std::move(job));
}

void CMainFrameDriver::StartPreview()
{
    if (RefuseWhileBusy())
        return;
    if (enginePane->LoadingShown()) {
        ShowToast(hwnd, kBusyToastText);
        return;
    }
    DiscardPreview();
    std::optional<SyncJob> job = CollectJob();
    if (!job)
        return;
    previewPane->Expect(*job);
    enginePane->ShowLoading(true);
    // A refused task has already ended the preview through PLAN_END with no rows.
    PostPlanTask(*pool, *syncEngine, hwnd, std::move(*job));
}

void CMainFrameDriver::OnPlanNotify(WPARAM code, LPARAM rows)
{
    if (code == PLAN_END) {
        enginePane->ShowLoading(false);
        if (auto* plan = reinterpret_cast<std::vector<PlanRow>*>(rows))
            previewPane->ShowPlan(std::move(*plan));
        else
            previewPane->Discard();
    }
    // The rest of a large plan follows in steps, so that the window keeps answering.
    if (previewPane->FillMore())
        PostMessageW(hwnd, UM_PLAN_NOTIFY, PLAN_FILL, 0);
}

void CMainFrameDriver::ConfirmPreview()
{
    std::optional<SyncJob> job = previewPane->TakeJob();
    if (job)
        RunJob(std::move(*job));
    else
        filePane->ShowListOrEmptyPage();
}

void CMainFrameDriver::DiscardPreview()
{
    const bool shown = previewPane->Shown();
    previewPane->Discard();
    if (shown)
        filePane->ShowListOrEmptyPage();
}

void CMainFrameDriver::OnSyncNotify(WPARAM code, LPARAM count)
{
    if (code == SYNC_BEGIN)
        OnSyncBegin();
    else if (code == SYNC_END)
        OnSyncEnd(static_cast<std::int32_t>(count));
    else if (code == UNDO_BEGIN)
        ShowJobBegin(CRunPanel::UndoingBar);
    else if (code == UNDO_END)
        OnUndoEnd(static_cast<std::int32_t>(count));
}

void CMainFrameDriver::OnSyncBegin()
{
    ShowJobBegin(CRunPanel::RunningBar);
    AppendSyncLog(kRunStartText, kRunStartLine);
}

void CMainFrameDriver::OnSyncEnd(std::int32_t count)
{
    ShowJobEnd();
    runFinished = true;
    AppendSyncLog(kRunSummaryHead + std::to_wstring(count) + kRunSummaryTail, kRunSummaryLine);
    if (const std::int32_t skipped = syncEngine->skippedCount.load(); skipped > 0)
        AppendSyncLog(kSkippedSummaryHead + std::to_wstring(skipped) + kSkippedSummaryTail, kSkippedSummaryLine);
    for (const UnfinishedFolder& unfinished : syncEngine->unfinishedFolders)
        AppendErrorLog(kUnfinishedFolderHead + unfinished.folder + kUnfinishedFolderMiddle +
                           std::to_wstring(unfinished.failed) + kUnfinishedFolderTail,
                       kUnfinishedFolderLine);
}

void CMainFrameDriver::OnUndoEnd(std::int32_t restored)
{
    ShowJobEnd();
    if (restored == kUndoJournalDamaged) {
        uikit::MessageBox(hwnd, kUndoDamagedText, kTipCaption, MB_OK | MB_ICONWARNING);
        return;
    }
    if (restored == kUndoJournalInUse) {
        uikit::MessageBox(hwnd, kOtherWindowBusyText, kTipCaption, MB_OK | MB_ICONWARNING);
        return;
    }
    AppendSyncLog(kUndoSummaryHead + std::to_wstring(restored) + kUndoSummaryTail, kUndoSummaryLine);
    if (const std::int32_t damaged = syncEngine->damagedJournalLines.load(); damaged > 0)
        AppendErrorLog(kUndoDamagedLinesHead + std::to_wstring(damaged) + kUndoDamagedLinesTail, kUndoDamagedLinesLine);
}

void CMainFrameDriver::ShowJobBegin(int bar)
{
    jobGoing = true;
    jobTicks = 0;
    runPanel->ShowBar(static_cast<CRunPanel::Bar>(bar));
    runPanel->ShowLogPage();
    timerMgr.StartTimer(TIMER_PROGRESS);
}

void CMainFrameDriver::ShowJobEnd()
{
    timerMgr.StopTimer(TIMER_PROGRESS);
    runPanel->ShowBar(CRunPanel::IdleBar);
    DrainLogQueue(LogKind::Sync);
    DrainLogQueue(LogKind::Error);
    undoButton->Refresh();
    jobLock.Reset();
    jobGoing = false;
}

void CMainFrameDriver::OnSyncLog(const std::wstring& text, std::uint32_t line)
{
    logDriver->PushLog(text, line);
    HandLineToWindow(LogKind::Sync, text);
}

void CMainFrameDriver::OnSyncError(const std::wstring& text, std::uint32_t error, std::uint32_t line)
{
    logDriver->PushLog(text, error, line);
    HandLineToWindow(LogKind::Error, text);
}

void CMainFrameDriver::HandLineToWindow(LogKind kind, const std::wstring& text)
{
    if (logLines.Push(kind, text))
        PostMessageW(hwnd, UM_LOG_NOTIFY, static_cast<WPARAM>(kind), 0);
    if (seams.afterWorkerLine)
        seams.afterWorkerLine();
}

void CMainFrameDriver::OnLogNotify(WPARAM kind)
{
    // A job's sync lines go into the list at its progress ticks (ShowJobProgress): a drain
    // costs the window thread far more than the lines it adds, and the worker posts no
    // further notification until a drain has answered this one.
    if (kind == LOG_NOTIFY_SYNC && jobGoing)
        return;
    DrainLogQueue(kind == LOG_NOTIFY_SYNC ? LogKind::Sync : LogKind::Error);
}

void CMainFrameDriver::DrainLogQueue(LogKind kind)
{
    // When the worker holds the lock the lines stay queued for the next notification or
    // the end of the run.
    if (const std::optional<std::vector<std::wstring>> lines = logLines.TryTakeAll(kind))
        runPanel->AddDrainedLines(kind, *lines);
}

void CMainFrameDriver::AppendSyncLog(const std::wstring& text, std::uint32_t line)
{
    logDriver->PushLog(text, line);
    if (const auto held = logLines.TryHold())
        runPanel->AddOwnLine(text);
}

void CMainFrameDriver::AppendErrorLog(const std::wstring& text, std::uint32_t line)
{
    logDriver->PushLog(text, 0, line);
    if (const auto held = logLines.TryHold())
        runPanel->AddOwnLine(text, LogKind::Error);
}

bool CMainFrameDriver::OnEscape()
{
    return fileArea->Shows(CFileArea::PreviewPage) && host.PressButton("but_cancel_preview");
}

void CMainFrameDriver::CloseMainWindow()
{
    timerMgr.KillAllTimers();
    if (pool)
        pool->Shutdown();
    DestroyWindow(host.Hwnd());
}
