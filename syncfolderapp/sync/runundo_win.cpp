#include "syncfolderapp/sync/runundo.h"

#include <vector>

#include <windows.h>

#include "syncfolderapp/sync/runjournal.h"
#include "syncfolderapp/sync/syncfiledriver.h"
#include "syncfolderapp/sync/undolines.h"

std::int32_t CRunUndo::StartUndo(const std::wstring& journalFolder)
{
    engine.busy.store(true);
    engine.keepRunning.store(true);
    engine.progress.store(0);
    engine.damagedJournalLines.store(0);
    const std::int32_t restored = UndoNewest(journalFolder);
    engine.progress.store(100);
    engine.busy.store(false);
    engine.keepRunning.store(false);
    return restored;
}

std::int32_t CRunUndo::UndoNewest(const std::wstring& journalFolder)
{
    const std::wstring path = CRunJournal::NewestOpen(journalFolder);
    if (path.empty())
        return 0;
    std::vector<JournalEntry> entries;
    std::size_t damaged = 0;
    switch (CRunJournal::Read(path, entries, damaged)) {
    case CRunJournal::ReadResult::Ok:
        break;
    case CRunJournal::ReadResult::Damaged:
        // Set aside, so that the next undo reaches the run before it; what this run changed
        // is then protected by the stamps of the earlier run's lines.
        CRunJournal::MarkDamaged(path);
        return kUndoJournalDamaged;
    case CRunJournal::ReadResult::InUse:
        return kUndoJournalInUse;
    case CRunJournal::ReadResult::Unreadable:
        return kUndoJournalDamaged;
    }
    engine.damagedJournalLines.store(static_cast<std::int32_t>(damaged));

    engine.Writer().BeginRun();
    std::int32_t restored = 0;
    bool failed = false;
    const std::size_t count = entries.size();
    for (std::size_t done = 0; done < count; ++done) {
        if (!engine.keepRunning.load())
            return restored;
        const Outcome outcome = UndoEntry(entries[count - 1 - done]);
        restored += outcome == Outcome::Restored ? 1 : 0;
        failed = failed || outcome == Outcome::Failed;
        engine.progress.store(static_cast<std::int32_t>((done + 1) * 100 / count));
    }
    if (!failed)
        CRunJournal::MarkUndone(path);
    return restored;
}

CRunUndo::Outcome CRunUndo::UndoEntry(const JournalEntry& entry)
{
    const FileStamp now = ReadFileStamp(entry.target);
    switch (entry.before) {
    case BeforeRun::Nothing:
        if (!now.exists) {
            // Never committed (or undone before the last undo was stopped).
            engine.Writer().RemoveCreatedDirs(entry.createdDirs);
            return Outcome::AsBefore;
        }
        if (now == entry.written)
            return RemoveCreated(entry);
        break;
    case BeforeRun::NoBackup:
        if (now == entry.written)
            Report(true, kUndoNoBackupText, entry.target, 0, kUndoNoBackupLine);
        else if (now != entry.old)
            Report(true, kUndoChangedText, entry.target, 0, kUndoChangedLine);
        else
            return Outcome::AsBefore;
        return Outcome::Reported;
    case BeforeRun::Backup:
        // An empty target name: a target that refused the replace was renamed to its
        // backup name and the run was killed before the new file took the name.
        if (now == entry.written || (!now.exists && ReadFileStamp(entry.backupPath) == entry.old))
            return PutBackFromBackup(entry, now);
        if (now == entry.old)
            return Outcome::AsBefore;
        break;
    }
    Report(true, kUndoChangedText, entry.target, 0, kUndoChangedLine);
    return Outcome::Reported;
}

CRunUndo::Outcome CRunUndo::PutBackFromBackup(const JournalEntry& entry, const FileStamp& now)
{
    const std::uint32_t error = engine.Writer().PutBack(entry.backupPath, entry.target);
    if (error == ERROR_FILE_NOT_FOUND) {
        // No backup, and the old and new stamps agree: the run never committed the line.
        if (now == entry.old)
            return Outcome::AsBefore;
        // The backup is gone: no later undo could do better.
        Report(true, kUndoNoBackupText, entry.target, error, kUndoNoBackupLine);
        return Outcome::Reported;
    }
    if (error != ERROR_SUCCESS) {
        Report(true, kUndoFailedText, entry.target, error, kUndoFailedLine);
        return Outcome::Failed;
    }
    Report(false, kUndoneText, entry.target, 0, kUndoneLine);
    return Outcome::Restored;
}

CRunUndo::Outcome CRunUndo::RemoveCreated(const JournalEntry& entry)
{
    if (const std::uint32_t error = engine.Writer().RemoveCreated(entry.target)) {
        Report(true, kUndoFailedText, entry.target, error, kUndoFailedLine);
        return Outcome::Failed;
    }
    engine.Writer().RemoveCreatedDirs(entry.createdDirs);
    Report(false, kUndoneText, entry.target, 0, kUndoneLine);
    return Outcome::Restored;
}

void CRunUndo::Report(bool error, const wchar_t* text, const std::wstring& target, std::uint32_t code, unsigned line)
{
    if (!engine.sink)
        return;
    if (error)
        engine.sink->OnSyncError(text + target, code, line);
    else
        engine.sink->OnSyncLog(text + target, line);
}
