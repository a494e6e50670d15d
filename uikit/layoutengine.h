#pragma once

// The box-layout engine: computes every node's rectangle from its box properties.
// Pure: the content size of leaves (text) comes from a measure callback.

#include <functional>
#include <vector>

#include "uikit/layoutnode.h"

namespace uikit {

// Natural content size of a leaf (without its padding). `maxWidth` > 0 bounds the width
// (text wraps there); 0 means unbounded.
using MeasureFn = std::function<Size(const LayoutNode& leaf, int maxWidth)>;

// Natural outer size of a node; `knownWidth` > 0 fixes the width (height then follows it).
Size MeasureNode(const LayoutNode& node, const MeasureFn& measure, int knownWidth = 0);

// Gives `node` the rectangle `rect` and arranges its descendants inside it.
void ArrangeNode(LayoutNode& node, const Rect& rect, const MeasureFn& measure);

struct PaneLimits {
    int ideal = 0;
    int min = 0;
    int priority = 1;  // panes with the lowest number take size changes first
};

// Pane sizes along the split axis for `available` pixels (separators already taken off).
// Space beyond the ideals goes to the first priority group in proportion to the ideals;
// a shortfall is taken from the first group down to the minimums, then from the next.
std::vector<int> SplitSizes(int available, const std::vector<PaneLimits>& panes);

// Moves the separator after pane `index` by `delta` pixels, keeping both neighbours at
// or above their minimums; returns the new sizes.
std::vector<int> DragSplit(std::vector<int> sizes, const std::vector<int>& mins, size_t index, int delta);

}  // namespace uikit
