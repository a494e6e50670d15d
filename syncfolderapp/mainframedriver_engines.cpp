// The version directory list: the scan and its overlay, the drive choice, adding by hand,
// check-all, remove and clear.

#include "common/drives.h"
#include "common/pickers.h"
#include "epool/c_epool.h"
#include "syncfolderapp/discovery/enginefolders.h"
#include "syncfolderapp/discovery/enginescan.h"
#include "syncfolderapp/discovery/seldrivedlg.h"
#include "syncfolderapp/mainframedriver.h"
#include "syncfolderapp/sync/ctimermgr.h"
#include "syncfolderapp/uitexts.h"
#include "uikit/button_win.h"
#include "uikit/containers_win.h"
#include "uikit/image_win.h"
#include "uikit/listctrl_win.h"
#include "uikit/messagebox_win.h"
#include "uikit/text_win.h"

namespace {

constexpr int kFolderColumn = 1;
constexpr int kLoadingFrames = 8;

}  // namespace

std::wstring CMainFrameDriver::DriveCaption(const std::vector<std::wstring>& drives)
{
    if (drives.size() == 1)
        return drives.front() + L":\\";
    std::wstring caption;
    for (const std::wstring& drive : drives)
        caption += L"[" + drive + L"]";
    return caption;
}

void CMainFrameDriver::SelectStartupDrives()
{
    knownEngineFolders.clear();
    fixedDrives = GetFixedDrives();
    scanDrives.clear();
    if (!fixedDrives.empty())
        scanDrives.push_back(fixedDrives.size() >= 2 ? fixedDrives[1] : fixedDrives[0]);
    if (but_sel_drive)
        but_sel_drive->SetText(DriveCaption(scanDrives));
    systemDrive = GetSystemDrive();
}

void CMainFrameDriver::StartEngineScan()
{
    if (lv_engine_folder && lv_engine_folder->GetItemCount() > 0)
        lv_engine_folder->DeleteAllItems();
    knownEngineFolders.clear();
    SendMessageW(hwnd, UM_SCAN_NOTIFY, SCAN_BEGIN, 0);
    // The task gets its own copy of the drives, so a later drive choice cannot change
    // them under a running scan.
    const HWND window = hwnd;
    std::vector<std::wstring> drives = scanDrives;
    const bool queued = pool && pool->Post([window, drives](std::uint16_t, void*) {
        ScanEngineFolders(window, drives);
        return 0;
    });
    // A refused scan would leave the overlay up for good: end it here instead.
    if (!queued)
        SendMessageW(hwnd, UM_SCAN_NOTIFY, SCAN_END, 0);
}

void CMainFrameDriver::OnScanNotify(WPARAM code, LPARAM data)
{
    switch (code) {
    case SCAN_BEGIN:
        if (txt_loading)
            txt_loading->SetText(kLoadingText);
        loadingFrame = 0;
        if (img_loading)
            img_loading->SetFrame(0);
        if (win_loading)
            win_loading->SetVisible(true);
        timerMgr->StartTimer(TIMER_SCAN_ANIM);
        break;
    case SCAN_RESULTS:
        if (const auto* found = reinterpret_cast<const ScanResultList*>(data)) {
            const std::vector<std::wstring> copy = *found;
            AddEngineFolders(copy, true);
        }
        break;
    case SCAN_END:
        timerMgr->StopTimer(TIMER_SCAN_ANIM);
        if (win_loading)
            win_loading->SetVisible(false);
        break;
    default:
        break;
    }
}

void CMainFrameDriver::NextLoadingFrame()
{
    loadingFrame = (loadingFrame + 1) % kLoadingFrames;
    if (img_loading)
        img_loading->SetFrame(loadingFrame);
}

void CMainFrameDriver::AddEngineFolders(const std::vector<std::wstring>& paths, bool silent)
{
    const EngineFolderBatch batch = CollectEngineFolders(paths, knownEngineFolders, HasMir200Directory);
    for (const std::wstring& folder : batch.added)
        AppendEngineRow(folder);
    if (!silent && batch.refused)
        uikit::MessageBox(hwnd, kInvalidEngineFolderText, kTipCaption, MB_OK | MB_ICONERROR);
}

void CMainFrameDriver::AppendEngineRow(const std::wstring& folder)
{
    if (!lv_engine_folder)
        return;
    const int row = lv_engine_folder->InsertItem(lv_engine_folder->GetItemCount(), L"");
    lv_engine_folder->SetCheckState(row, true);
    lv_engine_folder->SetItemText(row, kFolderColumn, folder);
}

void CMainFrameDriver::AddEngineFolderByDialog()
{
    if (RefuseWhileBusy())
        return;
    uikit::PickerRequest request;
    request.kind = uikit::PickerRequest::Folder;
    request.owner = hwnd;
    const std::vector<std::wstring> chosen = uikit::RunPicker(request, [](const uikit::PickerRequest& r) {
        std::wstring folder = SelectFolder(r.owner, r.initial);
        return folder.empty() ? std::vector<std::wstring>{} : std::vector<std::wstring>{folder};
    });
    if (!chosen.empty() && !chosen.front().empty())
        AddEngineFolders({chosen.front()}, false);
}

void CMainFrameDriver::CheckAllEngineFolders(bool checked)
{
    if (checkAllGuard || !lv_engine_folder)
        return;
    lv_engine_folder->SetAllChecks(checked);
}

void CMainFrameDriver::RemoveCheckedEngineFolders()
{
    if (RefuseWhileBusy() || !lv_engine_folder)
        return;
    for (const std::wstring& folder : lv_engine_folder->DeleteCheckedItems(kFolderColumn))
        std::erase(knownEngineFolders, folder);
}

void CMainFrameDriver::ClearEngineFolders()
{
    if (RefuseWhileBusy())
        return;
    if (lv_engine_folder)
        lv_engine_folder->DeleteAllItems();
    knownEngineFolders.clear();
}

void CMainFrameDriver::ChooseScanDrivesByDialog()
{
    if (RefuseWhileBusy())
        return;
    if (fixedDrives.empty()) {
        uikit::MessageBox(hwnd, kNoFixedDriveText, kTipCaption, MB_OK | MB_ICONWARNING);
        return;
    }
    const auto chosen = ChooseScanDrives(hwnd, fixedDrives, systemDrive, scanDrives);
    if (!chosen || chosen->empty())
        return;
    scanDrives = *chosen;
    if (but_sel_drive)
        but_sel_drive->SetText(DriveCaption(scanDrives));
    systemDrive = GetSystemDrive();
    StartEngineScan();
}

void CMainFrameDriver::Rescan()
{
    if (RefuseWhileBusy())
        return;
    StartEngineScan();
}

std::vector<std::wstring> CMainFrameDriver::CheckedEngineFolders() const
{
    return lv_engine_folder ? lv_engine_folder->CheckedItemTexts(kFolderColumn) : std::vector<std::wstring>{};
}
