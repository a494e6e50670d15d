#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "logengine/logconfig.h"
#include "logengine/logrecord.h"
#include "logengine/logtime.h"

namespace FNLog {

enum LoggerState : int {
    LOGGER_STATE_UNINIT = 0,
    LOGGER_STATE_STARTING = 1,
    LOGGER_STATE_RUNNING = 2,
    LOGGER_STATE_STOPPING = 3,
};

enum ChannelRunState : int {
    CHANNEL_STATE_NONE = 0,
    CHANNEL_STATE_RUNNING = 1,
    CHANNEL_STATE_STOPPING = 2,
    CHANNEL_STATE_FINISHED = 3,
};

struct RuntimeBlock;
struct Channel;
class FileDevice;

// The log engine: configured from a text, it runs one or two channels, each with a ring
// of kRingSize record slots. Producers compose a line in a slot they claimed and commit
// it; an async channel's own thread (or, for a sync channel, the submitting thread)
// writes committed lines to the channel's devices. The program uses one process-wide
// instance (DefaultLogger()); separate instances exist for tests and measurements.
class Logger {
public:
    Logger();
    ~Logger();
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    int ParseAndStartLogger(std::string_view text);
    int InitFromYMAL(std::string_view text, const std::string& path);
    int StartLogger();
    int StopLogger();

    // A claimed slot with the time prefix and one blank in place, or nullptr when the
    // engine refuses the line. Blocks while the channel's ring is full.
    LogRecord* OpenRecord(int channel, int priority);
    // Appends text, cut silently at the record's room.
    static void Append(LogRecord* record, std::string_view text);
    // Appends a decimal number when at least kNumberRoom bytes of room are left.
    static void AppendNumber(LogRecord* record, uint64_t value);
    // Ends the line with CR LF and hands it to the channel's devices.
    int SubmitRecord(LogRecord* record);

    int state() const { return state_.load(); }
    // Where record timestamps come from; nullptr restores the system clock.
    void SetClock(ClockFn clock);
    // Runs on each async channel's thread before its first pass (tests delay a thread's
    // start here). Set it while the engine is stopped.
    void SetChannelStartHook(std::function<void()> hook) { channelStartHook_ = std::move(hook); }

    // Views for diagnostics and tests.
    int channelCount() const;
    int channelRunState(int channel) const;
    bool hasChannelThread(int channel) const;
    int producersWaiting(int channel) const;
    const ChannelConfig* channelConfig(int channel) const;
    const FileDevice* fileDevice(int channel, int device) const;

private:
    int StartChannels();
    int StopChannels();
    void ChannelLoop(Channel& channel);
    int RunPass(Channel& channel);
    void WriteRecord(Channel& channel, LogRecord& record);
    void FlushDevices(Channel& channel);
    void IdleWait(Channel& channel);
    void ResetRing(Channel& channel);

    std::atomic<int> state_{LOGGER_STATE_UNINIT};
    std::recursive_mutex mutex_;
    std::unique_ptr<RuntimeBlock> runtime_;
    std::string configPath_;
    std::atomic<ClockFn> clock_{nullptr};
    std::function<void()> channelStartHook_;
};

// The process-wide engine.
Logger& DefaultLogger();

// The operations of the process-wide engine.
int ParseAndStartLogger(std::string_view text);
int InitFromYMAL(std::string_view text, const std::string& path);
int StartLogger();
int StopLogger();

}  // namespace FNLog
