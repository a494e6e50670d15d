#include "logengine/logconfig.h"

#include <limits>

namespace FNLog {

const char* ErrorText(int code)
{
    switch (code) {
    case E_SUCCESS:
        return "success";
    case E_LOGGER_IN_USE:
        return "logger alread in use";
    case E_LOGGER_NOT_INIT:
        return "logger not init";
    case E_LOGGER_NOT_RUNNING:
        return "logger not running";
    case E_INVALID_CONFIG_PATH:
        return "invalid config path";
    case E_INVALID_CHANNEL_SIZE:
        return "invalid channel size";
    case E_INVALID_CHANNEL_SYNC:
        return "invalid channel sync";
    case E_INVALID_CHANNEL_STATE:
        return "invalid channel state";
    case E_CHANNEL_THREAD_FAILED:
        return "create thread faield";
    case E_CHANNEL_NOT_SEQUENCE:
        return "channel index need sequence.";
    case E_OUT_OF_DEVICE_SIZE:
        return "out of device size(20)";
    case E_DEVICE_NOT_SEQUENCE:
        return "device index need sequence.";
    case E_SHMGET_PROBE_ERROR:
    case E_SHMGET_CREATE_ERROR:
    case E_SHMAT_ERROR:
    case E_SHM_VERSION_WRONG:
    case E_VERSION_MISMATCH:
        return "shm error";
    case E_VERSION_WARN_BEGIN:
    case E_VERSION_WARN_1:
    case E_VERSION_WARN_2:
    case E_INVALID_RECORD:
        return "some warn";
    case E_SYNTAX_ERROR:
        return "syntax error";
    case E_UNSUPPORT_SYNTAX:
        return "unsupport syntax";
    case E_UNKNOWN_KEY:
        return "unknown key";
    case E_NAME_OR_KEY_INVALID:
        return "name or key invalid";
    case E_NOT_CLOSURE_LINE:
        return "not closure line ";
    case E_UDP_ADDR_ERROR:
    case E_UDP_ADDR_ERROR_2:
        return "udp addr error";
    case E_MACRO_NAME_TOO_SHORT:
        return "var/macro name len must longger than/equal new name.";
    case E_UNDEFINED_DEVICE_KEY:
    case E_UNDEFINED_OUT_TYPE:
    case E_UNDEFINED_CHANNEL_KEY:
    case E_UNDEFINED_TOP_KEY:
        return "undefined type";
    default:
        return "unknown error.";
    }
}

namespace {

enum Key {
    KEY_CHANNEL,
    KEY_SYNC,
    KEY_DEVICE,
    KEY_DISABLE,
    KEY_OUT_TYPE,
    KEY_PRIORITY,
    KEY_PATH,
    KEY_FILE,
    KEY_STUFF_UP,
    KEY_ROLLBACK,
    KEY_ROLL_DAY,
    KEY_ROLL_HOUR,
    KEY_LIMIT_SIZE,
    KEY_UNKNOWN,
};

// One meaningful line: indentation, key and value (quotes and brackets removed).
struct Line {
    int number = 0;
    size_t offset = 0;
    int indent = 0;
    std::string_view key;
    std::string_view value;
};

bool IsIndentBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}
bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}
bool IsLineEnd(char c)
{
    return c == '\n' || c == '\r';
}
bool IsLower(char c)
{
    return c >= 'a' && c <= 'z';
}
bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool IsKeyChar(char c)
{
    return IsLower(c) || IsDigit(c) || c == '_';
}

char At(std::string_view s, size_t i)
{
    return i < s.size() ? s[i] : '\0';
}

// Walks the text line by line. The text has already been cut at its first NUL.
class LineReader {
public:
    LineReader(std::string_view text, size_t start) : text_(text), pos_(start) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    int lineNumber() const { return lineNumber_; }
    size_t lineOffset() const { return lineOffset_; }

