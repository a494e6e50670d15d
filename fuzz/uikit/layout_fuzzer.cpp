// Layout and UI-definition XML from anywhere: parsing, class application and arranging
// at a few sizes must neither crash nor hang.
#include <cstddef>
#include <cstdint>
#include <string>

#include "uikit/layoutengine.h"
#include "uikit/uidef.h"

namespace {

uikit::Size Measure(const uikit::LayoutNode& leaf, int maxWidth)
{
    const int width = static_cast<int>(leaf.AttrOr("text", "").size()) * 7;
    if (maxWidth > 0 && width > maxWidth)
        return {maxWidth, 16 * (width / maxWidth + 1)};
    return {width, 16};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    uikit::UiDefinition ui;
    std::string error;
    ui.Load(
        text,
        [&](const std::string&, std::string& xml) {
            xml = text;
            return true;
        },
        error);
    uikit::ParseResult parsed = uikit::ParseLayout(text);
    if (!parsed.root)
        return 0;
    uikit::ExpandIncludes(
        *parsed.root,
        [&](const std::string&, std::string& xml) {
            xml = text;
            return true;
        },
        error);
    ui.ApplyClasses(*parsed.root);
    for (int width : {0, 1, 300, 5000}) {
        uikit::MeasureNode(*parsed.root, Measure);
        uikit::ArrangeNode(*parsed.root, uikit::Rect{0, 0, width, width / 2}, Measure);
    }
    return 0;
}
