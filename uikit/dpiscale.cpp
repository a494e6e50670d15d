#include "uikit/dpiscale.h"

#include <cstdlib>

namespace uikit {
namespace {

void ScaleInsets(Insets& insets, int dpi)
{
    insets = {ScalePx(insets.left, dpi), ScalePx(insets.top, dpi), ScalePx(insets.right, dpi),
              ScalePx(insets.bottom, dpi)};
}

void ScaleExtent(Extent& extent, int dpi)
{
    // A share's value is a weight, not pixels.
    if (extent.mode == SizeMode::Fixed)
        extent.value = ScalePx(extent.value, dpi);
}

void ScaleBox(BoxProps& box, int dpi)
{
    ScaleExtent(box.width, dpi);
    ScaleExtent(box.height, dpi);
    ScaleInsets(box.padding, dpi);
    box.gap = ScalePx(box.gap, dpi);
    for (Edge& edge : box.pos)
        edge.value = ScalePx(edge.value, dpi);
    box.minSize = {ScalePx(box.minSize.cx, dpi), ScalePx(box.minSize.cy, dpi)};
    box.maxWidth = ScalePx(box.maxWidth, dpi);
    box.sepSize = ScalePx(box.sepSize, dpi);
    box.paneMin = ScalePx(box.paneMin, dpi);
}

}  // namespace

int ScalePx(int pixels, int dpi)
{
    return RescalePx(pixels, kBaseDpi, dpi);
}

int RescalePx(int pixels, int fromDpi, int toDpi)
{
    if (fromDpi <= 0 || fromDpi == toDpi)
        return pixels;
    const long long scaled = static_cast<long long>(std::abs(pixels)) * toDpi;
    const int rounded = static_cast<int>((scaled + fromDpi / 2) / fromDpi);
    return pixels < 0 ? -rounded : rounded;
}

void ApplyDpi(LayoutNode& root, int oldDpi, int newDpi)
{
    const bool visible = root.box.visible;
    const int ideal = root.box.ideal;
    RefreshBox(root, false);
    ScaleBox(root.box, newDpi);
    root.box.visible = visible;
    root.box.ideal = ideal < 0 ? ideal : RescalePx(ideal, oldDpi, newDpi);
    for (auto& child : root.children)
        ApplyDpi(*child, oldDpi, newDpi);
}

}  // namespace uikit
