#pragma once

// The undo of the last run not yet undone: the lines of its journal, last first, each
// target put back as it was before the run where it is still as the run left it. Runs on
// the pool's worker through the sync engine, whose flags it shares: `busy` while it runs,
// `keepRunning` (the stop button ends it after the current target) and `progress`.

#include <cstdint>
#include <string>

#include "syncfolderapp/sync/journalformat.h"

class CSyncFileDriver;

// What StartUndo returns when the journal cannot be read (a journal with a wrong header
// is then set aside), or is still open for writing in another process: nothing was changed.
inline constexpr std::int32_t kUndoJournalDamaged = -1;
inline constexpr std::int32_t kUndoJournalInUse = -2;

class CRunUndo {
public:
    explicit CRunUndo(CSyncFileDriver& syncEngine) : engine(syncEngine) {}

    // Undoes the newest open journal of `journalFolder`. Returns the number of targets put
    // back (restored from a backup, or removed because the run created them), or one of
    // the codes above; the lines of the journal that could not be read are counted in the
    // engine's `damagedJournalLines`. A journal gone through to its first line is marked
    // undone unless a line failed; a stopped undo, or one with a failed line, leaves it
    // open, and the next undo goes through it again (what is back already passes).
    std::int32_t StartUndo(const std::wstring& journalFolder);

private:
    // How one line ended.
    enum class Outcome {
        Restored,  // put back: restored from its backup, or removed as the run created it
        AsBefore,  // already as before the run
        Reported,  // changed since the run, or without a backup: reported, nothing to retry
        Failed,    // the system refused: reported, and tried again by the next undo
    };

    std::int32_t UndoNewest(const std::wstring& journalFolder);
    Outcome UndoEntry(const JournalEntry& entry);
    Outcome PutBackFromBackup(const JournalEntry& entry, const FileStamp& now);
    Outcome RemoveCreated(const JournalEntry& entry);
    void Report(bool error, const wchar_t* text, const std::wstring& target, std::uint32_t code, unsigned line);

    CSyncFileDriver& engine;
};
