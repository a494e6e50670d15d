#pragma once

// Puts a source file's contents under a target name so that at every instant the target
// name holds its old or its new contents, and old contents to keep are secured under a
// backup name before the target changes:
//   1. the source is copied into a temporary file beside the target (the target's
//      directory is made when the copy shows it missing); when asked, the temporary file
//      is then read back and compared byte for byte with the source;
//   2. with a backup, the old contents get a free backup name: a hard link to the target
//      when the target has no other name and is no reparse point (a link would follow
//      later changes made through another name), otherwise, or where linking is refused,
//      a copy made through a temporary file and a rename;
//   3. the temporary file is renamed over the target.
// The target is read once before step 2; what decides the backup is what the journal line
// tells. A target that refuses to be replaced but may be renamed (read-only, a running
// program) is, with a backup, renamed to a free backup name once its journal line is
// written, and the new file then takes the name.
// Any failure leaves the target as it was, removes what the write made and gives the
// system error code of the step that failed; only a commit that failed with a transient
// network error keeps its backup, as the server may have renamed all the same. Temporary
// files of an interrupted run are removed the first time a later run writes into their
// directory.
//
// The undo of a run goes through the same class: a backup takes the target name back in
// one rename, a file the run created is deleted, and the directories it created go when
// empty, so that each target holds the run's or the old contents at every instant. A
// target that refuses to be replaced or deleted but may be renamed moves to a temporary
// name first, which the leftover rule removes once nobody has it open.

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "syncfolderapp/sync/journalformat.h"

// Points of one write at which the step hook is called.
enum class WriteStep {
    Copied,  // the temporary file holds the complete new contents
    Link,    // a backup name is about to be linked to the target
    Commit,  // the old contents are secured; the new file is about to take the target name
    Undo,    // a backup is about to take the target name back, or a created target to go
    // A target that refused the replace is under its backup name; its own name is empty.
    RenamedAway,
};

// How one write ended. A failed write has left the target as it was, except after a
// Commit failure: the committing rename failed with a transient network error, which the
// server may have sent after doing the rename, so the target may hold the new contents; a
// backup made for that write is then kept.
struct WriteResult {
    enum Failure { None, Write, Verify, Commit } failure = None;
    // System error code of the step that failed; 0 when the read-back differed.
    std::uint32_t error = 0;

    bool Written() const { return failure == None; }
};

// The files of one write, as far as they are known at a step.
struct PairWrite {
    const std::wstring& source;
    const std::wstring& target;
    std::wstring tempPath;    // the new contents, from Copied on
    std::wstring backupPath;  // the backup name being linked (Link), or the one for the old contents (Commit on)
    // Known at Commit: the target before the write, the new file (when a commit recorder
    // is set), and the directories the write created (deepest first).
    FileStamp old;
    FileStamp written;
    std::vector<std::wstring> createdDirs;
};

// Size and last-write time of the file at `path`; exists is false when there is none.
FileStamp ReadFileStamp(const std::wstring& path);

// True when both files hold the same bytes. False with `error` 0 when they differ, or
// with the system error code of an open or read that failed.
bool SameContents(const std::wstring& a, const std::wstring& b, std::uint32_t& error);

// A file that one write made (a temporary file, a new backup name): removed when its
// owner goes, unless kept. A further name of the target (a backup link) is only unlinked:
// its attributes are the target's.
class MadeFile {
public:
    enum Kind { OwnFile, NameOfTarget };
    MadeFile() = default;
    explicit MadeFile(std::wstring path, Kind kind = OwnFile) : path_(std::move(path)), kind_(kind) {}
    ~MadeFile() { Remove(); }
    MadeFile(const MadeFile&) = delete;
    MadeFile& operator=(const MadeFile&) = delete;
    MadeFile(MadeFile&& other) noexcept : path_(std::exchange(other.path_, std::wstring())), kind_(other.kind_) {}
    MadeFile& operator=(MadeFile&& other) noexcept
    {
        if (this != &other) {
            Remove();
            path_ = std::exchange(other.path_, std::wstring());
            kind_ = other.kind_;
        }
        return *this;
    }

