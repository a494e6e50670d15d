#include "logengine/filedevice.h"

#include <cstring>
#include <vector>

#include "logengine/logtime.h"
#include "logengine/platform.h"

namespace FNLog {

namespace {

constexpr size_t kFileBufferSize = 64 * 1024;

std::string TwoDigits(int value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof(buffer), "%02d", value);
    return buffer;
}

// The replacement of the macro starting at text[pos] (a dollar sign), and its length;
// length 0 when no macro starts there.
size_t MatchMacro(std::string_view text, size_t pos, const std::tm& local, std::string& value)
{
    std::string_view rest = text.substr(pos + 1);
    char buffer[32];
    auto starts = [&](std::string_view name) { return rest.substr(0, name.size()) == name; };
    if (starts("YEAR")) {
        std::snprintf(buffer, sizeof(buffer), "%04d", local.tm_year + 1900);
        value = buffer;
        return 5;
    }
    if (starts("MON")) {
        value = TwoDigits(local.tm_mon + 1);
        return 4;
    }
    if (starts("DAY")) {
        value = TwoDigits(local.tm_mday);
        return 4;
    }
    if (starts("HOUR")) {
        value = TwoDigits(local.tm_hour);
        return 5;
    }
    if (starts("MIN")) {
        value = TwoDigits(local.tm_min);
        return 4;
    }
    if (starts("SEC")) {
        value = TwoDigits(local.tm_sec);
        return 4;
    }
    if (starts("PNAME")) {
        value = platform::ProcessName();
        return 6;
    }
    if (starts("PID")) {
        std::snprintf(buffer, sizeof(buffer), "%06u", platform::ProcessId());
        value = buffer;
        return 4;
    }
    return 0;
}

// The name with which `path` is rolled one step further: a trailing ".<digits>" is
// replaced, anything else gets ".<depth>" appended.
std::string NextRollName(const std::string& path, int depth)
{
    size_t last = path.find_last_not_of("0123456789");
    std::string next = (last != std::string::npos && path[last] == '.') ? path.substr(0, last) : path;
    return next + "." + std::to_string(depth);
}

}  // namespace

std::string ExpandMacros(std::string_view pattern, const std::tm& local)
{
    std::string text;
    text.reserve(pattern.size() + 32);
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 'F') {
            text += "$YEAR-$MON-$DAY";
            ++i;
        } else {
            text += pattern[i];
        }
    }
    size_t pos = 0;
    std::string value;
    while ((pos = text.find('$', pos)) != std::string::npos) {
        size_t length = MatchMacro(text, pos, local, value);
        if (length == 0) {
            ++pos;
            continue;
        }
        text.replace(pos, length, value);
        pos += value.size();
    }
    return text;
}

void RollOver(const std::string& path, int maxDepth)
{
    // Walk up the chain to the first name that does not exist (deleting the file past
    // the limit), then rename from the top down so that no rename lands on a file.
    struct Step {
        std::string from, to;
    };
    std::vector<Step> steps;
    std::string current = path;
    for (int depth = 1; platform::FileExists(current); ++depth) {
        if (depth > maxDepth) {
            std::remove(current.c_str());
            break;
        }
        std::string next = NextRollName(current, depth);
        steps.push_back({current, next});
        current = std::move(next);
    }
    for (auto it = steps.rbegin(); it != steps.rend(); ++it)
        std::rename(it->from.c_str(), it->to.c_str());
}

void CreateDirectories(const std::string& dir)
{
    for (size_t slash = dir.find('/'); slash != std::string::npos; slash = dir.find('/', slash + 1)) {
        std::string part = dir.substr(0, slash);
        if (part.empty() || platform::IsDirectory(part))
            continue;
        if (!platform::MakeDirectory(part))
            return;
    }
}

