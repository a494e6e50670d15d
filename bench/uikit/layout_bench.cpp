// The box-layout engine on a window of about 150 controls: parsing, and arranging at a
// new size (what every resize of the window costs).
#include <benchmark/benchmark.h>

#include <string>

#include "uikit/layoutengine.h"

namespace {

std::string ManyControls()
{
    std::string xml = R"(<window size="900,600" padding="1"><window layout="vbox" gap="2" padding="4">)";
    for (int row = 0; row < 10; ++row) {
        xml += R"(<window height="share" layout="hbox" gap="3" valign="center">)";
        for (int i = 0; i < 14; ++i) {
            const std::string name = std::to_string(row) + "_" + std::to_string(i);
            switch (i % 5) {
            case 0:
                xml += "<text name=\"t" + name + "\" text=\"text" + name + "\"/>";
                break;
            case 1:
                xml += "<button name=\"b" + name + "\" size=\"60,24\" text=\"button\"/>";
                break;
            case 2:
                xml += "<check name=\"c" + name + "\" text=\"option\"/>";
                break;
            case 3:
                xml += "<img name=\"i" + name + "\" size=\"14,14\"/>";
                break;
            default:
                xml += "<progress name=\"p" + name + "\" width=\"share\" height=\"18\"/>";
                break;
            }
        }
        xml += "</window>";
    }
    xml += R"(<listctrl name="lv" height="120"/></window></window>)";
    return xml;
}

uikit::Size MeasureText(const uikit::LayoutNode& leaf, int maxWidth)
{
    const int chars = static_cast<int>(leaf.AttrOr("text", "").size());
    const int width = chars * 7 + (leaf.kind == "check" ? 20 : 0);
    if (maxWidth > 0 && width > maxWidth)
        return {maxWidth, 16 * ((width + maxWidth - 1) / maxWidth)};
    return {width, 16};
}

void BM_ParseLayout(benchmark::State& state)
{
    const std::string xml = ManyControls();
    for (auto _ : state) {
        uikit::ParseResult parsed = uikit::ParseLayout(xml);
        benchmark::DoNotOptimize(parsed.root.get());
    }
}
BENCHMARK(BM_ParseLayout)->Unit(benchmark::kMicrosecond);

void BM_ArrangeWindow(benchmark::State& state)
{
    uikit::ParseResult parsed = uikit::ParseLayout(ManyControls());
    int width = 900;
    for (auto _ : state) {
        width = width == 900 ? 1200 : 900;
        uikit::ArrangeNode(*parsed.root, uikit::Rect{0, 0, width, 600}, MeasureText);
        benchmark::DoNotOptimize(parsed.root->rect);
    }
}
BENCHMARK(BM_ArrangeWindow)->Unit(benchmark::kMicrosecond);

}  // namespace
