#pragma once

// The undo of the last run not yet undone: the lines of its journal, last first, each
// target put back as it was before the run where it is still as the run left it. Runs on
// the pool's worker through the sync engine, whose flags it shares: `busy` while it runs,
// `keepRunning` (the stop button ends it after the current target) and `progress`.

#include <cstdint>
#include <string>

#include "syncfolderapp/sync/journalformat.h"

class CSyncFileDriver;

// What StartUndo returns when the journal cannot be read: nothing was changed.
inline constexpr std::int32_t kUndoJournalDamaged = -1;

class CRunUndo {
public:
    explicit CRunUndo(CSyncFileDriver& syncEngine) : engine(syncEngine) {}

    // Undoes the newest open journal of `journalFolder`. Returns the number of targets put
    // back (restored from a backup, or removed because the run created them), or
    // kUndoJournalDamaged. A journal gone through to its first line is marked undone; a
    // stopped undo leaves it open, and the next undo finishes the rest.
    std::int32_t StartUndo(const std::wstring& journalFolder);

private:
    std::int32_t UndoNewest(const std::wstring& journalFolder);
    // One line; true when the target was put back.
    bool UndoEntry(const JournalEntry& entry);
    bool PutBackFromBackup(const JournalEntry& entry, const FileStamp& now);
    bool RemoveCreated(const JournalEntry& entry);
    void Report(bool error, const wchar_t* text, const std::wstring& target, std::uint32_t code, unsigned line);

    CSyncFileDriver& engine;
};
