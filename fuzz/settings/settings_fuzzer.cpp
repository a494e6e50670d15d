// Feeds arbitrary bytes to the settings reader as the contents of syncfile.config.
// Whatever the bytes, reading must end (accepted or not) without a crash; accepted text
// must survive a write and a second read with the same values.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "syncfolderapp/settings/settingscodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    SettingsFields fields;
    if (!ParseSettingsText(text, fields)) {
        if (!fields.openDefaultDir.empty() || fields.syncType != 1 || fields.backUp || fields.skipSame ||
            fields.verifyCopy)
            std::abort();  // a refused file must leave the defaults
        return 0;
    }
    SettingsFields again;
    if (!ParseSettingsText(EmitSettingsText(fields), again))
        std::abort();
    if (again.syncType != fields.syncType || again.backUp != fields.backUp || again.skipSame != fields.skipSame ||
        again.verifyCopy != fields.verifyCopy)
        std::abort();
    return 0;
}
