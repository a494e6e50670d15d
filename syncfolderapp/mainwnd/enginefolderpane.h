#pragma once

#include <functional>
#include <string>
#include <vector>

#include <windows.h>

namespace uikit {
class SHostWnd;
class SListCtrl;
class SButton;
class SWindow;
class SImage;
class SText;
}  // namespace uikit
namespace epool {
class c_epool;
}
class CTimerMgr;
class SyncFileImpl;

// The version directory list on the right: `lv_engine_folder` with the drive selector
// above it, the scan of the chosen disks on the worker and the loading overlay that
// covers the window while it runs. `knownEngineFolders` holds the texts of the rows.
class CEngineFolderPane {
public:
    // `listNetworkDrives` reads the network drives (each time the drive dialog opens);
    // network drives that cannot be scanned are reported to `reports`, on the worker.
    CEngineFolderPane(const uikit::SHostWnd& window, epool::c_epool& worker, CTimerMgr& timers,
                      std::function<std::vector<std::wstring>()> listNetworkDrives, SyncFileImpl& reports);

    // The disks of the first scan: those of `remembered` that are fixed disks, then those
    // that are network drives now; when none is, the second of `fixed` if there are two
    // or more, otherwise the only one.
    void SelectStartupDrives(std::vector<std::wstring> fixed, const std::vector<std::wstring>& remembered);
    // Empties the list and queues a scan of the chosen disks on the worker.
    void StartEngineScan();
    // UM_SCAN_NOTIFY: the overlay at the begin and end, the directories found meanwhile.
    void OnScanNotify(WPARAM code, LPARAM data);
    void NextLoadingFrame();
    // The loading overlay over the window, for a scan or another job on the worker.
    void ShowLoading(bool shown);
    bool LoadingShown() const;

    // Adds the version directories the paths stand for, each once; unless `silent`, one
    // warning when any path was refused.
    void AddEngineFolders(const std::vector<std::wstring>& paths, bool silent);
    void AddFolderByDialog();
    void CheckAll(bool checked);
    void RemoveChecked();
    void Clear();
    // The drive dialog over the fixed disks and the network drives of the moment; a new
    // choice is shown on the drive button and scanned. True when the operator accepted one.
    bool ChooseDrivesByDialog();
    const std::vector<std::wstring>& ScanDrives() const { return scanDrives; }
    // Version directories of the checked rows, top to bottom.
    std::vector<std::wstring> CheckedFolders() const;
    // Whether a drop at `clientPoint` (the window's client coordinates) is meant for this
    // list: the right-hand pane from the window's top to just below the list's buttons.
    bool InDropZone(POINT clientPoint) const;

    // The drive button's caption: D:\ for one drive, [D][E] for more.
    static std::wstring DriveCaption(const std::vector<std::wstring>& drives);

private:
    void AppendEngineRow(const std::wstring& folder);
    void ShowScanDrives();

    const uikit::SHostWnd& host;
    epool::c_epool& pool;
    CTimerMgr& timerMgr;
    std::function<std::vector<std::wstring>()> readNetworkDrives;
    SyncFileImpl& scanReports;
    uikit::SListCtrl* lv_engine_folder = nullptr;
    uikit::SButton* but_sel_drive = nullptr;
    uikit::SWindow* win_loading = nullptr;
    uikit::SImage* img_loading = nullptr;
    uikit::SText* txt_loading = nullptr;
    std::vector<std::wstring> knownEngineFolders;
    std::vector<std::wstring> fixedDrives;
    std::vector<std::wstring> scanDrives;
    // As last read: at start-up only when a remembered drive is no fixed disk, then each
    // time the drive dialog opens.
    std::vector<std::wstring> networkDrives;
    std::wstring systemDrive;
    int loadingFrame = 0;
};
