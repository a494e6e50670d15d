#pragma once

#include <cstdint>

namespace FNLog {

// Priorities, lowest to highest.
enum Priority : int {
    PRIORITY_TRACE = 0,
    PRIORITY_DEBUG = 1,
    PRIORITY_INFO = 2,
    PRIORITY_WARN = 3,
    PRIORITY_ERROR = 4,
    PRIORITY_ALARM = 5,
    PRIORITY_FATAL = 6,
};

// Result codes of the parser and of the engine's operations; 0 is success.
enum ErrorCode : int {
    E_SUCCESS = 0,
    E_LOGGER_IN_USE = 1,
    E_LOGGER_NOT_INIT = 2,
    E_LOGGER_NOT_RUNNING = 3,
    E_INVALID_CONFIG_PATH = 4,
    E_INVALID_CHANNEL_SIZE = 5,
    E_INVALID_CHANNEL_SYNC = 6,
    E_INVALID_CHANNEL_STATE = 7,
    E_CHANNEL_THREAD_FAILED = 8,
    E_CHANNEL_NOT_SEQUENCE = 9,
    E_OUT_OF_DEVICE_SIZE = 10,
    E_DEVICE_NOT_SEQUENCE = 11,
    E_SHMGET_PROBE_ERROR = 12,
    E_SHMGET_CREATE_ERROR = 13,
    E_SHMAT_ERROR = 14,
    E_SHM_VERSION_WRONG = 15,
    E_VERSION_MISMATCH = 16,
    E_VERSION_WARN_BEGIN = 17,
    E_VERSION_WARN_1 = 18,
    E_VERSION_WARN_2 = 19,
    E_INVALID_RECORD = 20,
    E_SYNTAX_ERROR = 21,
    E_UNSUPPORT_SYNTAX = 22,
    E_UNKNOWN_KEY = 23,
    E_NAME_OR_KEY_INVALID = 24,
    E_UNKNOWN_ERROR = 25,
    E_NOT_CLOSURE_LINE = 26,
    E_UDP_ADDR_ERROR = 27,
    E_UDP_ADDR_ERROR_2 = 28,
    E_MACRO_NAME_TOO_SHORT = 29,
    E_UNDEFINED_DEVICE_KEY = 30,
    E_UNDEFINED_OUT_TYPE = 31,
    E_UNDEFINED_CHANNEL_KEY = 32,
    E_UNDEFINED_TOP_KEY = 33,
};

// The text of a result code; "unknown error." for codes outside the table.
const char* ErrorText(int code);

// Limits of the engine.
constexpr int kMaxChannels = 2;
constexpr int kMaxDevices = 20;
constexpr int kRingSize = 1000;
constexpr int kRecordTextSize = 10000;
constexpr int kMaxLineText = 9997;  // a finished line is cut here before CR LF
constexpr int kNumberRoom = 30;     // a number is appended only with this much room left
constexpr int kMaxPathLength = 198;
constexpr int kMaxFileLength = 48;
constexpr int kMaxFullPathLength = 250;  // a full path this long or longer is refused
constexpr int kRetryOpenSeconds = 5;

}  // namespace FNLog
