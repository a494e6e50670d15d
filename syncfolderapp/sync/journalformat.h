#pragma once

// The text of a run's journal: one header line, then one line per pair the run was about
// to commit, each written completely before the commit. Pure text rules; the files are
// handled by CRunJournal.
//
// A pair line holds tab-separated fields (no file name can hold a tab or a line end):
//   target, what was there before ("new", "backup", "nobackup"), the backup name (empty
//   unless "backup"), old size, old last-write time, new size, new last-write time, the
//   directories the write created (deepest first, any number), and a checksum of all
//   that as eight hex digits. Each line stands on its own, so that one damaged line costs
//   the undo of its own pair only.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Size and last-write time of a file, as far as a journal compares them.
struct FileStamp {
    bool exists = false;
    std::uint64_t size = 0;
    std::uint64_t writeTime = 0;  // FILETIME units

    bool operator==(const FileStamp&) const = default;
};

// What a target held before the run wrote it.
enum class BeforeRun {
    Nothing,   // the run created it
    Backup,    // the old contents are under `backupPath`
    NoBackup,  // overwritten without a backup
};

struct JournalEntry {
    std::wstring target;
    BeforeRun before = BeforeRun::Nothing;
    std::wstring backupPath;
    FileStamp old;      // before the run (exists is false for Nothing)
    FileStamp written;  // what the run put there
    std::vector<std::wstring> createdDirs;

    bool operator==(const JournalEntry&) const = default;
};

inline constexpr wchar_t kJournalHeader[] = L"syncfolder journal 1";

// The entry of a pair about to be committed, from what the writer knows then: the target
// as it read it once before the write (`old`), the name that holds the old contents (empty
// when none was made), the new file and the directories the write created. A backup name
// makes it a "backup" entry whatever the stamp says, so that every entry the writer can
// hand over makes a line that reads back.
JournalEntry CommitEntry(const std::wstring& target, const FileStamp& old, const std::wstring& backupPath,
                         const FileStamp& written, const std::vector<std::wstring>& createdDirs);

// The line of `entry`, ending in a line feed.
std::wstring FormatJournalLine(const JournalEntry& entry);

enum class JournalRead {
    Ok,
    Damaged,  // the header is wrong: this is no journal of ours, nothing in it may be undone
};

// The entries of a journal's whole text, in the order written. A complete line that cannot
// be read is left out and counted in `damagedLines`; a last line without its line end was
// cut off while being written (its pair was never committed) and is left out silently; a
// text cut off inside the header has no entries.
JournalRead ParseJournal(std::wstring_view text, std::vector<JournalEntry>& entries, std::size_t& damagedLines);

// File names in the journal folder: "<20-digit number>.journal" while a run may still be
// undone, ".undone" once it was, ".damaged" when its header was found wrong. The number
// orders the journals by their runs.
inline constexpr wchar_t kOpenJournalExt[] = L".journal";
inline constexpr wchar_t kUndoneJournalExt[] = L".undone";
inline constexpr wchar_t kDamagedJournalExt[] = L".damaged";
inline constexpr std::size_t kJournalsKept = 50;
std::wstring JournalFileName(std::uint64_t number);
// True for every kind of journal name. A number past 64 bits, or the largest one (no run
// could come after it), makes no journal name: such a file is left alone.
bool IsJournalFileName(std::wstring_view name);
// The number of a journal name; false for any other name.
bool JournalNumber(std::wstring_view name, std::uint64_t& number);
// The name an open journal gets once undone, or once found damaged.
std::wstring UndoneName(std::wstring_view openName);
std::wstring DamagedName(std::wstring_view openName);
// The journal names beyond the newest kJournalsKept, oldest first.
std::vector<std::wstring> JournalsToRemove(std::vector<std::wstring> names);
// The newest open journal of `names`, or an empty text.
std::wstring NewestOpenJournal(const std::vector<std::wstring>& names);
