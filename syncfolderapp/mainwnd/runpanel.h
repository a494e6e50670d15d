#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "syncfolderapp/mainwnd/filearea.h"
#include "syncfolderapp/mainwnd/loglinequeue.h"
#include "syncfolderapp/mainwnd/namedcontrol.h"
#include "syncfolderapp/sync/syncmap.h"
#include "syncfolderapp/sync/syncplan.h"

namespace uikit {
class SHostWnd;
class STabCtrl;
class SProgress;
class SListBox;
class SRadio;
class SImage;
class SCheck;
class SText;
}  // namespace uikit

// What a worker job shows in the window: the bar at the bottom (idle: the mode radios,
// the backup, skip and verify boxes and the preview, start and log buttons; running: `pro_ing` and the stop button)
// and the log page of the file area with the sync log `lv_log` and the error log
// `lv_errorlog`, each keeping its last kMaxLogLines lines.
class CRunPanel {
public:
    static constexpr int kMaxLogLines = 200;
    // The undo shows the running bar with its own caption.
    enum Bar { IdleBar = 0, RunningBar = 1, UndoingBar = 2 };

    CRunPanel(const uikit::SHostWnd& window, CFileArea& fileArea);

    // The placement mode, backup choice and checks of the idle bar.
    void ApplyChoices(std::int32_t syncType, bool backup, RunChecks checks);
    SyncType ChosenSyncType() const;
    bool BackupChosen() const;
    RunChecks ChosenChecks() const;

    // One of the bars, its progress at 0.
    void ShowBar(Bar bar);
    // Shows `percent` while the running bar is up.
    void ShowProgress(int percent);

    // The log page, each log list scrolled to its end if lines came while it was hidden.
    void ShowLogPage();
    // Lines a drain took from the worker, into the list of their kind, which then shows
    // its last line.
    void AddDrainedLines(LogKind kind, const std::vector<std::wstring>& lines);
    // A line of the window's own into the log of `kind`, scrolled to at once when the log
    // page is shown and else when it next is.
    void AddOwnLine(const std::wstring& text, LogKind kind = LogKind::Sync);
    void ClearLogs();

    // The mode tooltip over the question-mark icon named `iconName`.
    void ShowModeTipOver(std::string_view iconName) const;

private:
    uikit::SListBox* LogList(LogKind kind) const;
    // Adds lines keeping only the last kMaxLogLines, the last one then in view when
    // `showLast`.
    static void AddLogLines(uikit::SListBox* list, const std::vector<std::wstring>& lines, bool showLast);

    CFileArea& area;
    uikit::STabCtrl* tab_sync_bar = nullptr;
    NamedControl<uikit::SText> text_ing;
    std::wstring syncingCaption;  // the layout's caption of the running bar, read when first shown
    NamedControl<uikit::SProgress> pro_ing;
    NamedControl<uikit::SListBox> lv_log;
    NamedControl<uikit::SListBox> lv_errorlog;
    uikit::SRadio* radio_sync_mir200_file = nullptr;
    uikit::SRadio* radio_sync_level_file = nullptr;
    uikit::SImage* img_sync_mir200_file = nullptr;
    uikit::SImage* img_sync_level_file = nullptr;
    uikit::SCheck* check_sync_backup = nullptr;
    uikit::SCheck* check_skip_same = nullptr;
    uikit::SCheck* check_verify_copy = nullptr;
    bool syncLogScrollPending = false;
    bool errorLogScrollPending = false;
};
