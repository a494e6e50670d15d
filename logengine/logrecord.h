#pragma once

#include <atomic>
#include <cstdint>

#include "logengine/logdefs.h"

namespace FNLog {

enum SlotState : uint32_t {
    SLOT_FREE = 0,
    SLOT_CLAIMED = 1,
    SLOT_FILLED = 2,
};

// One ring slot: a line is composed in place here by its producer and written out by
// the channel's consumer.
struct LogRecord {
    std::atomic<uint32_t> slotState{SLOT_FREE};
    int channel = 0;
    int priority = 0;
    int64_t timestamp = 0;  // seconds since 1970-01-01 UTC
    int milliseconds = 0;
    int prefixLength = 0;
    int textLength = 0;
    // Not cleared: a line is composed here before anything reads it, and leaving the
    // ring's text untouched spares the start-up from writing out all of its pages.
    char text[kRecordTextSize + 1];
};

static_assert(kMaxLineText + 2 < kRecordTextSize + 1, "CR LF and NUL must fit behind a cut line");

}  // namespace FNLog
