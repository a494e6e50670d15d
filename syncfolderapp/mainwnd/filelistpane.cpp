#include "syncfolderapp/mainwnd/filelistpane.h"

#include <shlwapi.h>

#include "common/fileutil.h"
#include "common/pickers.h"
#include "syncfolderapp/mainwnd/namedcontrol.h"
#include "syncfolderapp/mainwnd/uitexts.h"
#include "uikit/checkbox_win.h"
#include "uikit/listctrl_win.h"
#include "uikit/messagebox_win.h"

namespace {

constexpr int kFullPathColumn = 1;

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

CFileListPane::CFileListPane(const uikit::SHostWnd& window, CFileArea& fileArea)
    : host(window),
      area(fileArea),
      lv_file(window, "lv_file", "listctrl"),
      chk_def_sel(window, "chk_def_sel", "check"),
      chk_file_all(window, "chk_file_all", "check")
{
}

std::vector<std::wstring> CFileListPane::AskForFiles() const
{
    uikit::PickerRequest request;
    request.kind = uikit::PickerRequest::Files;
    request.owner = host.Hwnd();
    request.title = kFilePickerTitle;
    return uikit::RunPicker(request,
                            [](const uikit::PickerRequest& r) { return SelectFiles(r.owner, r.title, r.initial); });
}

void CFileListPane::AddSyncFiles(const std::vector<std::wstring>& paths)
{
    if (!lv_file)
        return;
    const bool checked = chk_def_sel && chk_def_sel->IsChecked();
    area.Show(CFileArea::FileListPage);

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
    ShowEmptyPageIfNoRows();
}

void CFileListPane::AddSyncFile(const std::wstring& path, bool checked)
{
    if (!filePaths.insert(path).second)
        return;
    SyncFileEntry entry{PathFindFileNameW(path.c_str()), path};
    const int row = lv_file->InsertItem(lv_file->GetItemCount(), entry.fileName);
    lv_file->SetCheckState(row, checked);
    lv_file->SetItemText(row, kFullPathColumn, path);
    fileEntries.push_back(std::move(entry));
}

void CFileListPane::StartFresh()
{
    RemoveAll();
    SetCheckAllGuarded(false);
}

void CFileListPane::CheckAll(bool checked)
{
    if (checkAllGuard || !lv_file)
        return;
    lv_file->SetAllChecks(checked);
}

void CFileListPane::Invert()
{
    if (!lv_file || lv_file->GetItemCount() == 0)
        return;
    if (lv_file->InvertChecks() == 0)
        SetCheckAllGuarded(false);
}

void CFileListPane::RemoveChecked()
{
    if (!lv_file || lv_file->GetItemCount() == 0)
        return;
    const std::vector<std::wstring> removed = lv_file->DeleteCheckedItems(kFullPathColumn);
    if (!removed.empty()) {
        for (const std::wstring& path : removed)
            filePaths.erase(path);
        std::erase_if(fileEntries, [this](const SyncFileEntry& e) { return !filePaths.contains(e.fullPath); });
    }
    ShowEmptyPageIfNoRows();
}

void CFileListPane::Clear()
{
    RemoveAll();
    area.Show(CFileArea::EmptyPage);
}

void CFileListPane::RemoveAll()
{
    if (lv_file)
        lv_file->DeleteAllItems();
    fileEntries.clear();
    filePaths.clear();
}

std::vector<std::wstring> CFileListPane::CheckedPaths() const
{
    return lv_file ? lv_file->CheckedItemTexts(kFullPathColumn) : std::vector<std::wstring>{};
}

void CFileListPane::ShowListOrEmptyPage()
{
    area.Show(lv_file && lv_file->GetItemCount() > 0 ? CFileArea::FileListPage : CFileArea::EmptyPage);
}

void CFileListPane::ShowEmptyPageIfNoRows()
{
    if (lv_file && lv_file->GetItemCount() == 0)
        area.Show(CFileArea::EmptyPage);
}

void CFileListPane::SetCheckAllGuarded(bool checked)
{
    if (!chk_file_all)
        return;
    checkAllGuard = true;
    chk_file_all->SetCheck(checked);
    checkAllGuard = false;
}
