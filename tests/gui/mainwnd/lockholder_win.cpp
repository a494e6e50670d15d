// Holds the journal lock of a data folder as a run of another instance of the program
// does, until it is killed.
//
//   lockholder <journal folder> <event>
//
// Sets the event once the lock is held.

#include <string>

#include <windows.h>

#include "common/winhandle.h"
#include "syncfolderapp/sync/runjournal.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3)
        return 2;
    std::uint32_t error = ERROR_SUCCESS;
    const FileHandle lock = CRunJournal::TakeLock(argv[1], error);
    KernelHandle ready(OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]));
    if (!lock || !ready)
        return 1;
    SetEvent(ready.Get());
    for (;;)
        Sleep(INFINITE);
}
