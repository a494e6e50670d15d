#include "uikit/text_win.h"

namespace uikit {

SText::SText(SHostWnd& host, LayoutNode& node, SControl* parent)
    : SControl(host, node, parent), wraps_(node.box.maxWidth > 0 || node.BoolAttr("multilines", false))
{
}

Size SText::Measure(int maxWidth) const
{
    return MeasureText(style_.font, text_, wraps_ ? maxWidth : 0);
}

void SText::Paint(HDC dc, const RECT& client)
{
    SControl::Paint(dc, client);
    const Insets& p = node_.box.padding;
    const RECT inner{client.left + p.left, client.top + p.top, client.right - p.right, client.bottom - p.bottom};
    const COLORREF color = IsEnabled() ? ColorOr(style_.text, RGB(0x33, 0x33, 0x33))
                                       : ColorOr(style_.textDisable, ColorOr(style_.text, RGB(0x99, 0x99, 0x99)));
    DrawWrapped(dc, style_.font, text_, inner, color, style_.align.value_or(TextAlign::Left), wraps_);
}

LRESULT SText::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCHITTEST)
        return PassThroughHitTest(lParam, true);
    return SControl::WndProc(msg, wParam, lParam);
}

}  // namespace uikit
