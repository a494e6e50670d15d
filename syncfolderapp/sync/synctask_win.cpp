#include "syncfolderapp/sync/synctask.h"

#include <memory>
#include <utility>

#include "epool/c_epool.h"
#include "syncfolderapp/sync/syncfiledriver.h"
#include "syncfolderapp/sync/syncmessages.h"

bool PostSyncTask(epool::c_epool& pool, CSyncFileDriver& engine, HWND window, SyncJob job)
{
    // Shared so that both callables can see whether the work ran.
    auto ran = std::make_shared<bool>(false);
    CSyncFileDriver* driver = &engine;

    auto work = [driver, window, ran, job = std::move(job)](std::uint16_t, void*) -> std::int32_t {
        *ran = true;
        const std::int32_t count = driver->StartSync(job.files, job.folders, job.syncType, job.backup, job.checks);
        SendMessageW(window, UM_SYNC_NOTIFY, SYNC_END, static_cast<LPARAM>(count));
        return 1;
    };
    // Called after the work, or at once on this thread when the post is refused.
    auto done = [window, ran](std::uint16_t, void*) {
        if (!*ran)
            SendMessageW(window, UM_SYNC_NOTIFY, SYNC_END, 0);
    };
    return pool.Post(std::move(work), std::move(done));
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
