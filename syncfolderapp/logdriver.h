#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace FNLog {
class Logger;
}

// The application's door to its log files: each report becomes one time-stamped line on
// channel 0 of the log engine (the day's full log; ERROR lines also the error log).
// Reports may come from several threads at once (the lanes of a run, the window): they
// take turns on one lock, which guards the shared conversion buffer.
class CLogDriver {
public:
    // Writes through the process-wide engine.
    CLogDriver();
    // Writes through the given engine (tests, measurements).
    explicit CLogDriver(FNLog::Logger& logger);

    // One INFO line: message, then ", LINE:" and the caller's site number.
    void PushLog(const std::wstring& message, uint32_t line);
    // One ERROR line: message, ", ERROR:" and the system error code, ", LINE:" and site.
    void PushLog(const std::wstring& message, uint32_t errorCode, uint32_t line);

    // Starts the process-wide engine from the embedded configuration. A failure is
    // printed to standard output and returned; the program then runs without log files.
    static int StartLogEngine();
    // StartLogEngine on a thread of its own, so that the caller goes on while the engine
    // waits for its channel thread to come up (in steps of 10 ms). A line pushed, or a
    // stop asked for, before that start has ended waits for it: no line is lost.
    static void StartLogEngineInBackground();
    // Stops the process-wide engine when it runs, after every queued line has reached its
    // files. Called when the program ends, which would otherwise cut the queue off.
    static void StopLogEngine();

private:
    // Returns once a start begun by StartLogEngineInBackground has ended.
    static void AwaitBackgroundStart();
    void Write(int priority, const std::wstring& message, const uint32_t* errorCode, uint32_t line);

    FNLog::Logger& logger_;
    std::mutex lock_;  // held by the report being written
    std::vector<char> conversionBuffer;
};

// Converts `message` to the narrow encoding of the log files (the system's ANSI code page
// on Windows, UTF-8 elsewhere) into `buffer`, growing it when needed. Returns the number
// of bytes, or -1 when the text cannot be converted.
int ConvertLogText(const std::wstring& message, std::vector<char>& buffer);
