#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>

#include "logengine/logconfig.h"

namespace FNLog {

// Why the last open of a file device failed.
enum OpenFailure : int {
    OPEN_OK = 0,
    OPEN_PATH_TOO_LONG = 1,
    OPEN_FAILED = 2,
};

// Expands the name macros of a directory or file pattern for a local time: %F becomes
// $YEAR-$MON-$DAY, then $YEAR $MON $DAY $HOUR $MIN $SEC $PNAME $PID are replaced.
std::string ExpandMacros(std::string_view pattern, const std::tm& local);

// Moves `path` to path.1, path.1 to path.2 ... keeping at most `maxDepth` old files; the
// chain stops at the first name that does not exist.
void RollOver(const std::string& path, int maxDepth);

// Creates every missing directory along `dir` (a text with '/' separators).
void CreateDirectories(const std::string& dir);

// One file output of a channel: opens its file at the first record, rolls it over by
// size (and by day or hour when configured), and after a failed open drops the records
// stamped within the next five seconds instead of retrying for each of them.
class FileDevice {
public:
    FileDevice() = default;
    ~FileDevice() { Close(); }
    FileDevice(const FileDevice&) = delete;
    FileDevice& operator=(const FileDevice&) = delete;

    void Write(const DeviceConfig& config, int channel, int64_t timestamp, const char* text, size_t length);
    void Flush();
    void Close();
    // Forgets the state of an earlier configuration.
    void Reset();

    bool isOpen() const { return file_ != nullptr; }
    const std::string& path() const { return path_; }
    int64_t currentSize() const { return currentSize_; }
    int64_t lastFailureTime() const { return lastFailureTime_; }
    int lastFailureReason() const { return lastFailureReason_; }

private:
    bool Open(const DeviceConfig& config, int channel, int64_t timestamp, bool sizeRoll);
    void Fail(int reason, int64_t timestamp);

    std::FILE* file_ = nullptr;
    std::string path_;
    int64_t currentSize_ = 0;
    int64_t openTime_ = 0;
    int64_t dayStart_ = 0;
    int64_t hourStart_ = 0;
    int64_t lastFailureTime_ = 0;
    int lastFailureReason_ = OPEN_OK;
};

}  // namespace FNLog
