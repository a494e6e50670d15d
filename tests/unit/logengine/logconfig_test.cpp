#include <gtest/gtest.h>

#include <string>

#include "logengine/defaultconfig.h"
#include "logengine/logconfig.h"

using namespace FNLog;

namespace {

ParseResult Parse(const std::string& text, LoggerConfig& config)
{
    return ParseLogger(text, config);
}

int CodeOf(const std::string& text, int* line = nullptr)
{
    LoggerConfig config;
    ParseResult r = ParseLogger(text, config);
    if (line != nullptr)
        *line = r.line;
    return r.code;
}

const char* kOneDevice = " - channel: 0\n"
                         "    sync: async\n"
                         "    -device: 0\n"
                         "        disable: false\n"
                         "        out_type: file\n";

}  // namespace

TEST(DefaultConfig, TextIsTheEmbeddedBytes)
{
    std::string_view text = DefaultConfigText();
    EXPECT_EQ(text.size(), 1344u);
    EXPECT_EQ(text.front(), '\n');
    EXPECT_EQ(text.back(), '\n');
    EXPECT_NE(text.find("\n   # write full log to pname.log \n"), std::string_view::npos);
    EXPECT_NE(text.find("\n        priority: info \n"), std::string_view::npos);
}

TEST(DefaultConfig, ParsesIntoTheEffectiveTable)
{
    LoggerConfig config;
    ParseResult r = ParseLogger(DefaultConfigText(), config);
    ASSERT_EQ(r.code, E_SUCCESS);
    ASSERT_EQ(config.channelCount, 2);

    struct Row {
        int channel, mode, device, kind;
        bool enabled;
        int priority;
        const char* path;
        const char* file;
        int64_t limit;
        int rollback;
        bool stuffUp;
    };
    const Row rows[] = {
        {0, CHANNEL_ASYNC, 0, DEVICE_FILE, true, PRIORITY_TRACE, "./datadb/log/", "$YEAR$MON$DAY", 100000000, 4, true},
        {0, CHANNEL_ASYNC, 1, DEVICE_FILE, true, PRIORITY_ERROR, "./datadb/log/", "$YEAR$MON$DAY_error", 100000000, 4,
         true},
        {0, CHANNEL_ASYNC, 2, DEVICE_SCREEN, false, PRIORITY_INFO, "", "", 0, 0, false},
        {1, CHANNEL_SYNC, 0, DEVICE_FILE, true, PRIORITY_TRACE, "./datadb/log/", "$HOUR$MIN$SEC_sync", 100000000, 4,
         false},
        {1, CHANNEL_SYNC, 1, DEVICE_FILE, true, PRIORITY_INFO, "./datadb/log/", "$HOUR$MIN$SEC_sync_info", 100000000, 4,
         false},
        {1, CHANNEL_SYNC, 2, DEVICE_SCREEN, false, PRIORITY_INFO, "", "", 0, 0, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("channel " + std::to_string(row.channel) + " device " + std::to_string(row.device));
        const ChannelConfig& ch = config.channels[row.channel];
        EXPECT_EQ(ch.index, row.channel);
        EXPECT_EQ(ch.mode, row.mode);
        EXPECT_EQ(ch.priority, PRIORITY_TRACE);
        ASSERT_EQ(ch.deviceCount, 3);
        const DeviceConfig& d = ch.devices[row.device];
        EXPECT_EQ(d.index, row.device);
        EXPECT_EQ(d.kind, row.kind);
        EXPECT_EQ(d.enabled, row.enabled);
        EXPECT_EQ(d.priority, row.priority);
        EXPECT_EQ(d.path, row.path);
        EXPECT_EQ(d.file, row.file);
        EXPECT_EQ(d.limitSize, row.limit);
        EXPECT_EQ(d.rollback, row.rollback);
        EXPECT_EQ(d.stuffUp, row.stuffUp);
        EXPECT_FALSE(d.rollByDay);
        EXPECT_FALSE(d.rollByHour);
    }
}

TEST(ParseLogger, FailuresReportCodeAndLine)
{
    struct Case {
        const char* name;
        std::string text;
        int code;
        int line;
    };
    std::string channel0 = " - channel: 0\n";
    std::string twentyOne = channel0;
    for (int i = 0; i <= 20; ++i)
        twentyOne += "    -device: " + std::to_string(i) + "\n        disable: false\n";
    const Case cases[] = {
        {"capital key", "# c\n - Channel: 0\n", E_UNKNOWN_KEY, 2},
        {"digit key", " - 0channel: 0\n", E_UNKNOWN_KEY, 1},
        {"no colon", "\n - channel 0\n", E_UNSUPPORT_SYNTAX, 2},
        {"unknown word", channel0 + "    zone: 1\n", E_UNKNOWN_KEY, 2},
        {"define-like key", channel0 + "    define: 1\n", E_UNKNOWN_KEY, 2},
        {"second channel numbered 2", channel0 + " - channel: 2\n", E_CHANNEL_NOT_SEQUENCE, 2},
        {"first channel numbered 1", " - channel: 1\n", E_CHANNEL_NOT_SEQUENCE, 1},
        {"third channel", channel0 + " - channel: 1\n - channel: 2\n", E_INVALID_CHANNEL_SIZE, 3},
        {"device out of order", channel0 + "    -device: 1\n", E_DEVICE_NOT_SEQUENCE, 2},
        {"21st device", twentyOne, E_OUT_OF_DEVICE_SIZE, 42},
        {"quoted path with #", channel0 + "    -device: 0\n        path: \"./a#b/\"\n", E_NOT_CLOSURE_LINE, 3},
        {"quote open at line end", channel0 + "    -device: 0\n        path: \"./a\n\"\n", E_NOT_CLOSURE_LINE, 3},
        {"bracket open at text end", channel0 + "    -device: 0\n        file: [abc", E_NOT_CLOSURE_LINE, 3},
        {"device key at channel level", channel0 + "    path: \"x\"\n", E_UNDEFINED_CHANNEL_KEY, 2},
        {"channel key in a device", channel0 + "    -device: 0\n        channel: 1\n", E_UNDEFINED_DEVICE_KEY, 3},
        {"sync at top level", "sync: sync\n", E_UNDEFINED_TOP_KEY, 1},
        {"device at top level", channel0 + "device: 0\n", E_UNDEFINED_TOP_KEY, 2},
        {"unknown out_type", channel0 + "    -device: 0\n        out_type: disk\n", E_UNDEFINED_OUT_TYPE, 3},
        {"empty out_type", channel0 + "    -device: 0\n        out_type:\n", E_UNDEFINED_OUT_TYPE, 3},
        {"CR LF counts one line end", " - channel: 0\r\n    sync: async\r\n    Bad: 1\r\n", E_UNKNOWN_KEY, 3},
        {"LF CR counts one line end", " - channel: 0\n\r    Bad: 1\n\r", E_UNKNOWN_KEY, 2},
        {"lone CR ends a line", " - channel: 0\r\r    Bad: 1\r", E_UNKNOWN_KEY, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int line = 0;
        EXPECT_EQ(CodeOf(c.text, &line), c.code);
        EXPECT_EQ(line, c.line);
    }
}

TEST(ParseLogger, TextWithoutChannelIsInvalidChannelSize)
{
    EXPECT_EQ(CodeOf(""), E_INVALID_CHANNEL_SIZE);
    EXPECT_EQ(CodeOf("\n  # only a comment\n\t\n"), E_INVALID_CHANNEL_SIZE);
    EXPECT_EQ(CodeOf(std::string("\0 - channel: 0\n", 15)), E_INVALID_CHANNEL_SIZE);
}

TEST(ParseLogger, NotationVariantsReadAlike)
{
    LoggerConfig plain, packed, bom;
    std::string text = std::string(kOneDevice) + "    -device: 1\n        disable: false\n";
    std::string nospace = std::string(kOneDevice) + "    -device:1\n        disable: false\n";
    ASSERT_EQ(Parse(text, plain).code, E_SUCCESS);
    ASSERT_EQ(Parse(nospace, packed).code, E_SUCCESS);
    ASSERT_EQ(Parse("\xEF\xBB\xBF" + text, bom).code, E_SUCCESS);
    for (const LoggerConfig* c : {&packed, &bom}) {
        ASSERT_EQ(c->channels[0].deviceCount, 2);
        EXPECT_TRUE(c->channels[0].devices[1].enabled);
        EXPECT_EQ(c->channels[0].devices[0].kind, DEVICE_FILE);
    }

    // Text after a NUL is not read.
    LoggerConfig cut;
    std::string withNul = std::string(kOneDevice) + std::string("\0 - channel: 1\n", 15);
    ASSERT_EQ(Parse(withNul, cut).code, E_SUCCESS);
    EXPECT_EQ(cut.channelCount, 1);
}

TEST(ParseLogger, DeviceValues)
{
    auto device = [](const std::string& lines, DeviceConfig& out) {
        LoggerConfig config;
        ParseResult r = ParseLogger(" - channel: 0\n    -device: 0\n" + lines, config);
        out = config.channels[0].devices[0];
        return r.code;
    };
    DeviceConfig d;
    ASSERT_EQ(device("        out_type: file\n", d), E_SUCCESS);
    EXPECT_FALSE(d.enabled) << "a device block without disable stays disabled";
    ASSERT_EQ(device("        disable:\n", d), E_SUCCESS);
    EXPECT_TRUE(d.enabled);
    ASSERT_EQ(device("        disable: 0\n", d), E_SUCCESS);
    EXPECT_TRUE(d.enabled);
    ASSERT_EQ(device("        disable: yes\n", d), E_SUCCESS);
    EXPECT_FALSE(d.enabled);

    ASSERT_EQ(device("        limit_size: 3\n", d), E_SUCCESS);
    EXPECT_EQ(d.limitSize, 3000000);
    ASSERT_EQ(device("        limit_size: 3m\n", d), E_SUCCESS);
    EXPECT_EQ(d.limitSize, 3000000);
    ASSERT_EQ(device("        limit_size: 99999999999999999999 m\n", d), E_SUCCESS);
    EXPECT_GT(d.limitSize, 0) << "an overlong number must not wrap to a negative size";
    ASSERT_EQ(device("        rollback: x\n", d), E_SUCCESS);
    EXPECT_EQ(d.rollback, 0);
    ASSERT_EQ(device("        rollback: -2\n", d), E_SUCCESS);
    EXPECT_EQ(d.rollback, -2);

    ASSERT_EQ(device("        stuff_up: False\n", d), E_SUCCESS);
    EXPECT_FALSE(d.stuffUp);
    ASSERT_EQ(device("        stuff_up: on\n", d), E_SUCCESS);
    EXPECT_TRUE(d.stuffUp);

    const std::pair<const char*, int> priorities[] = {{"debug", PRIORITY_DEBUG}, {"Info", PRIORITY_INFO},
                                                      {"WARN", PRIORITY_WARN},   {"error", PRIORITY_ERROR},
                                                      {"alarm", PRIORITY_ALARM}, {"Fatal", PRIORITY_FATAL},
                                                      {"trace", PRIORITY_TRACE}, {"", PRIORITY_TRACE},
                                                      {"xyz", PRIORITY_TRACE}};
    for (const auto& [value, priority] : priorities) {
        ASSERT_EQ(device(std::string("        priority: ") + value + "\n", d), E_SUCCESS);
        EXPECT_EQ(d.priority, priority) << value;
    }

    std::string f48(48, 'f'), f49(49, 'g'), p198(198, 'p'), p199(199, 'q');
    ASSERT_EQ(device("        file: " + f48 + "\n        path: \"" + p198 + "\"\n", d), E_SUCCESS);
    EXPECT_EQ(d.file, f48);
    EXPECT_EQ(d.path, p198);
    ASSERT_EQ(device("        file: \"" + f49 + "\"\n        path: " + p199 + "\n", d), E_SUCCESS);
    EXPECT_EQ(d.file, "") << "a 49-character name is ignored";
    EXPECT_EQ(d.path, "");
    ASSERT_EQ(device("        file: abc\n        file: " + f49 + "\n", d), E_SUCCESS);
    EXPECT_EQ(d.file, "abc") << "an ignored value keeps the earlier one";

    ASSERT_EQ(device("        path: [a b]  # note\n        file: {x}\n", d), E_SUCCESS);
    EXPECT_EQ(d.path, "a b");
    EXPECT_EQ(d.file, "x");
    ASSERT_EQ(device("        file: name with blank   # note\n", d), E_SUCCESS);
    EXPECT_EQ(d.file, "name with blank");
}

TEST(ParseLogger, ChannelValues)
{
    LoggerConfig config;
    std::string text = " - channel: 0\n    sync: Sync\n    priority: warn\n - channel: 1\n    sync: s\n";
    ASSERT_EQ(Parse(text, config).code, E_SUCCESS);
    EXPECT_EQ(config.channels[0].mode, CHANNEL_ASYNC) << "only a lowercase s selects sync";
    EXPECT_EQ(config.channels[0].priority, PRIORITY_WARN);
    EXPECT_EQ(config.channels[1].mode, CHANNEL_SYNC);
    EXPECT_EQ(config.channels[1].deviceCount, 0);
}

TEST(ParseErrorReport, ShowsCodeTextLineAndRestOfText)
{
    std::string text = " - channel: 0\n    zone: 1\n    more\n";
    LoggerConfig config;
    ParseResult r = ParseLogger(text, config);
    EXPECT_EQ(ParseErrorReport(r, text),
              "ParseLogger has error:<23 unknown key> in line:[2]  before:\n    zone: 1\n    more\n");

    ParseResult none = ParseLogger("", config);
    EXPECT_EQ(ParseErrorReport(none, ""), "ParseLogger has error:<5 invalid channel size> in line:[0] ");
}

TEST(ParseErrorReport, StopsAtFirstLineEndFrom380CharactersOn)
{
    std::string bad = "Bad: 1\n";
    std::string filler;
    while (filler.size() < 400)
        filler += "# " + std::string(40, 'x') + "\n";
    std::string text = bad + filler + "tail\n";
    LoggerConfig config;
    ParseResult r = ParseLogger(text, config);
    ASSERT_EQ(r.code, E_UNKNOWN_KEY);
    std::string report = ParseErrorReport(r, text);
    size_t body = report.find("before:\n") + 8;
    std::string shown = report.substr(body);
    size_t expectedEnd = text.find('\n', 380);
    EXPECT_EQ(shown, text.substr(0, expectedEnd));
}
