#include "logengine/logtime.h"

#include <chrono>
#include <cstring>

namespace FNLog {

LogTime SystemNow()
{
    using namespace std::chrono;
    int64_t ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    int64_t sec = ms / 1000;
    int rest = static_cast<int>(ms % 1000);
    if (rest < 0) {
        rest += 1000;
        --sec;
    }
    return LogTime{sec, rest};
}

bool ToLocalTime(int64_t sec, std::tm& out)
{
    std::time_t t = static_cast<std::time_t>(sec);
#ifdef _WIN32
    return localtime_s(&out, &t) == 0;
#else
    return localtime_r(&t, &out) != nullptr;
#endif
}

int64_t FromLocalTime(std::tm local)
{
    local.tm_isdst = -1;
    return static_cast<int64_t>(std::mktime(&local));
}

namespace {

// Writes `value` as exactly `width` digits (value must fit).
char* PutDigits(char* p, int value, int width)
{
    for (int i = width - 1; i >= 0; --i) {
        p[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return p + width;
}

// The local hour a thread stamped last. The hour, not the day, is cached: a day with a
// daylight-saving change is not 24 hours long, and counting hours from midnight would
// give that day's late stamps the wrong hour or carry them past midnight.
struct HourCache {
    int64_t hourStart = 0;
    bool valid = false;
    char head[12] = {};  // "[YYYYMMDD HH"
};

thread_local HourCache tlsHour;

bool RefreshHour(HourCache& cache, int64_t sec)
{
    std::tm tm{};
    if (!ToLocalTime(sec, tm))
        return false;
    int year = tm.tm_year + 1900;
    if (year < 0 || year > 9999)
        return false;
    char* p = cache.head;
    *p++ = '[';
    p = PutDigits(p, year, 4);
    p = PutDigits(p, tm.tm_mon + 1, 2);
    p = PutDigits(p, tm.tm_mday, 2);
    *p++ = ' ';
    PutDigits(p, tm.tm_hour, 2);
    cache.hourStart = sec - (tm.tm_min * 60 + tm.tm_sec);
    cache.valid = true;
    return true;
}

}  // namespace

int FormatTimePrefix(int64_t sec, int ms, char* out)
{
    HourCache& cache = tlsHour;
    if (!cache.valid || sec < cache.hourStart || sec - cache.hourStart >= 3600) {
        if (!RefreshHour(cache, sec)) {
            cache.valid = false;
            return 0;
        }
    }
    int s = static_cast<int>(sec - cache.hourStart);
    std::memcpy(out, cache.head, sizeof(cache.head));
    char* p = out + sizeof(cache.head);
    *p++ = ':';
    p = PutDigits(p, s / 60, 2);
    *p++ = ':';
    p = PutDigits(p, s % 60, 2);
    *p++ = '.';
    p = PutDigits(p, ms < 0 ? 0 : ms > 999 ? 999 : ms, 3);
    *p++ = ']';
    return static_cast<int>(p - out);
}

}  // namespace FNLog
