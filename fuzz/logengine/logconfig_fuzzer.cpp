// Feeds arbitrary text to the log configuration reader and checks what it promises
// about any configuration it accepts.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "logengine/logconfig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    static FNLog::LoggerConfig config;
    FNLog::ParseResult result = FNLog::ParseLogger(text, config);
    std::string report = FNLog::ParseErrorReport(result, text);
    if (report.empty())
        std::abort();
    if (result.code != FNLog::E_SUCCESS)
        return 0;
    if (config.channelCount < 1 || config.channelCount > FNLog::kMaxChannels)
        std::abort();
    for (int c = 0; c < config.channelCount; ++c) {
        const FNLog::ChannelConfig& channel = config.channels[c];
        if (channel.index != c || channel.deviceCount < 0 || channel.deviceCount > FNLog::kMaxDevices)
            std::abort();
        for (int d = 0; d < channel.deviceCount; ++d) {
            const FNLog::DeviceConfig& device = channel.devices[d];
            if (device.index != d || device.path.size() > FNLog::kMaxPathLength ||
                device.file.size() > FNLog::kMaxFileLength)
                std::abort();
        }
    }
    return 0;
}
