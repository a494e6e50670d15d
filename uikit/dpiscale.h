#pragma once

// Layouts are written in pixels at 96 dots per inch; a window on a screen of another
// density lays itself out in that screen's pixels.

#include "uikit/layoutnode.h"

namespace uikit {

inline constexpr int kBaseDpi = 96;

// `pixels` at 96 dpi as pixels at `dpi`, rounded to the nearest.
int ScalePx(int pixels, int dpi);

// `pixels` at `fromDpi` as pixels at `toDpi`, rounded to the nearest.
int RescalePx(int pixels, int fromDpi, int toDpi);

// Makes the box properties of `root` and its descendants fit `newDpi`. Every pixel
// measure (fixed sizes, padding, gaps, positions, minimum sizes, wrap widths, split
// separators and pane limits) is read again from the attributes and scaled, so moving
// back and forth between densities loses nothing. What the running window changed
// stays: which nodes are visible, and the split panes' sizes, which move from `oldDpi`
// to `newDpi`.
void ApplyDpi(LayoutNode& root, int oldDpi, int newDpi);

}  // namespace uikit
