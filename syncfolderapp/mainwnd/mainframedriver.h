#pragma once

#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <windows.h>

#include "common/drives.h"
#include "common/winhandle.h"
#include "syncfolderapp/mainwnd/loglinequeue.h"
#include "syncfolderapp/sync/ctimermgr.h"
#include "syncfolderapp/sync/syncfileimpl.h"
#include "syncfolderapp/sync/synctask.h"

namespace uikit {
class SHostWnd;
}
namespace epool {
class c_epool;
}
class CLogDriver;
class CSyncFileDriver;
class CYamlConfig;
class CFileArea;
class CFileListPane;
class CEngineFolderPane;
class CRunPanel;
class CUndoButton;
class CPreviewPane;

// What a test may put between the main window and the machine.
struct MainFrameSeams {
    // The fixed disks and the network drives the version directory list offers to scan.
    std::function<std::vector<std::wstring>()> fixedDrives = GetFixedDrives;
    std::function<std::vector<std::wstring>()> networkDrives = GetNetworkDrives;
    // Called on the thread of the lane that reported a result line of a run, after the
    // line has been queued and announced.
    std::function<void()> afterWorkerLine;
};

// The main window's controller. It creates and owns the services, holds the file list,
// the version directory list and the run panel, routes the window's events by control
// name and its messages to them, and carries a run from its start to its summary line.
// As the engine's SyncFileImpl it is the one part the worker calls, from every lane of a
// run at the same time: OnSyncLog and OnSyncError touch only the log files and the line
// queue, both safe for several threads. Everything else runs on the window's thread.
class CMainFrameDriver : public SyncFileImpl {
public:
    CMainFrameDriver(uikit::SHostWnd& window, MainFrameSeams testSeams);
    ~CMainFrameDriver();
    CMainFrameDriver(const CMainFrameDriver&) = delete;
    CMainFrameDriver& operator=(const CMainFrameDriver&) = delete;

    // Start-up of the window (its WM_INITDIALOG): services, settings from `dataDir`,
    // controls, drives, version label, the saved choices and the first scan.
    void InitDriver(const std::wstring& dataDir);

    void OnSyncLog(const std::wstring& text, std::uint32_t line) override;
    void OnSyncError(const std::wstring& text, std::uint32_t error, std::uint32_t line) override;

    // The window's messages.
    void OnTimer(UINT_PTR id);
    // Paths dropped at `clientPoint`: version directories on the right-hand pane, sync
    // files anywhere else.
    void OnDrop(const std::vector<std::wstring>& paths, POINT clientPoint);
    void OnScanNotify(WPARAM code, LPARAM data);
    void OnSyncNotify(WPARAM code, LPARAM count);
    // PLAN_END: the plan of a preview is computed (`rows` points at its rows, or is 0 when
    // the worker refused the task); PLAN_FILL: more of its rows go into the list.
    void OnPlanNotify(WPARAM code, LPARAM rows);
    void OnLogNotify(WPARAM kind);
    // Esc on the main window: on the preview page it does what "取消预览" does. True when
    // handled.
    bool OnEscape();
    // Timers off, the pool shut down (a running task finishes first), the window gone.
    void CloseMainWindow();

private:
    void SubscribeEvents();
    // Subscribes `action` to the command of `name`, refused with the busy toast during a run.
    void OnGuardedCommand(const char* name, std::function<void()> action);
    bool RefuseWhileBusy() const;
    // "撤销上次同步": refused while a run, an undo or a scan is going, or while another
    // instance runs one on the same data folder; asks, then posts it.
    void StartUndo();
    // Takes the data folder's journal lock for a run or an undo; false, after telling the
    // operator, when another instance holds it.
    bool TakeJobLock();
    void OnUndoEnd(std::int32_t restored);
    void AddFilesByDialog();
    // The first add after a run starts a fresh list and fresh logs.
    void AddSyncFiles(const std::vector<std::wstring>& paths);
    void ToggleLogPage();
    // The job of the checked files and version directories with the bar's choices; none,
    // after the operator was told why, when either list has nothing checked.
    std::optional<SyncJob> CollectJob();
    void StartRun();
    // Saves the job's choices and hands it to the worker, once the journal folder was
    // found writable or the operator chose to run without a journal.
    void RunJob(SyncJob job);
    // "预览同步": the plan of the job "开始同步" would start, computed on the worker under the
    // loading overlay.
    void StartPreview();
    void ConfirmPreview();
    // A preview is gone once the lists or choices change: the file list comes back.
    void DiscardPreview();
    void OnSyncBegin();
    void OnSyncEnd(std::int32_t count);
    // The running bar with `bar`'s caption, the log page and the progress timer.
    void ShowJobBegin(int bar);
    // A tick of the progress timer: the job's progress, and at every kSyncLogTicks-th tick
    // its sync lines queued since.
    void ShowJobProgress();
    // The idle bar back and every queued line in its list.
    void ShowJobEnd();
    // Any lane of a run: queues a result line for its log list and announces it to the
    // window.
    void HandLineToWindow(LogKind kind, const std::wstring& text);
    void DrainLogQueue(LogKind kind);
    // A line of the window's own: to the log files, and to the sync log unless the worker
    // holds the lock just then.
    void AppendSyncLog(const std::wstring& text, std::uint32_t line);
    // An error report of the window's own, with code 0: to the log files and the error log.
    void AppendErrorLog(const std::wstring& text, std::uint32_t line);

    uikit::SHostWnd& host;
    HWND hwnd = nullptr;
    MainFrameSeams seams;
    // The fixed disks, asked for when the controller is made: the query (slow under Wine)
    // runs beside the building of the window and is taken at its initialisation.
    std::future<std::vector<std::wstring>> startupDrives;
    CTimerMgr timerMgr;
    LogLineQueue logLines;
    bool runFinished = false;
    // A run or an undo is under way, from its begin message to its end message.
    bool jobGoing = false;
    // Progress ticks of the job under way. Its sync log is refreshed at every third: each
    // refresh repaints the list and, under Wine, its scroll bars, a few milliseconds.
    int jobTicks = 0;
    static constexpr int kSyncLogTicks = 3;
    // The journal lock the run or undo under way holds.
    FileHandle jobLock;

    std::shared_ptr<CLogDriver> logDriver;
    std::shared_ptr<CSyncFileDriver> syncEngine;
    std::shared_ptr<epool::c_epool> pool;
    std::shared_ptr<CYamlConfig> config;

    std::unique_ptr<CFileArea> fileArea;
    std::unique_ptr<CFileListPane> filePane;
    std::unique_ptr<CEngineFolderPane> enginePane;
    std::unique_ptr<CRunPanel> runPanel;
    std::unique_ptr<CUndoButton> undoButton;
    std::unique_ptr<CPreviewPane> previewPane;
};
