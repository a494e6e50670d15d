#include "syncfolderapp/sync/synctask.h"

#include <functional>
#include <memory>
#include <utility>

#include "epool/c_epool.h"
#include "syncfolderapp/sync/runundo.h"
#include "syncfolderapp/sync/syncfiledriver.h"
#include "syncfolderapp/sync/syncmessages.h"

namespace {

// Posts `work` to the pool; `refused` runs instead, at once on this thread, when the pool
// does not take it or ends without running it.
bool PostOrRefuse(epool::c_epool& pool, std::function<void()> work, std::function<void()> refused)
{
    // Shared so that both callables can see whether the work ran.
    auto ran = std::make_shared<bool>(false);
    auto body = [ran, work = std::move(work)](std::uint16_t, void*) -> std::int32_t {
        *ran = true;
        work();
        return 1;
    };
    auto done = [ran, refused = std::move(refused)](std::uint16_t, void*) {
        if (!*ran)
            refused();
    };
    return pool.Post(std::move(body), std::move(done));
}

// Posts `job` to the pool; its result goes to the window with `endCode`, and so does 0
// when the pool refuses the task.
bool PostEngineTask(epool::c_epool& pool, HWND window, WPARAM endCode, std::function<std::int32_t()> job)
{
    return PostOrRefuse(
        pool,
        [window, endCode, job = std::move(job)] {
            SendMessageW(window, UM_SYNC_NOTIFY, endCode, static_cast<LPARAM>(job()));
        },
        [window, endCode] { SendMessageW(window, UM_SYNC_NOTIFY, endCode, 0); });
}

}  // namespace

bool PostSyncTask(epool::c_epool& pool, CSyncFileDriver& engine, HWND window, SyncJob job)
{
    CSyncFileDriver* driver = &engine;
    return PostEngineTask(pool, window, SYNC_END, [driver, job = std::move(job)] {
        return driver->StartSync(job.files, job.folders, job.syncType, job.backup, job.checks, job.withJournal);
    });
}

bool PostUndoTask(epool::c_epool& pool, CSyncFileDriver& engine, HWND window)
{
    CSyncFileDriver* driver = &engine;
    return PostEngineTask(pool, window, UNDO_END,
                          [driver] { return CRunUndo(*driver).StartUndo(driver->JournalFolder()); });
}

bool PostPlanTask(epool::c_epool& pool, CSyncFileDriver& engine, HWND window, SyncJob job)
{
    CSyncFileDriver* driver = &engine;
    return PostOrRefuse(
        pool,
        [driver, window, job = std::move(job)] {
            std::vector<PlanRow> rows =
                driver->ComputePlan(job.files, job.folders, job.syncType, job.backup, job.checks);
            SendMessageW(window, UM_PLAN_NOTIFY, PLAN_END, reinterpret_cast<LPARAM>(&rows));
        },
        [window] { SendMessageW(window, UM_PLAN_NOTIFY, PLAN_END, 0); });
}