    // Reads the next line that holds a key. Returns false at the end of the text (code 0)
    // or on a malformed line (code set, line number and offset of that line kept).
    bool Next(Line& line, int& code)
    {
        code = E_SUCCESS;
        while (!AtEnd()) {
            lineOffset_ = pos_;
            ++lineNumber_;
            bool meaningful = false;
            code = ReadLine(line, meaningful);
            if (code != E_SUCCESS)
                return false;
            SkipLineEnd();
            if (meaningful)
                return true;
        }
        return false;
    }

private:
    int ReadLine(Line& line, bool& meaningful)
    {
        line = Line{};
        line.number = lineNumber_;
        line.offset = lineOffset_;
        int indent = 0;
        while (!AtEnd() && IsIndentBlank(text_[pos_])) {
            ++indent;
            ++pos_;
        }
        if (!AtEnd() && text_[pos_] == '-') {
            ++pos_;
            while (!AtEnd() && IsIndentBlank(text_[pos_]))
                ++pos_;
        }
        line.indent = indent;
        char c = At(text_, pos_);
        if (AtEnd() || IsLineEnd(c) || c == '#') {
            SkipToLineEnd();
            return E_SUCCESS;
        }
        if (!IsLower(c))
            return E_UNKNOWN_KEY;
        size_t keyStart = pos_;
        while (!AtEnd() && IsKeyChar(text_[pos_]))
            ++pos_;
        line.key = text_.substr(keyStart, pos_ - keyStart);
        while (!AtEnd() && IsBlank(text_[pos_]))
            ++pos_;
        if (At(text_, pos_) != ':' || AtEnd())
            return E_UNSUPPORT_SYNTAX;
        ++pos_;
        while (!AtEnd() && IsBlank(text_[pos_]))
            ++pos_;
        int code = ReadValue(line.value);
        if (code != E_SUCCESS)
            return code;
        SkipToLineEnd();
        meaningful = true;
        return E_SUCCESS;
    }

    int ReadValue(std::string_view& value)
    {
        char open = At(text_, pos_);
        char close = open == '"' ? '"' : open == '[' ? ']' : open == '{' ? '}' : '\0';
        if (AtEnd())
            close = '\0';
        if (close != '\0') {
            ++pos_;
            size_t start = pos_;
            while (!AtEnd() && text_[pos_] != close) {
                char c = text_[pos_];
                if (IsLineEnd(c) || c == '#')
                    return E_NOT_CLOSURE_LINE;
                ++pos_;
            }
            if (AtEnd())
                return E_NOT_CLOSURE_LINE;
            value = text_.substr(start, pos_ - start);
            ++pos_;
            return E_SUCCESS;
        }
        size_t start = pos_;
        while (!AtEnd() && !IsLineEnd(text_[pos_]) && text_[pos_] != '#')
            ++pos_;
        size_t end = pos_;
        while (end > start && IsIndentBlank(text_[end - 1]))
            --end;
        value = text_.substr(start, end - start);
        return E_SUCCESS;
    }

    void SkipToLineEnd()
    {
        while (!AtEnd() && !IsLineEnd(text_[pos_]))
            ++pos_;
    }

    // A line ends at LF or CR; a CR LF or LF CR pair is one line end.
    void SkipLineEnd()
    {
        if (AtEnd())
            return;
        char c = text_[pos_++];
        if (!AtEnd()) {
            char d = text_[pos_];
            if ((c == '\r' && d == '\n') || (c == '\n' && d == '\r'))
                ++pos_;
        }
    }

    std::string_view text_;
    size_t pos_;
    int lineNumber_ = 0;
    size_t lineOffset_ = 0;
};

