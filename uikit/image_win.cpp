#include "uikit/image_win.h"

#include <algorithm>

#include "uikit/application_win.h"
#include "uikit/hostwnd_win.h"
#include "uikit/textdraw_win.h"
#include "uikit/wtext_win.h"

namespace uikit {

Size SImage::Measure(int) const
{
    const SSkin* skin = SkinAttr("skin");
    return skin ? Size{skin->FrameWidth(), skin->FrameHeight()} : Size{};
}

bool SImage::SetFrame(int frame)
{
    const SSkin* skin = SkinAttr("skin");
    if (frame < 0 || (skin && frame >= skin->Frames()))
        return false;
    node_.SetAttr("frame", std::to_string(frame));
    Invalidate();
    return true;
}

int SImage::GetFrame() const
{
    return node_.IntAttr("frame", 0);
}

void SImage::Paint(HDC dc, const RECT& client)
{
    SControl::Paint(dc, client);
    if (const SSkin* skin = SkinAttr("skin"))
        skin->Draw(dc, client, GetFrame());
}

LRESULT SImage::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_NCHITTEST:
        return PassThroughHitTest(lParam, false);
    case WM_MOUSEMOVE:
        if (!inside_) {
            inside_ = true;
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd_, 0};
            TrackMouseEvent(&track);
            EventArgs args{EventKind::Hover, this, Name()};
            host_.FireEvent(args);
        }
        return 0;
    case WM_MOUSELEAVE:
        if (inside_) {
            inside_ = false;
            EventArgs args{EventKind::Leave, this, Name()};
            host_.FireEvent(args);
        }
        return 0;
    default:
        break;
    }
    return SControl::WndProc(msg, wParam, lParam);
}

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
    HICON icon = static_cast<HICON>(LoadImageW(SApplication::Get()->Instance(), name.c_str(), IMAGE_ICON, w, h, LR_SHARED));
    if (icon)
        DrawIconEx(dc, 0, 0, icon, w, h, 0, nullptr, DI_NORMAL);
}

LRESULT SIcon::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCHITTEST)
        return PassThroughHitTest(lParam, true);
    return SControl::WndProc(msg, wParam, lParam);
}

void SProgress::SetRange(int low, int high)
{
    if (high <= low)
        return;
    node_.SetAttr("min", std::to_string(low));
    node_.SetAttr("max", std::to_string(high));
    Invalidate();
}

void SProgress::SetValue(int value)
{
    const int low = node_.IntAttr("min", 0), high = node_.IntAttr("max", 100);
    node_.SetAttr("value", std::to_string(std::clamp(value, low, std::max(high, low))));
    Invalidate();
}

int SProgress::GetValue() const
{
    return node_.IntAttr("value", 0);
}

int SProgress::Percent() const
{
    const int low = node_.IntAttr("min", 0), high = node_.IntAttr("max", 100);
    if (high <= low)
        return 0;
    return static_cast<int>((static_cast<long long>(std::clamp(GetValue(), low, high)) - low) * 100 / (high - low));
}

void SProgress::Paint(HDC dc, const RECT& client)
{
    SControl::Paint(dc, client);
    const int percent = Percent();
    RECT filled = client;
    filled.right = client.left + (client.right - client.left) * percent / 100;
    if (const SSkin* skin = SkinAttr("skin")) {
        skin->Draw(dc, client, 0);
        if (filled.right > filled.left)
            skin->Draw(dc, filled, 1);
    } else {
        FillColor(dc, client, ColorAttr("colorTrack").value_or(Color{0xE6, 0xE6, 0xE6, 255}));
        FillColor(dc, filled, ColorAttr("colorBar").value_or(Color{0x1E, 0x78, 0xD5, 255}));
    }
    if (node_.BoolAttr("showPercent", true)) {
        const std::wstring text = std::to_wstring(percent) + L"%";
        DrawWrapped(dc, Font(), text, client, ColorRefAttr("colorText", RGB(0x33, 0x33, 0x33)), TextAlign::Center, false);
    }
}

}  // namespace uikit
