#include "uikit/text_win.h"

namespace uikit {

bool SText::Wraps() const
{
    return node_.box.maxWidth > 0 || node_.BoolAttr("multilines", false);
}

Size SText::Measure(int maxWidth) const
{
    return MeasureText(Font(), text_, Wraps() ? maxWidth : 0);
}

void SText::Paint(HDC dc, const RECT& client)
{
    SControl::Paint(dc, client);
    const Insets& p = node_.box.padding;
    const RECT inner{client.left + p.left, client.top + p.top, client.right - p.right, client.bottom - p.bottom};
    const COLORREF color = IsEnabled()
                               ? ColorRefAttr("colorText", RGB(0x33, 0x33, 0x33))
                               : ColorRefAttr("colorTextDisable", ColorRefAttr("colorText", RGB(0x99, 0x99, 0x99)));
    DrawWrapped(dc, Font(), text_, inner, color, ParseTextAlign(node_.AttrOr("textalign", ""), TextAlign::Left),
                Wraps());
}

LRESULT SText::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCHITTEST)
        return PassThroughHitTest(lParam, true);
    return SControl::WndProc(msg, wParam, lParam);
}

}  // namespace uikit