void FileDevice::Write(const DeviceConfig& config, int channel, int64_t timestamp, const char* text, size_t length)
{
    // A failed open is retried only for records stamped five seconds or more after it.
    // A record stamped before the failure (the clock was set back) may retry at once,
    // otherwise a clock set back by hours would silence the device for those hours.
    if (file_ == nullptr && lastFailureReason_ != OPEN_OK && timestamp >= lastFailureTime_ &&
        timestamp < lastFailureTime_ + kRetryOpenSeconds)
        return;

    bool sizeRoll = false;
    if (config.limitSize > 0 && config.rollback > 0 && currentSize_ + static_cast<int64_t>(length) > config.limitSize) {
        sizeRoll = true;
        Close();
        currentSize_ = 0;
    } else if (config.rollByDay) {
        if (timestamp < dayStart_ || timestamp - dayStart_ >= 86400) {
            Close();
            currentSize_ = 0;
        }
    } else if (config.rollByHour) {
        if (timestamp < hourStart_ || timestamp - hourStart_ >= 3600) {
            Close();
            currentSize_ = 0;
        }
    }

    if (file_ == nullptr && !Open(config, channel, timestamp, sizeRoll))
        return;

    if (std::fwrite(text, 1, length, file_) < length)
        Close();
    currentSize_ += static_cast<int64_t>(length);
}

bool FileDevice::Open(const DeviceConfig& config, int channel, int64_t timestamp, bool sizeRoll)
{
    std::tm local{};
    if (!ToLocalTime(timestamp, local)) {
        Fail(OPEN_FAILED, timestamp);
        return false;
    }
    std::tm day = local;
    day.tm_hour = day.tm_min = day.tm_sec = 0;
    std::tm hour = local;
    hour.tm_min = hour.tm_sec = 0;

    std::string name = config.file;
    if (name.empty())
        name = "$PNAME_$YEAR$MON$DAY_$PID." + std::to_string(channel) + std::to_string(config.index);
    name = ExpandMacros(name + ".log", local);

    std::string dir = ExpandMacros(config.path, local);
    if (!dir.empty()) {
        for (char& c : dir) {
            if (c == '\\')
                c = '/';
        }
        if (dir.back() != '/')
            dir += '/';
        if (!platform::IsDirectory(dir))
            CreateDirectories(dir);
    }

    std::string full = dir + name;
    if (full.size() >= static_cast<size_t>(kMaxFullPathLength)) {
        Fail(OPEN_PATH_TOO_LONG, timestamp);
        return false;
    }
    if ((config.rollback > 0 || config.limitSize > 0) && (!config.stuffUp || sizeRoll))
        RollOver(full, config.rollback > 0 ? config.rollback : 1);

    Close();
    std::FILE* file = std::fopen(full.c_str(), "ab");
    if (file != nullptr)
        std::setvbuf(file, nullptr, _IOFBF, kFileBufferSize);
    int64_t size = file != nullptr ? platform::FileSize(file) : -1;
    if (size < 0) {
        if (file != nullptr)
            std::fclose(file);
        Fail(OPEN_FAILED, timestamp);
        return false;
    }
    file_ = file;
    path_ = full;
    currentSize_ = size;
    lastFailureReason_ = OPEN_OK;
    lastFailureTime_ = 0;
    openTime_ = timestamp;
    dayStart_ = FromLocalTime(day);
    hourStart_ = FromLocalTime(hour);
    return true;
}

void FileDevice::Fail(int reason, int64_t timestamp)
{
    lastFailureReason_ = reason;
    lastFailureTime_ = timestamp;
}

void FileDevice::Flush()
{
    if (file_ != nullptr && std::fflush(file_) != 0)
        Close();
}

void FileDevice::Close()
{
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

void FileDevice::Reset()
{
    Close();
    path_.clear();
    currentSize_ = 0;
    openTime_ = dayStart_ = hourStart_ = 0;
    lastFailureTime_ = 0;
    lastFailureReason_ = OPEN_OK;
}

}  // namespace FNLog
