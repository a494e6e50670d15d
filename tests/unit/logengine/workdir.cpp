#include "workdir.h"

#include "logengine/logtime.h"

namespace logtest {

WorkDir::WorkDir() : previous_(std::filesystem::current_path()), temp_(std::make_unique<testsupport::TempDir>())
{
    std::filesystem::current_path(temp_->path());
}

WorkDir::~WorkDir()
{
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
    temp_.reset();
}

std::tm LocalTm(int year, int mon, int day, int hour, int min, int sec)
{
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = mon - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = min;
    tm.tm_sec = sec;
    tm.tm_isdst = -1;
    return tm;
}

int64_t LocalSeconds(int year, int mon, int day, int hour, int min, int sec)
{
    return FNLog::FromLocalTime(LocalTm(year, mon, day, hour, min, sec));
}

}  // namespace logtest
