#include "syncfolderapp/logdriver.h"

#include <cstdio>
#include <string_view>

#include "logengine/defaultconfig.h"
#include "logengine/logger.h"

namespace {

constexpr int kLogChannel = 0;
constexpr size_t kInitialBuffer = 1024;

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

void CLogDriver::StopLogEngine()
{
    if (FNLog::DefaultLogger().state() == FNLog::LOGGER_STATE_RUNNING)
        FNLog::StopLogger();
}
