#pragma once

// The text of a run's journal: one header line, then one line per pair the run was about
// to commit, each written completely before the commit. Pure text rules; the files are
// handled by CRunJournal.
//
// A pair line holds tab-separated fields (no file name can hold a tab or a line end):
//   target, what was there before ("new", "backup", "nobackup"), the backup name (empty
//   unless "backup"), old size, old last-write time, new size, new last-write time, the
//   directories the write created (deepest first, any number), and a checksum of all
//   that as eight hex digits.

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

// The line of `entry`, ending in a line feed.
std::wstring FormatJournalLine(const JournalEntry& entry);

enum class JournalRead {
    Ok,
    Damaged,  // something other than a cut-off last line is wrong: nothing may be undone
};

// The entries of a journal's whole text, in the order written. A last line without its
// line end was cut off while being written (its pair was never committed) and is left
// out; a text cut off inside the header has no entries.
JournalRead ParseJournal(std::wstring_view text, std::vector<JournalEntry>& entries);

// File names in the journal folder: "<20-digit number>.journal" while a run may still be
// undone, ".undone" once it was. The number orders the journals by their runs.
inline constexpr wchar_t kOpenJournalExt[] = L".journal";
inline constexpr wchar_t kUndoneJournalExt[] = L".undone";
inline constexpr std::size_t kJournalsKept = 50;
std::wstring JournalFileName(std::uint64_t number);
// True for either kind of journal name.
bool IsJournalFileName(std::wstring_view name);
// The name an open journal gets once undone.
std::wstring UndoneName(std::wstring_view openName);
// The journal names beyond the newest kJournalsKept, oldest first.
std::vector<std::wstring> JournalsToRemove(std::vector<std::wstring> names);
// The newest open journal of `names`, or an empty text.
std::wstring NewestOpenJournal(const std::vector<std::wstring>& names);
