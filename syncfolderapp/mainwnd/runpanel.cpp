#include "syncfolderapp/mainwnd/runpanel.h"

#include <utility>

#include "syncfolderapp/mainwnd/namedcontrol.h"
#include "syncfolderapp/popups/tooltipdlg.h"
#include "syncfolderapp/mainwnd/uitexts.h"
#include "uikit/checkbox_win.h"
#include "uikit/image_win.h"
#include "uikit/listbox_win.h"
#include "uikit/progress_win.h"
#include "uikit/tabctrl_win.h"
#include "uikit/text_win.h"

namespace {

// Brings the last line of `list` into view if `pending` says lines came unseen.
void ScrollToEndIfPending(bool& pending, uikit::SListBox* list)
{
    if (!pending)
        return;
    pending = false;
    if (list && list->GetCount() >= 2)
        list->EnsureVisible(list->GetCount() - 1);
}

}  // namespace

CRunPanel::CRunPanel(const uikit::SHostWnd& window, CFileArea& fileArea)
    : area(fileArea),
      tab_sync_bar(FindNamed<uikit::STabCtrl>(window, "tab_sync_bar", "tabctrl")),
      text_ing(window, "text_ing", "text"),
      pro_ing(window, "pro_ing", "progress"),
      lv_log(window, "lv_log", "listbox"),
      lv_errorlog(window, "lv_errorlog", "listbox"),
      radio_sync_mir200_file(FindNamed<uikit::SRadio>(window, "radio_sync_mir200_file", "radio")),
      radio_sync_level_file(FindNamed<uikit::SRadio>(window, "radio_sync_level_file", "radio")),
      img_sync_mir200_file(FindNamed<uikit::SImage>(window, "img_sync_mir200_file", "img")),
      img_sync_level_file(FindNamed<uikit::SImage>(window, "img_sync_level_file", "img")),
      check_sync_backup(FindNamed<uikit::SCheck>(window, "check_sync_backup", "check")),
      check_skip_same(FindNamed<uikit::SCheck>(window, "check_skip_same", "check")),
      check_verify_copy(FindNamed<uikit::SCheck>(window, "check_verify_copy", "check"))
{
}

void CRunPanel::ApplyChoices(std::int32_t syncType, bool backup, RunChecks checks)
{
    // The layout checks the Mir200 radio; its group partner takes the check from it.
    if (syncType == SameLevel && radio_sync_level_file)
        radio_sync_level_file->SetCheck(true);
    for (const auto& [box, checked] :
         {std::pair{check_sync_backup, backup}, std::pair{check_skip_same, checks.skipSame},
          std::pair{check_verify_copy, checks.verifyCopy}}) {
        if (box)
            box->SetCheck(checked);
    }
}

SyncType CRunPanel::ChosenSyncType() const
{
    const bool mir200 = radio_sync_mir200_file && radio_sync_mir200_file->IsChecked();
    const bool level = radio_sync_level_file && radio_sync_level_file->IsChecked();
    return !mir200 && level ? SameLevel : Mir200Only;
}

bool CRunPanel::BackupChosen() const
{
    return check_sync_backup && check_sync_backup->IsChecked();
}

RunChecks CRunPanel::ChosenChecks() const
{
    return {check_skip_same && check_skip_same->IsChecked(), check_verify_copy && check_verify_copy->IsChecked()};
}

void CRunPanel::ShowBar(Bar bar)
{
    if (pro_ing)
        pro_ing->SetValue(0);
    if (text_ing && bar != IdleBar) {
        if (syncingCaption.empty())
            syncingCaption = text_ing->GetText();
        text_ing->SetText(bar == UndoingBar ? std::wstring(kUndoingCaption) : syncingCaption);
    }
    if (tab_sync_bar)
        tab_sync_bar->SetCurSel(bar == IdleBar ? IdleBar : RunningBar);
}

void CRunPanel::ShowProgress(int percent)
{
    if (tab_sync_bar && tab_sync_bar->GetCurSel() == RunningBar && pro_ing)
        pro_ing->SetValue(percent);
}

void CRunPanel::ShowLogPage()
{
    area.Show(CFileArea::LogPage);
    ScrollToEndIfPending(syncLogScrollPending, lv_log);
    ScrollToEndIfPending(errorLogScrollPending, lv_errorlog);
}

void CRunPanel::AddDrainedLines(LogKind kind, const std::vector<std::wstring>& lines)
{
    AddLogLines(LogList(kind), lines, true);
    (kind == LogKind::Sync ? syncLogScrollPending : errorLogScrollPending) = false;
}

void CRunPanel::AddOwnLine(const std::wstring& text, LogKind kind)
{
    const bool shown = area.Shows(CFileArea::LogPage);
    AddLogLines(LogList(kind), {text}, shown);
    (kind == LogKind::Sync ? syncLogScrollPending : errorLogScrollPending) = !shown;
}

void CRunPanel::ClearLogs()
{
    for (uikit::SListBox* list : {lv_log, lv_errorlog}) {
        if (list && list->GetCount() > 0)
            list->ResetContent();
    }
}

void CRunPanel::ShowModeTipOver(std::string_view iconName) const
{
    for (const uikit::SImage* icon : {img_sync_mir200_file, img_sync_level_file}) {
        if (icon && icon->Name() == iconName)
            ShowModeTip(*icon);
    }
}

uikit::SListBox* CRunPanel::LogList(LogKind kind) const
{
    return kind == LogKind::Sync ? lv_log : lv_errorlog;
}

void CRunPanel::AddLogLines(uikit::SListBox* list, const std::vector<std::wstring>& lines, bool showLast)
{
    if (list)
        list->AppendKeepingLast(lines, kMaxLogLines, showLast);
}
