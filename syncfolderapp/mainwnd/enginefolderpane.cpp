#include "syncfolderapp/mainwnd/enginefolderpane.h"

#include <algorithm>

#include "common/drives.h"
#include "common/pickers.h"
#include "epool/c_epool.h"
#include "syncfolderapp/discovery/enginefolders.h"
#include "syncfolderapp/discovery/enginescan.h"
#include "syncfolderapp/discovery/seldrivedlg.h"
#include "syncfolderapp/mainwnd/namedcontrol.h"
#include "syncfolderapp/sync/ctimermgr.h"
#include "syncfolderapp/mainwnd/uitexts.h"
#include "uikit/button_win.h"
#include "uikit/containers_win.h"
#include "uikit/image_win.h"
#include "uikit/listctrl_win.h"
#include "uikit/messagebox_win.h"
#include "uikit/text_win.h"

namespace {

constexpr int kFolderColumn = 1;
constexpr int kLoadingFrames = 8;
// The drop zone reaches this far (pixels at 96 dpi) below the version-directory list,
// over its buttons.
constexpr int kDropZoneExtra = 36;

bool Contains(const std::vector<std::wstring>& drives, const std::wstring& drive)
{
    return std::find(drives.begin(), drives.end(), drive) != drives.end();
}

// The drives of `drives` that `wanted` names, in the order of `drives`.
std::vector<std::wstring> Among(const std::vector<std::wstring>& drives, const std::vector<std::wstring>& wanted)
{
    std::vector<std::wstring> found;
    for (const std::wstring& drive : drives) {
        if (Contains(wanted, drive))
            found.push_back(drive);
    }
    return found;
}

}  // namespace

CEngineFolderPane::CEngineFolderPane(const uikit::SHostWnd& window, epool::c_epool& worker, CTimerMgr& timers,
                                     std::function<std::vector<std::wstring>()> listNetworkDrives,
                                     SyncFileImpl& reports)
    : host(window),
      pool(worker),
      timerMgr(timers),
      readNetworkDrives(std::move(listNetworkDrives)),
      scanReports(reports),
      lv_engine_folder(FindNamed<uikit::SListCtrl>(window, "lv_engine_folder", "listctrl")),
      but_sel_drive(FindNamed<uikit::SButton>(window, "but_sel_drive", "button")),
      win_loading(FindNamed<uikit::SWindow>(window, "win_loading", "window")),
      img_loading(FindNamed<uikit::SImage>(window, "img_loading", "img")),
      txt_loading(FindNamed<uikit::SText>(window, "txt_loading", "text"))
{
}

std::wstring CEngineFolderPane::DriveCaption(const std::vector<std::wstring>& drives)
{
    if (drives.size() == 1)
        return drives.front() + L":\\";
    std::wstring caption;
    for (const std::wstring& drive : drives)
        caption += L"[" + drive + L"]";
    return caption;
}

void CEngineFolderPane::SelectStartupDrives(std::vector<std::wstring> fixed,
                                            const std::vector<std::wstring>& remembered)
{
    knownEngineFolders.clear();
    fixedDrives = std::move(fixed);
    scanDrives = Among(fixedDrives, remembered);
    // The network drives are asked for only when a remembered drive may be one.
    if (scanDrives.size() < remembered.size()) {
        networkDrives = readNetworkDrives();
        for (const std::wstring& drive : Among(networkDrives, remembered)) {
            if (!Contains(scanDrives, drive))
                scanDrives.push_back(drive);
        }
    }
    if (scanDrives.empty() && !fixedDrives.empty())
        scanDrives.push_back(fixedDrives.size() >= 2 ? fixedDrives[1] : fixedDrives[0]);
    ShowScanDrives();
    systemDrive = GetSystemDrive();
}

void CEngineFolderPane::ShowScanDrives()
{
    if (but_sel_drive)
        but_sel_drive->SetText(DriveCaption(scanDrives));
}

void CEngineFolderPane::StartEngineScan()
{
    if (lv_engine_folder && lv_engine_folder->GetItemCount() > 0)
        lv_engine_folder->DeleteAllItems();
    knownEngineFolders.clear();
    const HWND window = host.Hwnd();
    SendMessageW(window, UM_SCAN_NOTIFY, SCAN_BEGIN, 0);
    // The task gets its own copy of the drives, so a later drive choice cannot change
    // them under a running scan.
    NetworkScan network{Among(networkDrives, scanDrives), &scanReports};
    const bool queued = pool.Post([window, drives = scanDrives, network = std::move(network)](std::uint16_t, void*) {
        ScanEngineFolders(window, drives, network);
        return 0;
    });
    // A refused scan would leave the overlay up for good: end it here instead.
    if (!queued)
        SendMessageW(window, UM_SCAN_NOTIFY, SCAN_END, 0);
}

