// The sync file list: adding by dialog and by drop, check-all, invert, remove and clear.

#include "syncfolderapp/mainframedriver.h"

#include <shlwapi.h>

#include "common/fileutil.h"
#include "common/pickers.h"
#include "syncfolderapp/uitexts.h"
#include "uikit/button_win.h"
#include "uikit/checkbox_win.h"
#include "uikit/hostwnd_win.h"
#include "uikit/listbox_win.h"
#include "uikit/listctrl_win.h"
#include "uikit/messagebox_win.h"
#include "uikit/tabctrl_win.h"

namespace {

constexpr int kEmptyPage = 0;
constexpr int kFileListPage = 1;
constexpr int kFileNameColumn = 0;
constexpr int kFullPathColumn = 1;
// The version-directory drop zone reaches this far below the version-directory list.
constexpr int kEngineDropZoneExtra = 36;

// PathIsDirectoryW stops at MAX_PATH; longer paths are asked with the \\?\ form.
bool IsDirectoryPath(const std::wstring& path)
{
    if (path.size() < MAX_PATH)
        return PathIsDirectoryW(path.c_str()) != FALSE;
    const std::wstring full = path.rfind(L"\\\\", 0) == 0 ? path : L"\\\\?\\" + path;
    const DWORD attributes = GetFileAttributesW(full.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

void CMainFrameDriver::AddFilesByDialog()
{
    uikit::PickerRequest request;
    request.kind = uikit::PickerRequest::Files;
    request.owner = hwnd;
    request.title = kFilePickerTitle;
    const std::vector<std::wstring> files = uikit::RunPicker(request, [](const uikit::PickerRequest& r) {
        return SelectFiles(r.owner, r.title, r.initial);
    });
    if (!files.empty())
        AddSyncFiles(files);
}

void CMainFrameDriver::AddSyncFiles(const std::vector<std::wstring>& paths)
{
    if (!lv_file)
        return;
    if (runFinished) {
        runFinished = false;
        lv_file->DeleteAllItems();
        fileEntries.clear();
        filePaths.clear();
        SetCheckGuarded(chk_file_all, false);
        for (uikit::SListBox* list : {lv_log, lv_errorlog}) {
            if (list && list->GetCount() > 0)
                list->ResetContent();
        }
    }
    const bool checked = chk_def_sel && chk_def_sel->IsChecked();
    if (tab_file)
        tab_file->SetCurSel(kFileListPage);
    SetLogButtonCaption(false);

    // Files named directly come first, then the files found below named folders.
    std::vector<std::wstring> deferred;
    for (const std::wstring& path : paths) {
        if (IsDirectoryPath(path))
            ListFilesRecursive(path, deferred);
        else
            AddSyncFile(path, checked);
    }
    for (const std::wstring& file : deferred)
        AddSyncFile(file, checked);
    if (lv_file->GetItemCount() == 0 && tab_file)
        tab_file->SetCurSel(kEmptyPage);
}

bool CMainFrameDriver::AddSyncFile(const std::wstring& path, bool checked)
{
    if (!filePaths.insert(path).second)
        return false;
    SyncFileEntry entry{PathFindFileNameW(path.c_str()), path};
    const int row = lv_file->InsertItem(lv_file->GetItemCount(), entry.fileName);
    lv_file->SetCheckState(row, checked);
    lv_file->SetItemText(row, kFullPathColumn, path);
    fileEntries.push_back(std::move(entry));
    return true;
}

void CMainFrameDriver::CheckAllFiles(bool checked)
{
    if (checkAllGuard || !lv_file)
        return;
    lv_file->SetAllChecks(checked);
}

void CMainFrameDriver::InvertFiles()
{
    if (!lv_file || lv_file->GetItemCount() == 0)
        return;
    if (lv_file->InvertChecks() == 0)
        SetCheckGuarded(chk_file_all, false);
}

void CMainFrameDriver::RemoveCheckedFiles()
{
    if (!lv_file || lv_file->GetItemCount() == 0)
        return;
    const std::vector<std::wstring> removed = lv_file->DeleteCheckedItems(kFullPathColumn);
    if (!removed.empty()) {
        for (const std::wstring& path : removed)
            filePaths.erase(path);
        std::erase_if(fileEntries, [this](const SyncFileEntry& e) { return !filePaths.contains(e.fullPath); });
    }
    if (lv_file->GetItemCount() == 0 && tab_file)
        tab_file->SetCurSel(kEmptyPage);
}

void CMainFrameDriver::ClearFiles()
{
    if (lv_file)
        lv_file->DeleteAllItems();
    fileEntries.clear();
    filePaths.clear();
    if (tab_file)
        tab_file->SetCurSel(kEmptyPage);
}

std::vector<std::wstring> CMainFrameDriver::CheckedFilePaths() const
{
    return lv_file ? lv_file->CheckedItemTexts(kFullPathColumn) : std::vector<std::wstring>{};
}

void CMainFrameDriver::HandleDrop(const std::vector<std::wstring>& paths, POINT clientPoint)
{
    if (paths.empty())
        return;
    bool onEnginePane = false;
    if (lv_engine_folder && lv_engine_folder->Hwnd()) {
        RECT zone;
        GetWindowRect(lv_engine_folder->Hwnd(), &zone);
        MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&zone), 2);
        zone.top = 0;
        zone.bottom += kEngineDropZoneExtra;
        onEnginePane = PtInRect(&zone, clientPoint) != FALSE;
    }
    if (onEnginePane)
        AddEngineFolders(paths, false);
    else
        AddSyncFiles(paths);
}

void CMainFrameDriver::ShowListOrEmptyPage()
{
    if (tab_file)
        tab_file->SetCurSel(lv_file && lv_file->GetItemCount() > 0 ? kFileListPage : kEmptyPage);
    SetLogButtonCaption(false);
}
