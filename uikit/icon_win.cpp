#include "uikit/icon_win.h"

#include "uikit/application_win.h"
#include "uikit/wtext_win.h"

namespace uikit {

Size SIcon::Measure(int) const
{
    const int size = node_.IntAttr("iconsize", 16);
    return {size, size};
}

void SIcon::Paint(HDC dc, const RECT& client)
{
    SControl::Paint(dc, client);
    const std::wstring name = Widen(node_.AttrOr("src", ""));
    if (name.empty())
        return;
    const int w = client.right - client.left, h = client.bottom - client.top;
    HICON icon =
        static_cast<HICON>(LoadImageW(SApplication::Get()->Instance(), name.c_str(), IMAGE_ICON, w, h, LR_SHARED));
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