void CEngineFolderPane::OnScanNotify(WPARAM code, LPARAM data)
{
    switch (code) {
    case SCAN_BEGIN:
        ShowLoading(true);
        break;
    case SCAN_RESULTS:
        if (const auto* found = reinterpret_cast<const ScanResultList*>(data)) {
            const std::vector<std::wstring> copy = *found;
            AddEngineFolders(copy, true);
        }
        break;
    case SCAN_END:
        ShowLoading(false);
        break;
    default:
        break;
    }
}

void CEngineFolderPane::ShowLoading(bool shown)
{
    if (!shown) {
        timerMgr.StopTimer(TIMER_SCAN_ANIM);
        if (win_loading)
            win_loading->SetVisible(false);
        return;
    }
    if (txt_loading)
        txt_loading->SetText(kLoadingText);
    loadingFrame = 0;
    if (img_loading)
        img_loading->SetFrame(0);
    if (win_loading)
        win_loading->SetVisible(true);
    timerMgr.StartTimer(TIMER_SCAN_ANIM);
}

bool CEngineFolderPane::LoadingShown() const
{
    return win_loading && win_loading->IsVisible();
}

void CEngineFolderPane::NextLoadingFrame()
{
    loadingFrame = (loadingFrame + 1) % kLoadingFrames;
    if (img_loading)
        img_loading->SetFrame(loadingFrame);
}

void CEngineFolderPane::AddEngineFolders(const std::vector<std::wstring>& paths, bool silent)
{
    const EngineFolderBatch batch = CollectEngineFolders(paths, knownEngineFolders, HasMir200Directory);
    for (const std::wstring& folder : batch.added)
        AppendEngineRow(folder);
    if (!silent && batch.refused)
        uikit::MessageBox(host.Hwnd(), kInvalidEngineFolderText, kTipCaption, MB_OK | MB_ICONERROR);
}

void CEngineFolderPane::AppendEngineRow(const std::wstring& folder)
{
    if (!lv_engine_folder)
        return;
    const int row = lv_engine_folder->InsertItem(lv_engine_folder->GetItemCount(), L"");
    lv_engine_folder->SetCheckState(row, true);
    lv_engine_folder->SetItemText(row, kFolderColumn, folder);
}

void CEngineFolderPane::AddFolderByDialog()
{
    uikit::PickerRequest request;
    request.kind = uikit::PickerRequest::Folder;
    request.owner = host.Hwnd();
    const std::vector<std::wstring> chosen = uikit::RunPicker(request, [](const uikit::PickerRequest& r) {
        std::wstring folder = SelectFolder(r.owner, r.initial);
        return folder.empty() ? std::vector<std::wstring>{} : std::vector<std::wstring>{folder};
    });
    if (!chosen.empty() && !chosen.front().empty())
        AddEngineFolders({chosen.front()}, false);
}

void CEngineFolderPane::CheckAll(bool checked)
{
    if (lv_engine_folder)
        lv_engine_folder->SetAllChecks(checked);
}

void CEngineFolderPane::RemoveChecked()
{
    if (!lv_engine_folder)
        return;
    for (const std::wstring& folder : lv_engine_folder->DeleteCheckedItems(kFolderColumn))
        std::erase(knownEngineFolders, folder);
}

void CEngineFolderPane::Clear()
{
    if (lv_engine_folder)
        lv_engine_folder->DeleteAllItems();
    knownEngineFolders.clear();
}

bool CEngineFolderPane::ChooseDrivesByDialog()
{
    networkDrives = readNetworkDrives();
    if (fixedDrives.empty() && networkDrives.empty()) {
        uikit::MessageBox(host.Hwnd(), kNoFixedDriveText, kTipCaption, MB_OK | MB_ICONWARNING);
        return false;
    }
    const auto chosen = ChooseScanDrives(host.Hwnd(), fixedDrives, systemDrive, scanDrives, networkDrives);
    if (!chosen || chosen->empty())
        return false;
    scanDrives = *chosen;
    ShowScanDrives();
    systemDrive = GetSystemDrive();
    StartEngineScan();
    return true;
}

std::vector<std::wstring> CEngineFolderPane::CheckedFolders() const
{
    return lv_engine_folder ? lv_engine_folder->CheckedItemTexts(kFolderColumn) : std::vector<std::wstring>{};
}

bool CEngineFolderPane::InDropZone(POINT clientPoint) const
{
    if (!lv_engine_folder || !lv_engine_folder->Hwnd())
        return false;
    RECT zone;
    GetWindowRect(lv_engine_folder->Hwnd(), &zone);
    MapWindowPoints(nullptr, host.Hwnd(), reinterpret_cast<POINT*>(&zone), 2);
    zone.top = 0;
    zone.bottom += host.Scale(kDropZoneExtra);
    return PtInRect(&zone, clientPoint) != FALSE;
}
