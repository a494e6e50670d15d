#pragma once

// Carries a sync job from the window thread to the pool's worker and the run's end back
// to the window.

#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>

#include "syncfolderapp/sync/syncplan.h"

class CSyncFileDriver;
namespace epool {
class c_epool;
}

// What the start button hands to a run: checked files and version directories in list
// order, the placement mode, the backup choice and the checks, and whether the run keeps
// its journal.
struct SyncJob {
    std::vector<std::wstring> files;
    std::vector<std::wstring> folders;
    std::int32_t syncType = 0;
    bool backup = false;
    RunChecks checks;
    bool withJournal = true;
};

// Posts the run to the pool. On the worker: count = engine.StartSync(job), then
// SendMessageW(window, UM_SYNC_NOTIFY, SYNC_END, count), which returns only once the
// window has handled the end of the run.
//
// When the pool refuses the task (stopped, or its queue full) nothing runs; SYNC_END with
// a count of 0 is then sent to the window at once, on this thread, so that a window that
// has entered its running state on SYNC_BEGIN leaves it through its usual end handler.
// Returns whether the run was queued.
bool PostSyncTask(epool::c_epool& pool, CSyncFileDriver& engine, HWND window, SyncJob job);

// The same for the undo of the last run (CRunUndo over the engine's journal folder),
// ending with UNDO_END.
bool PostUndoTask(epool::c_epool& pool, CSyncFileDriver& engine, HWND window);

// Posts the plan of `job` to the pool. On the worker: rows = engine.ComputePlan(job), then
// SendMessageW(window, UM_PLAN_NOTIFY, PLAN_END, &rows), the rows living until the window
// has handled the message. A refused task sends PLAN_END with no rows (lParam 0) at once,
// on this thread. Returns whether the plan was queued.
bool PostPlanTask(epool::c_epool& pool, CSyncFileDriver& engine, HWND window, SyncJob job);
