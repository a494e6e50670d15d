// Runs a sync job so that a test can kill it at a chosen point of its writes.
//
//   sync_kill_helper <source folder> <version folder> <backup 0|1> <hold> <refuse links 0|1> <event>
//
// <hold> names the write step (copied, link, commit) at which the helper sets the event
// and waits to be killed; "none" sets the event just before the run starts and lets it go
// on. With <refuse links> 1 every link is refused, so backups are copies.

#include <string>
#include <vector>

#include <windows.h>

#include "common/fileutil.h"
#include "common/winhandle.h"
#include "syncfolderapp/sync/syncfiledriver.h"

namespace {

const wchar_t* StepName(WriteStep step)
{
    switch (step) {
    case WriteStep::Copied:
        return L"copied";
    case WriteStep::Link:
        return L"link";
    case WriteStep::Commit:
        return L"commit";
    }
    return L"";
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 7)
        return 2;
    const std::wstring source = argv[1];
    const std::wstring folder = argv[2];
    const bool backup = argv[3] == std::wstring(L"1");
    const std::wstring hold = argv[4];
    const bool refuseLinks = argv[5] == std::wstring(L"1");
    KernelHandle ready(OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[6]));
    if (!ready)
        return 3;

    std::vector<std::wstring> files;
    ListFilesRecursive(source, files);
    CSyncFileDriver engine;
    engine.Writer().SetStepHook([&](WriteStep step, const PairWrite&) -> std::uint32_t {
        if (hold == StepName(step)) {
            SetEvent(ready.Get());
            Sleep(INFINITE);
        }
        return refuseLinks && step == WriteStep::Link ? ERROR_INVALID_FUNCTION : ERROR_SUCCESS;
    });
    if (hold == L"none")
        SetEvent(ready.Get());
    return engine.StartSync(files, {folder}, SameLevel, backup) == static_cast<std::int32_t>(files.size()) ? 0 : 1;
}
