#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "logengine/logdefs.h"

namespace FNLog {

enum DeviceKind : int {
    DEVICE_NONE = 0,    // writes nothing
    DEVICE_SCREEN = 1,  // the console
    DEVICE_FILE = 2,    // a rolling file
    DEVICE_EMPTY = 3,   // kinds the engine accepts in a configuration but this program
    DEVICE_UDP = 4,     // never writes to; records reaching them are discarded
    DEVICE_VIRTUAL = 5,
};

enum ChannelMode : int {
    CHANNEL_ASYNC = 0,  // the channel's own thread writes the devices
    CHANNEL_SYNC = 1,   // the submitting thread writes the devices
};

struct DeviceConfig {
    int index = 0;
    int kind = DEVICE_NONE;
    bool enabled = false;
    int priority = PRIORITY_TRACE;
    std::string path;       // at most kMaxPathLength characters
    std::string file;       // name pattern, at most kMaxFileLength characters
    int64_t limitSize = 0;  // bytes, 0 = no limit
    int rollback = 0;       // rolled-over files kept, 0 = none
    bool stuffUp = false;   // append at open (true) or roll the old file over first
    bool rollByDay = false;
    bool rollByHour = false;
};

struct ChannelConfig {
    int index = 0;
    int mode = CHANNEL_ASYNC;
    int priority = PRIORITY_TRACE;
    int deviceCount = 0;
    DeviceConfig devices[kMaxDevices];
};

struct LoggerConfig {
    int channelCount = 0;
    ChannelConfig channels[kMaxChannels];
};

// Outcome of parsing: the result code, the line number where parsing stopped (from 1)
// and, for a failure on a known line, the offset of that line's first byte in the text.
struct ParseResult {
    int code = E_SUCCESS;
    int line = 0;
    size_t lineOffset = std::string_view::npos;
};

// Reads a configuration text into `config` (reset first). A NUL ends the text.
ParseResult ParseLogger(std::string_view text, LoggerConfig& config);

// The report printed when parsing fails: code, its text, the line number and the rest of
// the text from the failing line on (at most up to the first LF 380 characters on).
std::string ParseErrorReport(const ParseResult& result, std::string_view text);

}  // namespace FNLog