Key ClassifyKey(std::string_view key)
{
    char a = At(key, 0);
    char b = At(key, 1);
    switch (a) {
    case 'c':
        return b == 'h' ? KEY_CHANNEL : KEY_UNKNOWN;
    case 's':
        if (b == 'y')
            return KEY_SYNC;
        if (b == 't')
            return KEY_STUFF_UP;
        return KEY_UNKNOWN;
    case 'd':
        if (At(key, 2) == 'f')
            return KEY_UNKNOWN;
        if (b == 'e')
            return KEY_DEVICE;
        if (b == 'i')
            return KEY_DISABLE;
        return KEY_UNKNOWN;
    case 'o':
        return KEY_OUT_TYPE;
    case 'p':
        if (b == 'r')
            return KEY_PRIORITY;
        if (b == 'a')
            return KEY_PATH;
        return KEY_UNKNOWN;
    case 'f':
        return KEY_FILE;
    case 'r':
        switch (At(key, 4)) {
        case 'b':
            return KEY_ROLLBACK;
        case 'd':
            return KEY_ROLL_DAY;
        case 'h':
            return KEY_ROLL_HOUR;
        default:
            return KEY_UNKNOWN;
        }
    case 'l':
        return b == 'i' ? KEY_LIMIT_SIZE : KEY_UNKNOWN;
    default:
        return KEY_UNKNOWN;
    }
}

// Leading decimal number with an optional sign; no digits give 0. Saturates instead of
// overflowing.
int64_t ReadNumber(std::string_view v)
{
    size_t i = 0;
    bool negative = false;
    if (At(v, 0) == '-' || At(v, 0) == '+') {
        negative = v[0] == '-';
        i = 1;
    }
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    int64_t n = 0;
    for (; i < v.size() && IsDigit(v[i]); ++i) {
        int digit = v[i] - '0';
        n = n > (kMax - digit) / 10 ? kMax : n * 10 + digit;
    }
    return negative ? -n : n;
}

