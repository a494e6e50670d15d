#pragma once

// The journals of runs in one folder (datadb\journal): writing the journal of a run, one
// line per pair before its commit, finding, reading and marking the journal that an undo
// takes, and the lock that keeps two instances of the program from writing or undoing
// there at once.

#include <cstdint>
#include <mutex>
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
    // (WriteFile, nothing buffered here). The lanes of a run take turns: each line goes out
    // whole, in one write, before the next one begins. The run's journal file is made with
    // its first line, so a run that commits nothing leaves none. Returns 0 or the system error code;
    // the pair must then not be committed, or the run could not be undone. A line written
    // part-way is cut back to the end of the last whole line; should that fail, every
    // later line of the run is refused with the error of the cut.
    std::uint32_t Record(const PairWrite& pair);
    // The end of a run: its journal is flushed to disk and closed, and only the newest
    // kJournalsKept journals of the folder stay.
    void EndRun();

    // Whether a file can be made and written in `folder` (made when missing), tried with a
    // temporary file that goes again at once: a run's journal would hide the real last
    // run. Returns 0 or the system error code.
    static std::uint32_t TryWrite(const std::wstring& folder);

    // The lock file `lock` in `folder`, opened with no sharing: a run or an undo holds it
    // for its whole length. Invalid when it cannot be had; `error` then tells why
    // (ERROR_SHARING_VIOLATION: another process holds it).
    static FileHandle TakeLock(const std::wstring& folder, std::uint32_t& error);

    // The newest journal of `folder` not yet undone, as a full path; empty when none.
    static std::wstring NewestOpen(const std::wstring& folder);

    enum class ReadResult {
        Ok,          // its readable lines are in `entries`, the others counted in `damagedLines`
        Damaged,     // read whole, but its header is wrong
        InUse,       // another process has it open for writing
        Unreadable,  // it cannot be opened or read
    };
    // The entries of a journal file, read with no write sharing.
    static ReadResult Read(const std::wstring& path, std::vector<JournalEntry>& entries, std::size_t& damagedLines);
    // Marks an undone journal, so that the next undo takes the run before it.
    static bool MarkUndone(const std::wstring& path);
    // Sets a journal with a wrong header aside, so that the next undo takes the run before it.
    static bool MarkDamaged(const std::wstring& path);

private:
    std::uint32_t Open();
    // Cuts the file back to the end of its last whole line; 0 or the system error code.
    std::uint32_t CutBack();

    std::wstring folder;
    std::mutex lock;  // held by the lane whose line goes out
    FileHandle file;
    std::uint64_t wholeLinesEnd = 0;  // the size of the file up to its last whole line
    std::uint32_t cutBackError = 0;   // a part-way line that could not be cut back
};
