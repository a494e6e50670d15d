#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "syncfolderapp/mainwnd/filearea.h"
#include "syncfolderapp/mainwnd/namedcontrol.h"

namespace uikit {
class SHostWnd;
class SListCtrl;
class SCheck;
}  // namespace uikit

// One row of the sync file list; the full path is its identity.
struct SyncFileEntry {
    std::wstring fileName;
    std::wstring fullPath;
};

// The sync file list: `lv_file` on the list page of the file area, its check-all box,
// the default check state of new rows, and `fileEntries` in the order of the rows. Full
// paths are unique, compared exactly.
class CFileListPane {
public:
    CFileListPane(const uikit::SHostWnd& window, CFileArea& fileArea);

    // Files chosen in the multi-file open dialog; empty when it was cancelled.
    std::vector<std::wstring> AskForFiles() const;
    // Adds the files named directly, then the files below the named folders, each new
    // path once, and shows the list page (the empty page when no row results).
    void AddSyncFiles(const std::vector<std::wstring>& paths);
    // A fresh list for the first add after a run: no rows and the check-all box cleared.
    void StartFresh();
    void CheckAll(bool checked);
    void Invert();
    void RemoveChecked();
    void Clear();
    // Full paths of the checked rows, top to bottom.
    std::vector<std::wstring> CheckedPaths() const;
    // The list page when there are rows, the empty page otherwise.
    void ShowListOrEmptyPage();

private:
    void AddSyncFile(const std::wstring& path, bool checked);
    void RemoveAll();
    void ShowEmptyPageIfNoRows();
    void SetCheckAllGuarded(bool checked);

    const uikit::SHostWnd& host;
    CFileArea& area;
    NamedControl<uikit::SListCtrl> lv_file;
    NamedControl<uikit::SCheck> chk_def_sel;
    NamedControl<uikit::SCheck> chk_file_all;
    std::vector<SyncFileEntry> fileEntries;
    // The full paths of fileEntries, for the duplicate check of large adds.
    std::unordered_set<std::wstring> filePaths;
    // Set while the pane itself changes chk_file_all, so that its handler ignores it.
    bool checkAllGuard = false;
};