    const std::wstring& Path() const { return path_; }
    void Keep() { path_.clear(); }
    void Remove();

private:
    std::wstring path_;
    Kind kind_ = OwnFile;
};

class CTargetWriter {
public:
    // Called at each step. A non-zero result fails the step with that system error code,
    // as if the system had refused it: the write is undone and reported, except that a
    // refused link falls back to copying the backup, and that a transient network code at
    // Commit stands for a rename whose answer was lost (WriteResult::Commit). Commit comes
    // a second time for a target that refused the replace and is to be renamed away, naming
    // its backup then.
    using StepHook = std::function<std::uint32_t(WriteStep step, const PairWrite& pair)>;
    // Called at each commit after the step hook let it pass, just before the rename; a
    // non-zero result fails the commit like a refused step. A run's journal line goes here.
    using CommitRecorder = std::function<std::uint32_t(const PairWrite& pair)>;

    // A new run: each directory is cleared of leftovers again when first written, and its
    // copies' stamps read again until seen to be their sources'.
    void BeginRun()
    {
        cleanedDirs_.clear();
        stampsCarried_.clear();
    }

    // Writes the contents of `source` over `target`, securing the old contents under a
    // backup name first when `keepBackup` and the target is an existing file, and
    // comparing the new contents with the source before anything else changes when
    // `verify`. `sourceStamp`, the source's size and last-write time as the run read them,
    // may stand for the new file's in the commit's record (see WrittenStamp).
    WriteResult Write(const std::wstring& source, const std::wstring& target, bool keepBackup, bool verify,
                      const FileStamp* sourceStamp = nullptr);

    // Undo of a committed pair: `backup` takes the name `target` in one rename, replacing
    // the run's file (moved to a temporary name first when it refuses the replace).
    // Returns 0 or the system error code.
    std::uint32_t PutBack(const std::wstring& backup, const std::wstring& target);
    // Undo of a created target: the file goes. Returns 0 or the system error code.
    std::uint32_t RemoveCreated(const std::wstring& target);
    // Removes the directories a run created, deepest first, each only when empty (after
    // the temporary files an interrupted write left in it).
    void RemoveCreatedDirs(const std::vector<std::wstring>& dirs);

    void SetStepHook(StepHook hook) { stepHook_ = std::move(hook); }
    void SetCommitRecorder(CommitRecorder recorder) { commitRecorder_ = std::move(recorder); }

private:
    // `attributes` are the target's as read with pair.old (INVALID_FILE_ATTRIBUTES when none);
    // `commitUncertain` tells a commit that failed with a transient network error.
    std::uint32_t PutInPlace(const std::wstring& dir, PairWrite& pair, MadeFile& temp, bool keepBackup,
                             std::uint32_t attributes, bool& commitUncertain) const;
    std::uint32_t Step(WriteStep step, const PairWrite& pair) const;
    // The step hook, then the commit recorder, just before the rename that commits a pair.
    std::uint32_t BeforeCommit(const PairWrite& pair) const;
    void RemoveLeftovers(const std::wstring& dir);
    // The stamp of the copy `temp` in `dir`. A copy carries its source's size and
    // last-write time wherever the file system keeps them as they are; once a copy in `dir`
    // is seen to, `sourceStamp` stands for the later ones there instead of another read.
    FileStamp WrittenStamp(const std::wstring& dir, const std::wstring& temp, const FileStamp* sourceStamp);
    std::uint32_t SecureBackup(const std::wstring& dir, PairWrite& pair, MadeFile& backup) const;
    std::uint32_t RenameAway(PairWrite& pair, MadeFile& temp) const;

    StepHook stepHook_;
    CommitRecorder commitRecorder_;
    std::unordered_set<std::wstring> cleanedDirs_;
    // Directories whose first copy in this run showed whether copies carry their source's stamp.
    std::unordered_map<std::wstring, bool> stampsCarried_;
};
