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
    const std::int32_t restored = UndoNewest(journalFolder);
    engine.progress.store(100);
    engine.busy.store(false);
    engine.keepRunning.store(false);
    return restored;
}

std::int32_t CRunUndo::UndoNewest(const std::wstring& journalFolder)
{
    const std::wstring path = CRunJournal::NewestOpen(journalFolder);
    std::vector<JournalEntry> entries;
    if (path.empty())
        return 0;
    if (!CRunJournal::Read(path, entries))
        return kUndoJournalDamaged;

    engine.Writer().BeginRun();
    std::int32_t restored = 0;
    const std::size_t count = entries.size();
    for (std::size_t done = 0; done < count; ++done) {
        if (!engine.keepRunning.load())
            return restored;
        if (UndoEntry(entries[count - 1 - done]))
            ++restored;
        engine.progress.store(static_cast<std::int32_t>((done + 1) * 100 / count));
    }
    CRunJournal::MarkUndone(path);
    return restored;
}

bool CRunUndo::UndoEntry(const JournalEntry& entry)
{
    const FileStamp now = ReadFileStamp(entry.target);
    switch (entry.before) {
    case BeforeRun::Nothing:
        if (!now.exists) {
            // Never committed (or undone before the last undo was stopped).
            engine.Writer().RemoveCreatedDirs(entry.createdDirs);
            return false;
        }
        if (now == entry.written)
            return RemoveCreated(entry);
        break;
    case BeforeRun::NoBackup:
        if (now == entry.written)
            Report(true, kUndoNoBackupText, entry.target, 0, kUndoNoBackupLine);
        else if (now != entry.old)
            Report(true, kUndoChangedText, entry.target, 0, kUndoChangedLine);
        return false;
    case BeforeRun::Backup:
        // An empty target name: a read-only target was renamed to its backup name and the
        // run was killed before the new file took the name.
        if (now == entry.written || (!now.exists && ReadFileStamp(entry.backupPath) == entry.old))
            return PutBackFromBackup(entry, now);
        if (now == entry.old)
            return false;
        break;
    }
    Report(true, kUndoChangedText, entry.target, 0, kUndoChangedLine);
    return false;
}

bool CRunUndo::PutBackFromBackup(const JournalEntry& entry, const FileStamp& now)
{
    if (const std::uint32_t error = engine.Writer().PutBack(entry.backupPath, entry.target)) {
        // No backup, and the old and new stamps agree: the run never committed the line.
        const bool neverCommitted = error == ERROR_FILE_NOT_FOUND && now == entry.old;
        if (!neverCommitted)
            Report(true, kUndoFailedText, entry.target, error, kUndoFailedLine);
        return false;
    }
    Report(false, kUndoneText, entry.target, 0, kUndoneLine);
    return true;
}

bool CRunUndo::RemoveCreated(const JournalEntry& entry)
{
    if (const std::uint32_t error = engine.Writer().RemoveCreated(entry.target)) {
        Report(true, kUndoFailedText, entry.target, error, kUndoFailedLine);
        return false;
    }
    engine.Writer().RemoveCreatedDirs(entry.createdDirs);
    Report(false, kUndoneText, entry.target, 0, kUndoneLine);
    return true;
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
