#include "uikit/layoutengine.h"

#include <algorithm>
#include <numeric>

namespace uikit {
namespace {

bool InFlow(const LayoutNode& child)
{
    return child.IsBox() && child.box.visible && child.box.posCount == 0;
}

bool HasBoxChildren(const LayoutNode& node)
{
    return std::any_of(node.children.begin(), node.children.end(), [](const auto& c) { return c->IsBox(); });
}

int Horizontal(const Insets& i)
{
    return i.left + i.right;
}
int Vertical(const Insets& i)
{
    return i.top + i.bottom;
}

Rect Deflate(const Rect& r, const Insets& i)
{
    Rect c{r.left + i.left, r.top + i.top, r.right - i.right, r.bottom - i.bottom};
    c.right = std::max(c.right, c.left);
    c.bottom = std::max(c.bottom, c.top);
    return c;
}

int AlignOffset(Align align, int room)
{
    if (room <= 0)
        return 0;
    if (align == Align::Center)
        return room / 2;
    if (align == Align::End)
        return room;
    return 0;
}

// STEP 1: natural size of the content, without padding.
Size ContentNatural(const LayoutNode& node, const MeasureFn& measure, int contentWidth)
{
    const BoxProps& box = node.box;
    if (!HasBoxChildren(node)) {
        if (!measure)
            return {};
        int bound = contentWidth > 0 ? contentWidth : 0;
        if (box.maxWidth > 0)
            bound = bound > 0 ? std::min(bound, box.maxWidth) : box.maxWidth;
        return measure(node, bound);
    }
    Size total;
    int count = 0;
    switch (box.arrange) {
    case Arrange::HBox:
        for (const auto& child : node.children) {
            if (!InFlow(*child))
                continue;
            const Size s = MeasureNode(*child, measure);
            total.cx += s.cx;
            total.cy = std::max(total.cy, s.cy);
            ++count;
        }
        total.cx += count > 1 ? box.gap * (count - 1) : 0;
        break;
    case Arrange::VBox:
        for (const auto& child : node.children) {
            if (!InFlow(*child))
                continue;
            const Size s = MeasureNode(*child, measure, child->box.width.mode == SizeMode::Fixed ? 0 : contentWidth);
            total.cx = std::max(total.cx, s.cx);
            total.cy += s.cy;
            ++count;
        }
        total.cy += count > 1 ? box.gap * (count - 1) : 0;
        break;
    case Arrange::Split:
        for (const auto& child : node.children) {
            if (!InFlow(*child))
                continue;
            const Size s = MeasureNode(*child, measure);
            const int along = std::max(child->box.ideal, child->box.paneMin);
            if (box.verticalSplit) {
                total.cy += along;
                total.cx = std::max(total.cx, s.cx);
            } else {
                total.cx += along;
                total.cy = std::max(total.cy, s.cy);
            }
            ++count;
        }
        if (count > 1) {
            (box.verticalSplit ? total.cy : total.cx) += box.sepSize * (count - 1);
        }
        break;
    case Arrange::Grid: {
        Size cell;
        for (const auto& child : node.children) {
            if (!InFlow(*child))
                continue;
            const Size s = MeasureNode(*child, measure);
            cell.cx = std::max(cell.cx, s.cx);
            cell.cy = std::max(cell.cy, s.cy);
            ++count;
        }
        const int cols = std::min(box.columns, std::max(count, 1));
        int rows = (count + box.columns - 1) / box.columns;
        if (box.maxRows > 0)
            rows = std::min(rows, box.maxRows);
        total.cx = cols * cell.cx + (cols > 1 ? (cols - 1) * box.gap : 0);
        total.cy = rows * cell.cy + (rows > 1 ? (rows - 1) * box.gap : 0);
        break;
    }
    case Arrange::Free:
        for (const auto& child : node.children) {
            if (!child->IsBox() || !child->box.visible)
                continue;
            Size s = MeasureNode(*child, measure);
            if (child->box.posCount >= 2) {
                if (!child->box.pos[0].fromFar)
                    s.cx += child->box.pos[0].value;
                if (!child->box.pos[1].fromFar)
                    s.cy += child->box.pos[1].value;
            }
            total.cx = std::max(total.cx, s.cx);
            total.cy = std::max(total.cy, s.cy);
        }
        break;
    }
    return total;
}

// Size along one axis of a child placed in the flow: fixed or measured; -1 for a share.
int MainExtent(const Extent& extent, int natural)
{
    switch (extent.mode) {
    case SizeMode::Fixed:
        return extent.value;
    case SizeMode::Fit:
    case SizeMode::Auto:
        return natural;
    default:
        return -1;
    }
}

int ShareWeight(const Extent& extent)
{
    return extent.mode == SizeMode::Share ? std::max(1, extent.value) : 1;
}

int CrossExtent(const Extent& extent, int natural, int available)
{
    switch (extent.mode) {
    case SizeMode::Fixed:
        return extent.value;
    case SizeMode::Fit:
        return natural;
    default:
        return available;
    }
}

// STEP 2: a horizontal or vertical stack.
void ArrangeStack(LayoutNode& node, const Rect& content, const MeasureFn& measure, bool horizontal)
{
    const BoxProps& box = node.box;
    std::vector<LayoutNode*> flow;
    for (auto& child : node.children) {
        if (InFlow(*child))
            flow.push_back(child.get());
    }
    if (flow.empty())
        return;
    const int mainAvail = horizontal ? content.Width() : content.Height();
    const int crossAvail = horizontal ? content.Height() : content.Width();

    std::vector<int> main(flow.size()), cross(flow.size());
    int used = box.gap * static_cast<int>(flow.size() - 1);
    int weights = 0;
    for (size_t i = 0; i < flow.size(); ++i) {
        const BoxProps& cb = flow[i]->box;
        if (horizontal) {
            const Size natural = (cb.width.mode == SizeMode::Fit || cb.width.mode == SizeMode::Auto)
                                     ? MeasureNode(*flow[i], measure)
                                     : Size{};
            main[i] = MainExtent(cb.width, natural.cx);
        } else {
            // The width is known first, so a wrapped text gets its height for that width.
            const Size naturalW = cb.width.mode == SizeMode::Fit ? MeasureNode(*flow[i], measure) : Size{};
            cross[i] = std::max(CrossExtent(cb.width, naturalW.cx, crossAvail), cb.minSize.cx);
            const Size natural = (cb.height.mode == SizeMode::Fit || cb.height.mode == SizeMode::Auto)
                                     ? MeasureNode(*flow[i], measure, cross[i])
                                     : Size{};
            main[i] = MainExtent(cb.height, natural.cy);
        }
        const int minMain = horizontal ? cb.minSize.cx : cb.minSize.cy;
        if (main[i] >= 0) {
            main[i] = std::max(main[i], minMain);
            used += main[i];
        } else {
            weights += ShareWeight(horizontal ? cb.width : cb.height);
        }
    }

    int remaining = mainAvail - used;
    if (weights > 0) {
        const int pool = std::max(remaining, 0);
        int given = 0, weightSoFar = 0;
        for (size_t i = 0; i < flow.size(); ++i) {
            if (main[i] >= 0)
                continue;
            const BoxProps& cb = flow[i]->box;
            weightSoFar += ShareWeight(horizontal ? cb.width : cb.height);
            // Cumulative rounding: the shares always add up to the pool exactly.
            const int upTo = static_cast<int>(static_cast<long long>(pool) * weightSoFar / weights);
            main[i] = std::max(upTo - given, horizontal ? cb.minSize.cx : cb.minSize.cy);
            given = upTo;
        }
        remaining = 0;
    }

    int at = (horizontal ? content.left : content.top) + AlignOffset(horizontal ? box.halign : box.valign, remaining);
    for (size_t i = 0; i < flow.size(); ++i) {
        LayoutNode& child = *flow[i];
        const BoxProps& cb = child.box;
        Rect r;
        if (horizontal) {
            const Size natural = cb.height.mode == SizeMode::Fit ? MeasureNode(child, measure, main[i]) : Size{};
            const int h = std::max(CrossExtent(cb.height, natural.cy, crossAvail), cb.minSize.cy);
            const int y = content.top + AlignOffset(box.valign, crossAvail - h);
            r = {at, y, at + main[i], y + h};
        } else {
            const int x = content.left + AlignOffset(box.halign, crossAvail - cross[i]);
            r = {x, at, x + cross[i], at + main[i]};
        }
        ArrangeNode(child, r, measure);
        at += main[i] + box.gap;
    }
}

// STEP 3: children placed by position, or filling / aligned in the content.
void ArrangeFree(LayoutNode& node, const Rect& content, const MeasureFn& measure, bool positionedOnly)
{
    const BoxProps& box = node.box;
    for (auto& owned : node.children) {
        LayoutNode& child = *owned;
        const BoxProps& cb = child.box;
        if (!child.IsBox() || !cb.visible)
            continue;
        if (positionedOnly && cb.posCount == 0)
            continue;
        Rect r;
        if (cb.posCount == 4) {
            const auto edgeX = [&](const Edge& e) {
                return e.fromFar ? content.right - e.value : content.left + e.value;
            };
            const auto edgeY = [&](const Edge& e) {
                return e.fromFar ? content.bottom - e.value : content.top + e.value;
            };
            r = {edgeX(cb.pos[0]), edgeY(cb.pos[1]), edgeX(cb.pos[2]), edgeY(cb.pos[3])};
            r.right = std::max(r.right, r.left);
            r.bottom = std::max(r.bottom, r.top);
        } else if (cb.posCount == 2) {
            const int x = cb.pos[0].fromFar ? content.right - cb.pos[0].value : content.left + cb.pos[0].value;
            const int y = cb.pos[1].fromFar ? content.bottom - cb.pos[1].value : content.top + cb.pos[1].value;
            const bool fitW = cb.width.mode == SizeMode::Fit || cb.width.mode == SizeMode::Auto;
            const int w = cb.width.mode == SizeMode::Fixed ? cb.width.value
                          : fitW                           ? MeasureNode(child, measure).cx
                                                           : std::max(content.right - x, 0);
            const bool fitH = cb.height.mode == SizeMode::Fit || cb.height.mode == SizeMode::Auto;
            const int h = cb.height.mode == SizeMode::Fixed ? cb.height.value
                          : fitH                            ? MeasureNode(child, measure, w).cy
                                                            : std::max(content.bottom - y, 0);
            r = {x, y, x + std::max(w, cb.minSize.cx), y + std::max(h, cb.minSize.cy)};
        } else {
            const int w =
                std::max(CrossExtent(cb.width, cb.width.mode == SizeMode::Fit ? MeasureNode(child, measure).cx : 0,
                                     content.Width()),
                         cb.minSize.cx);
            const int h =
                std::max(CrossExtent(cb.height, cb.height.mode == SizeMode::Fit ? MeasureNode(child, measure, w).cy : 0,
                                     content.Height()),
                         cb.minSize.cy);
            const int x = content.left + AlignOffset(box.halign, content.Width() - w);
            const int y = content.top + AlignOffset(box.valign, content.Height() - h);
            r = {x, y, x + w, y + h};
        }
        ArrangeNode(child, r, measure);
    }
}

// STEP 4: a grid of equal cells, filled row by row; children beyond the last row get nothing.
void ArrangeGrid(LayoutNode& node, const Rect& content, const MeasureFn& measure)
{
    const BoxProps& box = node.box;
    std::vector<LayoutNode*> flow;
    for (auto& child : node.children) {
        if (InFlow(*child))
            flow.push_back(child.get());
    }
    if (flow.empty())
        return;
    const int cols = box.columns;
    int rows = (static_cast<int>(flow.size()) + cols - 1) / cols;
    if (box.maxRows > 0)
        rows = std::min(rows, box.maxRows);
    const int cellW = std::max((content.Width() - box.gap * (cols - 1)) / cols, 0);
    const int cellH = std::max((content.Height() - box.gap * (rows - 1)) / rows, 0);
    for (size_t i = 0; i < flow.size(); ++i) {
        const int row = static_cast<int>(i) / cols;
        const int col = static_cast<int>(i) % cols;
        if (row >= rows) {
            ArrangeNode(*flow[i], Rect{}, measure);
            continue;
        }
        const int x = content.left + col * (cellW + box.gap);
        const int y = content.top + row * (cellH + box.gap);
        ArrangeNode(*flow[i], Rect{x, y, x + cellW, y + cellH}, measure);
    }
}

// STEP 5: panes of a split, with separators between them.
void ArrangeSplit(LayoutNode& node, const Rect& content, const MeasureFn& measure)
{
    const BoxProps& box = node.box;
    std::vector<LayoutNode*> panes;
    std::vector<PaneLimits> limits;
    for (auto& child : node.children) {
        if (!InFlow(*child))
            continue;
        panes.push_back(child.get());
        const BoxProps& cb = child->box;
        limits.push_back({cb.ideal >= 0 ? cb.ideal : cb.paneMin, cb.paneMin, cb.priority});
    }
    if (panes.empty())
        return;
    const bool vertical = box.verticalSplit;
    const int along = vertical ? content.Height() : content.Width();
    const int available = std::max(along - box.sepSize * static_cast<int>(panes.size() - 1), 0);
    const std::vector<int> sizes = SplitSizes(available, limits);
    int at = vertical ? content.top : content.left;
    for (size_t i = 0; i < panes.size(); ++i) {
        const Rect r = vertical ? Rect{content.left, at, content.right, at + sizes[i]}
                                : Rect{at, content.top, at + sizes[i], content.bottom};
        ArrangeNode(*panes[i], r, measure);
        at += sizes[i] + box.sepSize;
    }
}

}  // namespace

Size MeasureNode(const LayoutNode& node, const MeasureFn& measure, int knownWidth)
{
    const BoxProps& box = node.box;
    Size result;
    const bool fixedW = box.width.mode == SizeMode::Fixed;
    const bool fixedH = box.height.mode == SizeMode::Fixed;
    int width = knownWidth > 0 ? knownWidth : (fixedW ? box.width.value : 0);
    if (fixedW && fixedH) {
        result = {box.width.value, box.height.value};
    } else {
        const int contentWidth = width > 0 ? std::max(width - Horizontal(box.padding), 1) : 0;
        const Size content = ContentNatural(node, measure, contentWidth);
        result.cx = width > 0 ? width : content.cx + Horizontal(box.padding);
        result.cy = fixedH ? box.height.value : content.cy + Vertical(box.padding);
    }
    result.cx = std::max(result.cx, box.minSize.cx);
    result.cy = std::max(result.cy, box.minSize.cy);
    return result;
}

void ArrangeNode(LayoutNode& node, const Rect& rect, const MeasureFn& measure)
{
    node.rect = rect;
    if (!HasBoxChildren(node))
        return;
    for (auto& child : node.children) {
        if (child->IsBox() && !child->box.visible)
            child->rect = {};
    }
    const Rect content = Deflate(rect, node.box.padding);
    switch (node.box.arrange) {
    case Arrange::HBox:
        ArrangeStack(node, content, measure, true);
        ArrangeFree(node, content, measure, true);
        break;
    case Arrange::VBox:
        ArrangeStack(node, content, measure, false);
        ArrangeFree(node, content, measure, true);
        break;
    case Arrange::Grid:
        ArrangeGrid(node, content, measure);
        ArrangeFree(node, content, measure, true);
        break;
    case Arrange::Split:
        ArrangeSplit(node, content, measure);
        ArrangeFree(node, content, measure, true);
        break;
    case Arrange::Free:
        ArrangeFree(node, content, measure, false);
        break;
    }
}

std::vector<int> SplitSizes(int available, const std::vector<PaneLimits>& panes)
{
    std::vector<int> sizes;
    for (const PaneLimits& p : panes)
        sizes.push_back(std::max(p.ideal, p.min));
    if (panes.empty())
        return sizes;
    std::vector<int> priorities;
    for (const PaneLimits& p : panes)
        priorities.push_back(p.priority);
    std::sort(priorities.begin(), priorities.end());
    priorities.erase(std::unique(priorities.begin(), priorities.end()), priorities.end());

    int delta = available - std::accumulate(sizes.begin(), sizes.end(), 0);
    if (delta > 0) {
        const int first = priorities.front();
        long long weightTotal = 0;
        int members = 0;
        for (size_t i = 0; i < panes.size(); ++i) {
            if (panes[i].priority == first) {
                weightTotal += sizes[i];
                ++members;
            }
        }
        long long weightSoFar = 0;
        int given = 0, seen = 0;
        for (size_t i = 0; i < panes.size(); ++i) {
            if (panes[i].priority != first)
                continue;
            ++seen;
            weightSoFar += weightTotal > 0 ? sizes[i] : 1;
            const long long total = weightTotal > 0 ? weightTotal : members;
            const int upTo = seen == members ? delta : static_cast<int>(delta * weightSoFar / total);
            sizes[i] += upTo - given;
            given = upTo;
        }
        return sizes;
    }
    // Shrink group by group, each pane in proportion to what it can still give.
    for (int priority : priorities) {
        while (delta < 0) {
            long long slack = 0;
            for (size_t i = 0; i < panes.size(); ++i) {
                if (panes[i].priority == priority)
                    slack += sizes[i] - panes[i].min;
            }
            if (slack <= 0)
                break;
            const long long need = std::min<long long>(-delta, slack);
            long long taken = 0, slackSoFar = 0;
            for (size_t i = 0; i < panes.size(); ++i) {
                if (panes[i].priority != priority)
                    continue;
                slackSoFar += sizes[i] - panes[i].min;
                const long long upTo = need * slackSoFar / slack;
                sizes[i] -= static_cast<int>(upTo - taken);
                taken = upTo;
            }
            delta += static_cast<int>(taken);
            if (taken == 0)
                break;
        }
    }
    return sizes;
}

std::vector<int> DragSplit(std::vector<int> sizes, const std::vector<int>& mins, size_t index, int delta)
{
    if (index + 1 >= sizes.size() || mins.size() != sizes.size())
        return sizes;
    const int most = sizes[index + 1] - mins[index + 1];
    const int least = mins[index] - sizes[index];
    delta = std::clamp(delta, std::min(least, 0), std::max(most, 0));
    sizes[index] += delta;
    sizes[index + 1] -= delta;
    return sizes;
}

}  // namespace uikit
