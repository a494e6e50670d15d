#include "syncfolderapp/sync/synctask.h"

#include <functional>
#include <memory>
#include <utility>

#include "epool/c_epool.h"
#include "syncfolderapp/sync/runundo.h"
#include "syncfolderapp/sync/syncfiledriver.h"
#include "syncfolderapp/sync/syncmessages.h"

namespace {

// Posts `job` to the pool; its result goes to the window with `endCode`, and so does 0
// when the pool refuses the task.
bool PostEngineTask(epool::c_epool& pool, HWND window, WPARAM endCode, std::function<std::int32_t()> job)
{
    // Shared so that both callables can see whether the work ran.
    auto ran = std::make_shared<bool>(false);
    auto work = [window, ran, endCode, job = std::move(job)](std::uint16_t, void*) -> std::int32_t {
        *ran = true;
        const std::int32_t result = job();
        SendMessageW(window, UM_SYNC_NOTIFY, endCode, static_cast<LPARAM>(result));
        return 1;
    };
    // Called after the work, or at once on this thread when the post is refused.
    auto done = [window, ran, endCode](std::uint16_t, void*) {
        if (!*ran)
            SendMessageW(window, UM_SYNC_NOTIFY, endCode, 0);
    };
    return pool.Post(std::move(work), std::move(done));
}

}  // namespace

bool PostSyncTask(epool::c_epool& pool, CSyncFileDriver& engine, HWND window, SyncJob job)
{
    CSyncFileDriver* driver = &engine;
    return PostEngineTask(pool, window, SYNC_END, [driver, job = std::move(job)] {
        return driver->StartSync(job.files, job.folders, job.syncType, job.backup, job.checks);
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
    auto ran = std::make_shared<bool>(false);
    CSyncFileDriver* driver = &engine;

    auto work = [driver, window, ran, job = std::move(job)](std::uint16_t, void*) -> std::int32_t {
        *ran = true;
        std::vector<PlanRow> rows = driver->ComputePlan(job.files, job.folders, job.syncType, job.backup, job.checks);
        SendMessageW(window, UM_PLAN_NOTIFY, PLAN_END, reinterpret_cast<LPARAM>(&rows));
        return 1;
    };
    auto done = [window, ran](std::uint16_t, void*) {
        if (!*ran)
            SendMessageW(window, UM_PLAN_NOTIFY, PLAN_END, 0);
    };
    return pool.Post(std::move(work), std::move(done));
}
