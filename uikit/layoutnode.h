#pragma once

// The layout model: an XML layout parsed into a tree of nodes, each with a kind (the
// element name), a name, its attributes in document order, and the box properties the
// layout engine reads.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "uikit/geometry.h"

namespace uikit {

enum class SizeMode {
    Auto,   // not given: fit along a stack, fill across it and in free placement
    Fixed,  // a number of pixels
    Fill,   // the parent's full content extent
    Fit,    // the measured content
    Share,  // a weighted part of what fixed-size siblings leave over
};

struct Extent {
    SizeMode mode = SizeMode::Auto;
    int value = 0;  // pixels for Fixed, weight for Share
    bool operator==(const Extent&) const = default;
};

enum class Arrange { Free, HBox, VBox, Grid, Split };
enum class Align { Start, Center, End };

// One coordinate of a position; `fromFar` counts from the right or bottom edge.
struct Edge {
    bool fromFar = false;
    int value = 0;
};

struct BoxProps {
    Arrange arrange = Arrange::Free;
    Extent width;
    Extent height;
    Insets padding;
    int gap = 0;
    Align halign = Align::Start;  // how this container places its children
    Align valign = Align::Start;
    int posCount = 0;  // 0: in the flow; 2: x,y; 4: left,top,right,bottom
    Edge pos[4];
    Size minSize;
    int maxWidth = 0;  // 0: unbounded; wrapping width for measured text
    bool visible = true;
    // grid
    int columns = 1;
    int maxRows = 0;
    // split container
    bool verticalSplit = false;  // panes stacked top to bottom
    int sepSize = 4;
    // split pane
    int ideal = -1;
    int paneMin = 0;
    int priority = 1;
};

struct LayoutNode {
    std::string kind;
    std::string name;
    std::vector<std::pair<std::string, std::string>> attrs;
    std::vector<std::unique_ptr<LayoutNode>> children;
    LayoutNode* parent = nullptr;
    BoxProps box;
    Rect rect;  // result of the last arrangement, relative to the root

    const std::string* Attr(std::string_view key) const;
    std::string AttrOr(std::string_view key, std::string_view fallback) const;
    int IntAttr(std::string_view key, int fallback) const;
    bool BoolAttr(std::string_view key, bool fallback) const;
    void SetAttr(std::string_view key, std::string_view value);

    // Depth-first search below (and including) this node.
    LayoutNode* FindByName(std::string_view wanted);
    LayoutNode* AddChild(std::unique_ptr<LayoutNode> child);
    // Nodes such as list columns carry data for their parent and are not laid out.
    bool IsBox() const;
};

struct ParseResult {
    std::unique_ptr<LayoutNode> root;
    std::string error;  // empty on success
};

// Parses a layout document; the root element becomes the root node. Box properties are
// read from the attributes (see RefreshBox). A malformed document yields an error text.
ParseResult ParseLayout(std::string_view xml);

// Re-reads the box properties of `node` (and, with `deep`, its descendants) from attributes.
void RefreshBox(LayoutNode& node, bool deep = true);

// Replaces every element that names another layout in `src` (kind "include" or "page")
// by the loaded layout's root, keeping the including element's name and attributes over
// the loaded ones. Stops at `maxDepth` nested includes; returns false with an error text
// when a layout cannot be loaded or parsed or includes itself too deeply.
using LayoutLoader = std::function<bool(const std::string& id, std::string& xml)>;
bool ExpandIncludes(LayoutNode& root, const LayoutLoader& loader, std::string& error, int maxDepth = 8);

// Helpers also used by the window code.
bool ParseInt(std::string_view text, int& value);
std::vector<std::string_view> SplitList(std::string_view text, char sep = ',');
bool ParseInsets(std::string_view text, Insets& insets);
Extent ParseExtent(std::string_view text);

}  // namespace uikit
