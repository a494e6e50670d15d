// A run from the window's side: start checks, the running bar and its progress, the
// result lines on their way from the worker into the two log lists, and the summary.

#include <algorithm>

#include "epool/c_epool.h"
#include "syncfolderapp/logdriver.h"
#include "syncfolderapp/mainframedriver.h"
#include "syncfolderapp/sync/syncmessages.h"
#include "syncfolderapp/settings/yamlconfig.h"
#include "syncfolderapp/sync/ctimermgr.h"
#include "syncfolderapp/sync/syncfiledriver.h"
#include "syncfolderapp/sync/synctask.h"
#include "syncfolderapp/uitexts.h"
#include "uikit/button_win.h"
#include "uikit/checkbox_win.h"
#include "uikit/listbox_win.h"
#include "uikit/listctrl_win.h"
#include "uikit/messagebox_win.h"
#include "uikit/progress_win.h"
#include "uikit/tabctrl_win.h"

namespace {

constexpr int kLogPage = 2;
constexpr int kIdleBar = 0;
constexpr int kRunningBar = 1;

// Holds the controller's lock if it was free; the window thread never waits for it.
class TryLock {
public:
    explicit TryLock(CRITICAL_SECTION& lock) : lock_(lock), held_(TryEnterCriticalSection(&lock) != FALSE) {}
    ~TryLock()
    {
        if (held_)
            LeaveCriticalSection(&lock_);
    }
    TryLock(const TryLock&) = delete;
    TryLock& operator=(const TryLock&) = delete;
    bool Held() const { return held_; }

private:
    CRITICAL_SECTION& lock_;
    bool held_;
};

}  // namespace

void CMainFrameDriver::OnSyncLog(const std::wstring& text, std::uint32_t line)
{
    logDriver->PushLog(text, line);
    EnterCriticalSection(&lock);
    syncLogQueue.push_back(text);
    LeaveCriticalSection(&lock);
    std::uint8_t idle = 0;
    if (logNotifyPending.compare_exchange_strong(idle, 1))
        PostMessageW(hwnd, UM_LOG_NOTIFY, LOG_NOTIFY_SYNC, 0);
}

void CMainFrameDriver::OnSyncError(const std::wstring& text, std::uint32_t error, std::uint32_t line)
{
    logDriver->PushLog(text, error, line);
    EnterCriticalSection(&lock);
    errorLogQueue.push_back(text);
    LeaveCriticalSection(&lock);
    PostMessageW(hwnd, UM_LOG_NOTIFY, LOG_NOTIFY_ERROR, 0);
}

void CMainFrameDriver::StartRun()
{
    std::vector<std::wstring> files = CheckedFilePaths();
    if (files.empty()) {
        uikit::MessageBox(hwnd, kNoSyncFileText, kTipCaption, MB_OK | MB_ICONWARNING);
        if (tab_file && tab_file->GetCurSel() == kLogPage)
            ShowListOrEmptyPage();
        return;
    }
    std::vector<std::wstring> folders = CheckedEngineFolders();
    if (folders.empty()) {
        uikit::MessageBox(hwnd, kNoEngineFolderText, kTipCaption, MB_OK | MB_ICONWARNING);
        return;
    }
    const bool mir200 = radio_sync_mir200_file && radio_sync_mir200_file->IsChecked();
    const bool level = radio_sync_level_file && radio_sync_level_file->IsChecked();
    const std::int32_t syncType = (!mir200 && level) ? 1 : 0;
    const bool backup = check_sync_backup && check_sync_backup->IsChecked();
    config->UpdateChoices(syncType, backup);

    SendMessageW(hwnd, UM_SYNC_NOTIFY, SYNC_BEGIN, 0);
    // A refused task has already ended the run through SYNC_END with 0.
    PostSyncTask(*pool, *syncEngine, hwnd, SyncJob{std::move(files), std::move(folders), syncType, backup});
}

void CMainFrameDriver::StopRun()
{
    syncEngine->keepRunning = false;
}

void CMainFrameDriver::OnSyncBegin()
{
    if (pro_ing)
        pro_ing->SetValue(0);
    if (tab_sync_bar)
        tab_sync_bar->SetCurSel(kRunningBar);
    ShowLogPage();
    AppendSyncLog(kRunStartText, kRunStartLine);
    timerMgr->StartTimer(TIMER_PROGRESS);
}

