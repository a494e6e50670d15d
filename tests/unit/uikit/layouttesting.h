#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "uikit/layoutengine.h"

namespace uikit::testing {

// Leaves measure as fixed-pitch text: 7 pixels a character, 16 a line, wrapped at maxWidth.
inline Size MeasureText(const LayoutNode& leaf, int maxWidth)
{
    const std::string text = leaf.AttrOr("text", "");
    int width = static_cast<int>(text.size()) * 7;
    int lines = text.empty() ? 0 : 1;
    if (maxWidth > 0 && width > maxWidth) {
        const int perLine = std::max(maxWidth / 7, 1);
        lines = (static_cast<int>(text.size()) + perLine - 1) / perLine;
        width = perLine * 7;
    }
    return {width, lines * 16};
}

// Lays out `xml` in a root of `width` x `height` and returns every named node's rectangle.
inline std::map<std::string, Rect> Layout(const std::string& xml, int width, int height)
{
    ParseResult parsed = ParseLayout(xml);
    EXPECT_TRUE(parsed.root) << parsed.error;
    std::map<std::string, Rect> rects;
    if (!parsed.root)
        return rects;
    ArrangeNode(*parsed.root, Rect{0, 0, width, height}, MeasureText);
    const auto collect = [&](auto& self, const LayoutNode& node) -> void {
        if (!node.name.empty())
            rects[node.name] = node.rect;
        for (const auto& child : node.children)
            self(self, *child);
    };
    collect(collect, *parsed.root);
    return rects;
}

}  // namespace uikit::testing

namespace uikit {
inline void PrintTo(const Rect& r, std::ostream* os)
{
    *os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}
}  // namespace uikit
