#include "syncfolderapp/logdriver.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <system_error>
#include <string_view>
#include <thread>

#include "logengine/defaultconfig.h"
#include "logengine/logger.h"

namespace {

constexpr int kLogChannel = 0;
constexpr size_t kInitialBuffer = 1024;

struct BackgroundStart {
    ~BackgroundStart()
    {
        if (thread.joinable())
            thread.join();
    }
    std::mutex mutex;
    std::thread thread;
    std::atomic<bool> pending{false};
};

BackgroundStart& TheBackgroundStart()
{
    static BackgroundStart start;
    return start;
}

}  // namespace

CLogDriver::CLogDriver() : CLogDriver(FNLog::DefaultLogger())
{
}

CLogDriver::CLogDriver(FNLog::Logger& logger) : logger_(logger)
{
    conversionBuffer.reserve(kInitialBuffer);
}

void CLogDriver::PushLog(const std::wstring& message, uint32_t line)
{
    Write(FNLog::PRIORITY_INFO, message, nullptr, line);
}

void CLogDriver::PushLog(const std::wstring& message, uint32_t errorCode, uint32_t line)
{
    Write(FNLog::PRIORITY_ERROR, message, &errorCode, line);
}

void CLogDriver::Write(int priority, const std::wstring& message, const uint32_t* errorCode, uint32_t line)
{
    AwaitBackgroundStart();
    const std::lock_guard<std::mutex> held(lock_);
    int length = ConvertLogText(message, conversionBuffer);
    if (length < 0)
        return;
    FNLog::LogRecord* record = logger_.OpenRecord(kLogChannel, priority);
    if (record == nullptr)
        return;
    FNLog::Logger::Append(record, std::string_view(conversionBuffer.data(), static_cast<size_t>(length)));
    if (errorCode != nullptr) {
        FNLog::Logger::Append(record, ", ERROR:");
        FNLog::Logger::AppendNumber(record, *errorCode);
    }
    FNLog::Logger::Append(record, ", LINE:");
    FNLog::Logger::AppendNumber(record, line);
    logger_.SubmitRecord(record);
}

int CLogDriver::StartLogEngine()
{
    int ret = FNLog::ParseAndStartLogger(FNLog::DefaultConfigText());
    if (ret != FNLog::E_SUCCESS)
        std::printf("fast start default logger error. ret:<%d>.\n", ret);
    return ret;
}

void CLogDriver::StartLogEngineInBackground()
{
    BackgroundStart& start = TheBackgroundStart();
    const std::lock_guard<std::mutex> lock(start.mutex);
    if (start.pending.load())
        return;
    try {
        start.thread = std::thread([] { StartLogEngine(); });
        start.pending.store(true);
    } catch (const std::system_error&) {
        StartLogEngine();  // no thread to spare: start here and now
    }
}

void CLogDriver::AwaitBackgroundStart()
{
    BackgroundStart& start = TheBackgroundStart();
    if (!start.pending.load())
        return;
    const std::lock_guard<std::mutex> lock(start.mutex);
    if (start.thread.joinable())
        start.thread.join();
    start.pending.store(false);
}

void CLogDriver::StopLogEngine()
{
    AwaitBackgroundStart();
    if (FNLog::DefaultLogger().state() == FNLog::LOGGER_STATE_RUNNING)
        FNLog::StopLogger();
}