void CMainFrameDriver::RefreshProgress()
{
    if (tab_sync_bar && tab_sync_bar->GetCurSel() == kRunningBar && pro_ing)
        pro_ing->SetValue(syncEngine->progress.load());
}

void CMainFrameDriver::OnSyncEnd(std::int32_t count)
{
    timerMgr->StopTimer(TIMER_PROGRESS);
    if (pro_ing)
        pro_ing->SetValue(0);
    if (tab_sync_bar)
        tab_sync_bar->SetCurSel(kIdleBar);
    DrainLogQueue(LOG_NOTIFY_SYNC);
    DrainLogQueue(LOG_NOTIFY_ERROR);
    runFinished = true;
    AppendSyncLog(kRunSummaryHead + std::to_wstring(count) + kRunSummaryTail, kRunSummaryLine);
}

void CMainFrameDriver::DrainLogQueue(WPARAM kind)
{
    logNotifyPending = 0;
    std::vector<std::wstring> lines;
    {
        TryLock held(lock);
        if (!held.Held())
            return;  // the lines stay queued for the next notification or the run's end
        lines.swap(kind == LOG_NOTIFY_SYNC ? syncLogQueue : errorLogQueue);
    }
    uikit::SListBox* list = kind == LOG_NOTIFY_SYNC ? lv_log : lv_errorlog;
    const int last = AddLogLines(list, lines);
    (kind == LOG_NOTIFY_SYNC ? syncLogScrollPending : errorLogScrollPending) = false;
    if (last > 0)
        list->EnsureVisible(last);
}

int CMainFrameDriver::AddLogLines(uikit::SListBox* list, const std::vector<std::wstring>& lines)
{
    if (!list || lines.empty())
        return -1;
    // Only the last kMaxLogLines of old and new lines stay: lines that would be added and
    // deleted again in the same batch are not added at all.
    const size_t fresh = std::min(lines.size(), static_cast<size_t>(kMaxLogLines));
    const int keepOld = std::max(0, kMaxLogLines - static_cast<int>(fresh));
    SendMessageW(list->Hwnd(), WM_SETREDRAW, FALSE, 0);
    if (keepOld == 0) {
        list->ResetContent();
    } else {
        while (list->GetCount() > keepOld)
            list->DeleteString(0);
    }
    int last = -1;
    for (size_t i = lines.size() - fresh; i < lines.size(); ++i)
        last = list->AddString(lines[i]);
    SendMessageW(list->Hwnd(), WM_SETREDRAW, TRUE, 0);
    list->Invalidate();
    return last;
}

void CMainFrameDriver::AppendSyncLog(const std::wstring& text, std::uint32_t line)
{
    logDriver->PushLog(text, line);
    TryLock held(lock);
    if (!held.Held())
        return;  // the line reaches the log files only
    const int last = AddLogLines(lv_log, {text});
    if (tab_file && tab_file->GetCurSel() == kLogPage) {
        if (last >= 0)
            lv_log->EnsureVisible(last);
        syncLogScrollPending = false;
    } else {
        syncLogScrollPending = true;
    }
}

void CMainFrameDriver::SetLogButtonCaption(bool logPageShown)
{
    if (but_sync_log)
        but_sync_log->SetText(logPageShown ? kBackToListCaption : kViewLogCaption);
}

void CMainFrameDriver::ShowLogPage()
{
    if (tab_file)
        tab_file->SetCurSel(kLogPage);
    SetLogButtonCaption(true);
    const auto scrollToEnd = [](bool& pending, uikit::SListBox* list) {
        if (!pending)
            return;
        pending = false;
        if (list && list->GetCount() >= 2)
            list->EnsureVisible(list->GetCount() - 1);
    };
    scrollToEnd(syncLogScrollPending, lv_log);
    scrollToEnd(errorLogScrollPending, lv_errorlog);
}

void CMainFrameDriver::ToggleLogPage()
{
    if (tab_file && tab_file->GetCurSel() == kLogPage)
        ShowListOrEmptyPage();
    else
        ShowLogPage();
}

void CMainFrameDriver::BackToList()
{
    if (RefuseWhileBusy())
        return;
    ShowListOrEmptyPage();
}
