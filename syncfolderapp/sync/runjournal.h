#pragma once

// The journals of runs in one folder (datadb\journal): writing the journal of a run, one
// line per pair before its commit, and finding, reading and marking the journal that an
// undo takes.

#include <cstdint>
#include <string>
#include <vector>

#include "common/winhandle.h"
#include "syncfolderapp/sync/journalformat.h"
#include "syncfolderapp/sync/targetwriter.h"

class CRunJournal {
public:
    explicit CRunJournal(std::wstring journalFolder) : folder(std::move(journalFolder)) {}
    CRunJournal(const CRunJournal&) = delete;
    CRunJournal& operator=(const CRunJournal&) = delete;

    // The line of a pair about to be committed, handed to the system before the commit
    // (WriteFile, nothing buffered here). The run's journal file is made with its first
    // line, so a run that commits nothing leaves none. Returns 0 or the system error code;
    // the pair must then not be committed, or the run could not be undone.
    std::uint32_t Record(const PairWrite& pair);
    // The end of a run: its journal is flushed to disk and closed, and only the newest
    // kJournalsKept journals of the folder stay.
    void EndRun();

    // The newest journal of `folder` not yet undone, as a full path; empty when none.
    static std::wstring NewestOpen(const std::wstring& folder);
    // The entries of a journal file; false when it cannot be read or is damaged.
    static bool Read(const std::wstring& path, std::vector<JournalEntry>& entries);
    // Marks an undone journal, so that the next undo takes the run before it.
    static bool MarkUndone(const std::wstring& path);

private:
    std::uint32_t Open();

    std::wstring folder;
    FileHandle file;
};
