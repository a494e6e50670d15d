#pragma once

// Puts a source file's contents under a target name so that at every instant the target
// name holds its old or its new contents, and old contents to keep are secured under a
// backup name before the target changes:
//   1. the source is copied into a temporary file beside the target (the target's
//      directory is made when the copy shows it missing); when asked, the temporary file
//      is then read back and compared byte for byte with the source;
//   2. with a backup, the old contents get a free backup name: a hard link to the target,
//      or, where linking is refused, a copy made through a temporary file and a rename;
//   3. the temporary file is renamed over the target.
// A target that refuses to be replaced but may be renamed (read-only, a running program)
// is, with a backup, renamed to its backup name, and the new file then takes the name.
// Any failure leaves the target as it was, removes what the write made and gives the
// system error code of the step that failed. Temporary files of an interrupted run are
// removed the first time a later run writes into their directory.

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>
#include <utility>

// Points of one write at which the step hook is called.
enum class WriteStep {
    Copied,  // the temporary file holds the complete new contents
    Link,    // a backup name is about to be linked to the target
    Commit,  // the old contents are secured; the new file is about to take the target name
};

// How one write ended. A failed write has left the target as it was.
struct WriteResult {
    enum Failure { None, Write, Verify } failure = None;
    // System error code of the step that failed; 0 when the read-back differed.
    std::uint32_t error = 0;

    bool Written() const { return failure == None; }
};

// The files of one write, as far as they are known at a step.
struct PairWrite {
    const std::wstring& source;
    const std::wstring& target;
    std::wstring tempPath;    // the new contents, from Copied on
    std::wstring backupPath;  // the backup name being linked (Link) or holding the old contents (Commit)
};

// A file that one write made (a temporary file, a new backup name): removed when its
// owner goes, unless kept.
class MadeFile {
public:
    MadeFile() = default;
    explicit MadeFile(std::wstring path) : path_(std::move(path)) {}
    ~MadeFile() { Remove(); }
    MadeFile(const MadeFile&) = delete;
    MadeFile& operator=(const MadeFile&) = delete;
    MadeFile(MadeFile&& other) noexcept : path_(std::exchange(other.path_, std::wstring())) {}
    MadeFile& operator=(MadeFile&& other) noexcept
    {
        if (this != &other) {
            Remove();
            path_ = std::exchange(other.path_, std::wstring());
        }
        return *this;
    }

    const std::wstring& Path() const { return path_; }
    void Keep() { path_.clear(); }
    void Remove();

private:
    std::wstring path_;
};

class CTargetWriter {
public:
    // Called at each step. A non-zero result fails the step with that system error code,
    // as if the system had refused it: the write is undone and reported, except that a
    // refused link falls back to copying the backup. Commit comes a second time for a
    // target that refused the replace and was renamed away, naming its backup then.
    using StepHook = std::function<std::uint32_t(WriteStep step, const PairWrite& pair)>;

    // A new run: each directory is cleared of leftovers again when first written.
    void BeginRun() { cleanedDirs_.clear(); }

    // Writes the contents of `source` over `target`, securing the old contents under a
    // backup name first when `keepBackup` and the target is an existing file, and
    // comparing the new contents with the source before anything else changes when
    // `verify`.
    WriteResult Write(const std::wstring& source, const std::wstring& target, bool keepBackup, bool verify);

    void SetStepHook(StepHook hook) { stepHook_ = std::move(hook); }

private:
    std::uint32_t Commit(const std::wstring& dir, PairWrite& pair, MadeFile& temp, bool keepBackup) const;
    std::uint32_t Step(WriteStep step, const PairWrite& pair) const;
    void RemoveLeftovers(const std::wstring& dir);
    std::uint32_t SecureBackup(const std::wstring& dir, PairWrite& pair, MadeFile& backup) const;
    std::uint32_t RenameAway(PairWrite& pair, MadeFile& temp) const;

    StepHook stepHook_;
    std::unordered_set<std::wstring> cleanedDirs_;
};
