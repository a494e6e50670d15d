#pragma once

#include <cstdint>
#include <ctime>

namespace FNLog {

// A moment as the engine stamps its records: seconds since 1970-01-01 UTC and the
// milliseconds within that second.
struct LogTime {
    int64_t sec = 0;
    int ms = 0;
};

// Source of record timestamps; replaceable so that tests can place records at chosen
// moments (midnight, five seconds after a failed open) without waiting for them.
using ClockFn = LogTime (*)();

LogTime SystemNow();

// Local calendar time of a timestamp; false when the platform cannot convert it.
bool ToLocalTime(int64_t sec, std::tm& out);
// Timestamp of a local calendar time (daylight saving decided by the platform).
int64_t FromLocalTime(std::tm local);

constexpr int kTimePrefixLength = 23;  // [YYYYMMDD HH:MM:SS.mmm]

// Writes the local-time stamp of (sec, ms) to `out` (room for kTimePrefixLength bytes)
// and returns the number of bytes written: kTimePrefixLength, or 0 when the stamp would
// not come out at that length (the caller then leaves it out). Each thread caches the
// calendar hour it stamped last, so the platform's conversion runs once an hour.
int FormatTimePrefix(int64_t sec, int ms, char* out);

}  // namespace FNLog
