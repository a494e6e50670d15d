#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include <windows.h>

#include "syncfolderapp/sync/syncfileimpl.h"

namespace uikit {
class SHostWnd;
class STabCtrl;
class SListCtrl;
class SListBox;
class SCheck;
class SRadio;
class SButton;
class SWindow;
class SImage;
class SText;
class SProgress;
}  // namespace uikit
namespace epool {
class c_epool;
}
class CLogDriver;
class CSyncFileDriver;
class CYamlConfig;
class CTimerMgr;

// One row of the sync file list; the full path is its identity.
struct SyncFileEntry {
    std::wstring fileName;
    std::wstring fullPath;
};

// The main window's controller: the two lists, the runs, the scan's results and the log
// lists. Everything runs on the window's thread except OnSyncLog and OnSyncError, which
// the engine calls on the worker and which only touch the lock, the queues and
// logNotifyPending.
class CMainFrameDriver : public SyncFileImpl {
public:
    CMainFrameDriver();
    ~CMainFrameDriver();
    CMainFrameDriver(const CMainFrameDriver&) = delete;
    CMainFrameDriver& operator=(const CMainFrameDriver&) = delete;

    // Result lines of a run (worker thread): to the log files, then queued for the window.
    void OnSyncLog(const std::wstring& text, std::uint32_t line) override;
    void OnSyncError(const std::wstring& text, std::uint32_t error, std::uint32_t line) override;

    // Start-up of the window (its WM_INITDIALOG): services, settings, controls, drives,
    // version label, the saved choices and the first scan. `dataDir` holds the settings.
    void InitDriver(uikit::SHostWnd& hostWnd, CTimerMgr& timers, const std::wstring& dataDir);

    // The sync file list.
    void AddSyncFiles(const std::vector<std::wstring>& paths);
    void AddFilesByDialog();
    void CheckAllFiles(bool checked);
    void InvertFiles();
    void RemoveCheckedFiles();
    void ClearFiles();
    std::vector<std::wstring> CheckedFilePaths() const;
    // Dropped paths: those dropped inside the version-directory zone (client point) become
    // version directories, the others sync files.
    void HandleDrop(const std::vector<std::wstring>& paths, POINT clientPoint);

    // The version directory list and the scan.
    void AddEngineFolders(const std::vector<std::wstring>& paths, bool silent);
    void StartEngineScan();
    void AddEngineFolderByDialog();
    void CheckAllEngineFolders(bool checked);
    void RemoveCheckedEngineFolders();
    void ClearEngineFolders();
    void ChooseScanDrivesByDialog();
    void Rescan();
    std::vector<std::wstring> CheckedEngineFolders() const;
    void OnScanNotify(WPARAM code, LPARAM data);
    void NextLoadingFrame();
    // The drive button's caption for a list of scan drives: D:\ for one, [D][E] for more.
    static std::wstring DriveCaption(const std::vector<std::wstring>& drives);

    // The run.
    void StartRun();
    void StopRun();
    void OnSyncBegin();
    void OnSyncEnd(std::int32_t count);
    void RefreshProgress();
    void DrainLogQueue(WPARAM kind);
    void AppendSyncLog(const std::wstring& text, std::uint32_t line);
    void ShowLogPage();
    void ToggleLogPage();
    void BackToList();
    // Timers off, the pool shut down (a running task finishes first), the window gone.
    void CloseMainWindow();

    // Most log lines a log list keeps.
    static constexpr int kMaxLogLines = 200;

protected:
    // True (and the busy toast shown) while a run is going on.
    bool RefuseWhileBusy() const;
    void FindControls();
    void SelectStartupDrives();
    void ApplySettings();
    bool AddSyncFile(const std::wstring& path, bool checked);
    void AppendEngineRow(const std::wstring& folder);
    void ShowListOrEmptyPage();
    void SetLogButtonCaption(bool logPageShown);
    // Adds lines to a log list keeping only the last kMaxLogLines; returns the index of
    // the last line or -1.
    int AddLogLines(uikit::SListBox* list, const std::vector<std::wstring>& lines);
    void SetCheckGuarded(uikit::SCheck* box, bool checked);

public:
    // Controls, found once by name and kind; absent ones stay null.
    uikit::STabCtrl* tab_file = nullptr;
    uikit::STabCtrl* tab_sync_bar = nullptr;
    uikit::SListCtrl* lv_file = nullptr;
    uikit::SListCtrl* lv_engine_folder = nullptr;
    uikit::SCheck* chk_def_sel = nullptr;
    uikit::SCheck* chk_file_all = nullptr;
    uikit::SButton* but_sel_drive = nullptr;
    uikit::SWindow* win_loading = nullptr;
    uikit::SImage* img_loading = nullptr;
    uikit::SText* txt_loading = nullptr;
    uikit::SListBox* lv_log = nullptr;
    uikit::SListBox* lv_errorlog = nullptr;
    uikit::SText* tt_bar_version = nullptr;
    uikit::SButton* but_sync_log = nullptr;
    uikit::SRadio* radio_sync_mir200_file = nullptr;
    uikit::SRadio* radio_sync_level_file = nullptr;
    uikit::SImage* img_sync_mir200_file = nullptr;
    uikit::SImage* img_sync_level_file = nullptr;
    uikit::SCheck* check_sync_backup = nullptr;
    uikit::SProgress* pro_ing = nullptr;

    uikit::SHostWnd* host = nullptr;
    HWND hwnd = nullptr;

    std::vector<SyncFileEntry> fileEntries;
    std::vector<std::wstring> knownEngineFolders;
    bool checkAllGuard = false;
    std::vector<std::wstring> fixedDrives;
    std::vector<std::wstring> scanDrives;
    std::wstring systemDrive;
    int loadingFrame = 0;

    CRITICAL_SECTION lock;
    bool syncLogScrollPending = false;
    bool errorLogScrollPending = false;
    std::vector<std::wstring> syncLogQueue;
    std::vector<std::wstring> errorLogQueue;
    std::atomic<std::uint8_t> logNotifyPending{0};
    bool runFinished = false;

    std::shared_ptr<CLogDriver> logDriver;
    std::shared_ptr<CSyncFileDriver> syncEngine;
    std::shared_ptr<epool::c_epool> pool;
    std::shared_ptr<CYamlConfig> config;

protected:
    CTimerMgr* timerMgr = nullptr;
    // The full paths of fileEntries, for the duplicate check of large adds.
    std::unordered_set<std::wstring> filePaths;
};
