#include "uikit/icon_win.h"

#include "common/textutil.h"
#include "uikit/application_win.h"

namespace uikit {

SIcon::SIcon(SHostWnd& host, LayoutNode& node, SControl* parent)
    : SControl(host, node, parent), source_(FromUtf8(node.AttrOr("src", "")))
{
}

Size SIcon::Measure(int) const
{
    const int size = Scale(node_.IntAttr("iconsize", 16));
    return {size, size};
}

void SIcon::Paint(HDC dc, const RECT& client)
{
    SControl::Paint(dc, client);
    if (source_.empty())
        return;
    const int w = client.right - client.left, h = client.bottom - client.top;
    HICON icon =
        static_cast<HICON>(LoadImageW(SApplication::Get()->Instance(), source_.c_str(), IMAGE_ICON, w, h, LR_SHARED));
    if (icon)
        DrawIconEx(dc, 0, 0, icon, w, h, 0, nullptr, DI_NORMAL);
}

LRESULT SIcon::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCHITTEST)
        return PassThroughHitTest(lParam, true);
    return SControl::WndProc(msg, wParam, lParam);
}

}  // namespace uikit
