#pragma once

// Where a source file lands in a version directory, and the texts a run reports.
// Pure text rules: no file system is touched here.

#include <cstdint>
#include <string>
#include <vector>

// Placement mode of a run; the same number is stored in the settings file. Every value
// other than Mir200Only places files like SameLevel.
enum SyncType : std::int32_t {
    Mir200Only = 0,
    SameLevel = 1,
};

// What preparation found out about a source file; only Ready items are synced.
enum class ItemStatus {
    Ready,
    Unreadable,  // its size could not be read: reported
    LeftOut,     // no Mir200 component in Mir200Only mode, or a temporary file of ours: silent
};

// One source file as preparation examined it.
struct SyncFileItem {
    std::wstring sourcePath;
    std::wstring sourceDir;  // GetParentPath(sourcePath)
    std::wstring fileName;   // the file-name part of sourcePath
    ItemStatus status = ItemStatus::Unreadable;
    std::int64_t size = 0;        // in bytes, when Ready
    std::uint64_t lastWrite = 0;  // last-write time in FILETIME units, when Ready
    std::int16_t mir200Pos = 0;   // backslash that opens the last \mir200 component; 0 = none

    // Identity of the file read during preparation, to recognise it under another spelling.
    bool hasFileId = false;
    std::uint64_t fileIndex = 0;  // on its volume
    std::uint32_t linkCount = 0;  // names the file has; with one, only its own directory can reach it
};

// Line tags that the log files show after ", LINE:".
inline constexpr std::uint32_t LINE_SOURCE_UNREADABLE = 64;
inline constexpr std::uint32_t LINE_SYNC_SUCCEEDED = 136;
inline constexpr std::uint32_t LINE_SYNC_FAILED = 139;
inline constexpr std::uint32_t LINE_SAME_SKIPPED = 140;
inline constexpr std::uint32_t LINE_VERIFY_FAILED = 141;

// Index of the backslash that opens the last "\mir200" component of `dir` (letter case
// ignored), or -1 when the last occurrence of "\mir200" is not a whole component.
std::int32_t FindMir200Pos(const std::wstring& dir);

// The non-empty pieces between backslashes of a path as its plain form has them: the
// \\?\ prefix of long paths adds none, and \\?\UNC\srv\share counts like \\srv\share.
std::vector<std::wstring> PathPieces(const std::wstring& path);

// The part of the target below the version directory, or an empty text when the item is
// not placed into a version directory of `folderPieceCount` pieces:
//   mir200Pos > 0: sourcePath from the "\Mir200" component on;
//   otherwise the source directory's pieces deeper than the version directory, then the
//   file name.
std::wstring RelativeTarget(const SyncFileItem& item, std::size_t folderPieceCount);

// folder + RelativeTarget, or an empty text when the item is not placed there.
std::wstring MapTargetPath(const SyncFileItem& item, const std::wstring& folder);

// Result lines of a run.
std::wstring SourceUnreadableLine(const std::wstring& source);
std::wstring SyncSucceededLine(const std::wstring& source, const std::wstring& target);
std::wstring SyncFailedLine(const std::wstring& source, const std::wstring& target);
std::wstring SameSkippedLine(const std::wstring& source, const std::wstring& target);
std::wstring VerifyFailedLine(const std::wstring& source, const std::wstring& target);

// Local time stamp of a backup name: two-digit year, month, day, hour, minute and second,
// then the letter a (one-second resolution): 2025-12-19 14:30:05 -> 251219143005a.
std::wstring FormatBackupStamp(int year, int month, int day, int hour, int minute, int second);

// target + "_" + stamp + ".bak" for attempt 1; from attempt 2 on a counter goes before
// ".bak" (target_stamp_2.bak) so that an earlier backup of the same second is kept.
std::wstring BackupFileName(const std::wstring& target, const std::wstring& stamp, int attempt);
