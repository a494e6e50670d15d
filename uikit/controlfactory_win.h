#pragma once

#include <memory>

#include "uikit/control_win.h"

namespace uikit {

// The control for a layout node, by its kind; null for a spacer, which is layout only.
// Kinds that name no control are plain containers.
std::unique_ptr<SControl> CreateControlFor(SHostWnd& host, LayoutNode& node, SControl* parent);

}  // namespace uikit
