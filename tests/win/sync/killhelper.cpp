// Runs a sync job, or the undo of the last one, so that a test can kill it at a chosen
// point of its writes.
//
//   sync_kill_helper <source folder> <version folders> <backup 0|1> <hold> <refuse links 0|1> <event> [<journals>]
//   sync_kill_helper undo <journals> <n> <event>
//
// <version folders> are one folder or several separated by "|"; on shares each is written
// by a lane of its own. <hold> names the write step (copied, link, commit, renamedaway) at
// which the helper sets the event and waits to be killed; "commit<n>" holds every lane at
// its n-th commit; "none" sets the event just before the run starts and lets it go on;
// "journal<n>" holds once the n-th line of the run's journal (kept in the folder
// <journals>) has been written. With <refuse links> 1 every link is refused, so backups
// are copies. Files are synced in the order of their paths. The undo form holds just
// before its n-th change of a target.

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include <windows.h>

#include "common/fileutil.h"
#include "common/winhandle.h"
#include "syncfolderapp/sync/runjournal.h"
#include "syncfolderapp/sync/runundo.h"
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
    case WriteStep::RenamedAway:
        return L"renamedaway";
    case WriteStep::Undo:
        return L"undo";
    }
    return L"";
}

[[noreturn]] void HoldForTheKill(HANDLE ready)
{
    SetEvent(ready);
    for (;;)
        Sleep(INFINITE);
}

int HeldUndo(const std::wstring& journals, int holdAt, HANDLE ready)
{
    CSyncFileDriver engine;
    int changes = 0;
    engine.Writer().SetStepHook([&](WriteStep step, const PairWrite&) -> std::uint32_t {
        if (step == WriteStep::Undo && ++changes == holdAt)
            HoldForTheKill(ready);
        return ERROR_SUCCESS;
    });
    return CRunUndo(engine).StartUndo(journals) >= 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 5 && argv[1] == std::wstring(L"undo")) {
        KernelHandle ready(OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[4]));
        return ready ? HeldUndo(argv[2], _wtoi(argv[3]), ready.Get()) : 3;
    }
    if (argc < 7)
        return 2;
    const std::wstring source = argv[1];
    std::vector<std::wstring> folders;
    for (std::wstring rest = argv[2]; !rest.empty();) {
        const std::size_t bar = rest.find(L'|');
        folders.push_back(rest.substr(0, bar));
        rest = bar == std::wstring::npos ? std::wstring() : rest.substr(bar + 1);
    }
    const bool backup = argv[3] == std::wstring(L"1");
    const std::wstring hold = argv[4];
    const bool refuseLinks = argv[5] == std::wstring(L"1");
    KernelHandle ready(OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[6]));
    if (!ready)
        return 3;

    std::vector<std::wstring> files;
    ListFilesRecursive(source, files);
    // In name order, so that a test knows which pair a hold falls on.
    std::sort(files.begin(), files.end());
    CSyncFileDriver engine;
    const std::wstring commitHold = L"commit";
    const int holdAtCommit = hold.rfind(commitHold, 0) == 0 ? _wtoi(hold.c_str() + commitHold.size()) : 0;
    engine.Writer().SetStepHook([&](WriteStep step, const PairWrite&) -> std::uint32_t {
        // Each lane has a thread of its own, which counts its own commits.
        thread_local int commits = 0;
        if (hold == StepName(step) || (step == WriteStep::Commit && ++commits == holdAtCommit))
            HoldForTheKill(ready.Get());
        return refuseLinks && step == WriteStep::Link ? ERROR_INVALID_FUNCTION : ERROR_SUCCESS;
    });
    // The run's journal, as the engine keeps it, with a hold after a chosen line.
    CRunJournal journal(argc > 7 ? argv[7] : L"");
    const std::wstring journalHold = L"journal";
    const int holdAtLine = hold.rfind(journalHold, 0) == 0 ? _wtoi(hold.c_str() + journalHold.size()) : 0;
    std::atomic<int> lines = 0;
    if (argc > 7) {
        engine.Writer().SetCommitRecorder([&](const PairWrite& pair) {
            const std::uint32_t error = journal.Record(pair);
            if (++lines == holdAtLine)
                HoldForTheKill(ready.Get());
            return error;
        });
    }
    if (hold == L"none")
        SetEvent(ready.Get());
    const auto pairs = static_cast<std::int32_t>(files.size() * folders.size());
    return engine.StartSync(files, folders, SameLevel, backup) == pairs ? 0 : 1;
}