int ReadInt(std::string_view v)
{
    int64_t n = ReadNumber(v);
    if (n > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (n < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(n);
}

bool ReadBool(std::string_view v)
{
    char c = At(v, 0);
    return !(v.empty() || c == '0' || c == 'F' || c == 'f');
}

int ReadPriority(std::string_view v)
{
    switch (At(v, 0)) {
    case 'd':
    case 'D':
        return PRIORITY_DEBUG;
    case 'i':
    case 'I':
        return PRIORITY_INFO;
    case 'w':
    case 'W':
        return PRIORITY_WARN;
    case 'e':
    case 'E':
        return PRIORITY_ERROR;
    case 'a':
    case 'A':
        return PRIORITY_ALARM;
    case 'f':
    case 'F':
        return PRIORITY_FATAL;
    default:
        return PRIORITY_TRACE;
    }
}

int ReadDeviceKind(std::string_view v)
{
    switch (At(v, 0)) {
    case 's':
    case 'S':
        return DEVICE_SCREEN;
    case 'f':
    case 'F':
        return DEVICE_FILE;
    case 'e':
    case 'E':
        return DEVICE_EMPTY;
    case 'u':
    case 'U':
        return DEVICE_UDP;
    case 'v':
    case 'V':
        return DEVICE_VIRTUAL;
    default:
        return -1;
    }
}

int64_t ReadLimitSize(std::string_view v)
{
    constexpr int64_t kMega = 1000 * 1000;
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    int64_t n = ReadNumber(v);
    if (n > kMax / kMega)
        return kMax;
    if (n < -(kMax / kMega))
        return -kMax;
    return n * kMega;
}

int ApplyDeviceKey(Key key, std::string_view value, DeviceConfig& device)
{
    switch (key) {
    case KEY_DISABLE:
        device.enabled = !ReadBool(value);
        return E_SUCCESS;
    case KEY_OUT_TYPE: {
        int kind = ReadDeviceKind(value);
        if (kind < 0)
            return E_UNDEFINED_OUT_TYPE;
        device.kind = kind;
        return E_SUCCESS;
    }
    case KEY_PRIORITY:
        device.priority = ReadPriority(value);
        return E_SUCCESS;
    case KEY_PATH:
        if (!value.empty() && value.size() <= static_cast<size_t>(kMaxPathLength))
            device.path.assign(value);
        return E_SUCCESS;
    case KEY_FILE:
        if (!value.empty() && value.size() <= static_cast<size_t>(kMaxFileLength))
            device.file.assign(value);
        return E_SUCCESS;
    case KEY_LIMIT_SIZE:
        device.limitSize = ReadLimitSize(value);
        return E_SUCCESS;
    case KEY_ROLLBACK:
        device.rollback = ReadInt(value);
        return E_SUCCESS;
    case KEY_STUFF_UP:
        device.stuffUp = ReadBool(value);
        return E_SUCCESS;
    case KEY_ROLL_DAY:
        device.rollByDay = ReadBool(value);
        return E_SUCCESS;
    case KEY_ROLL_HOUR:
        device.rollByHour = ReadBool(value);
        return E_SUCCESS;
    default:
        return E_UNDEFINED_DEVICE_KEY;
    }
}

}  // namespace

ParseResult ParseLogger(std::string_view text, LoggerConfig& config)
{
    config = LoggerConfig{};
    ParseResult result;
    size_t nul = text.find('\0');
    if (nul != std::string_view::npos)
        text = text.substr(0, nul);
    size_t start = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;

    LineReader reader(text, start);
    ChannelConfig* channel = nullptr;
    DeviceConfig* device = nullptr;
    int channelIndent = 0;
    int deviceIndent = 0;

    auto fail = [&](int code, const Line& line) {
        result.code = code;
        result.line = line.number;
        result.lineOffset = line.offset;
        return result;
    };

    Line line;
    int code = E_SUCCESS;
    while (reader.Next(line, code)) {
        Key key = ClassifyKey(line.key);
        if (key == KEY_UNKNOWN)
            return fail(E_UNKNOWN_KEY, line);
        if (device != nullptr && line.indent > deviceIndent) {
            code = ApplyDeviceKey(key, line.value, *device);
            if (code != E_SUCCESS)
                return fail(code, line);
            continue;
        }
        device = nullptr;
        if (channel != nullptr && line.indent > channelIndent) {
            switch (key) {
            case KEY_SYNC:
                channel->mode = At(line.value, 0) == 's' ? CHANNEL_SYNC : CHANNEL_ASYNC;
                break;
            case KEY_PRIORITY:
                channel->priority = ReadPriority(line.value);
                break;
            case KEY_DEVICE: {
                if (channel->deviceCount >= kMaxDevices)
                    return fail(E_OUT_OF_DEVICE_SIZE, line);
                if (ReadNumber(line.value) != channel->deviceCount)
                    return fail(E_DEVICE_NOT_SEQUENCE, line);
                device = &channel->devices[channel->deviceCount];
                *device = DeviceConfig{};
                device->index = channel->deviceCount++;
                deviceIndent = line.indent;
                break;
            }
            default:
                return fail(E_UNDEFINED_CHANNEL_KEY, line);
            }
            continue;
        }
        channel = nullptr;
        if (key != KEY_CHANNEL)
            return fail(E_UNDEFINED_TOP_KEY, line);
        if (config.channelCount >= kMaxChannels)
            return fail(E_INVALID_CHANNEL_SIZE, line);
        if (ReadNumber(line.value) != config.channelCount)
            return fail(E_CHANNEL_NOT_SEQUENCE, line);
        channel = &config.channels[config.channelCount];
        *channel = ChannelConfig{};
        channel->index = config.channelCount++;
        channelIndent = line.indent;
    }
    if (code != E_SUCCESS) {
        result.code = code;
        result.line = reader.lineNumber();
        result.lineOffset = reader.lineOffset();
        return result;
    }
    result.line = reader.lineNumber();
    if (config.channelCount == 0)
        result.code = E_INVALID_CHANNEL_SIZE;
    return result;
}

std::string ParseErrorReport(const ParseResult& result, std::string_view text)
{
    std::string report = "ParseLogger has error:<" + std::to_string(result.code) + " " + ErrorText(result.code) +
                         "> in line:[" + std::to_string(result.line) + "] ";
    if (result.lineOffset == std::string_view::npos || result.lineOffset > text.size())
        return report;
    report += " before:\n";
    std::string_view rest = text.substr(result.lineOffset);
    size_t end = rest.find('\0');
    size_t lf = rest.find('\n', 380);
    if (lf < end)
        end = lf;
    report.append(rest.substr(0, end));
    return report;
}

}  // namespace FNLog
