#include "uikit/progress_win.h"

#include <algorithm>
#include <string>

#include "uikit/textdraw_win.h"

namespace uikit {

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
        DrawWrapped(dc, Font(), text, client, ColorRefAttr("colorText", RGB(0x33, 0x33, 0x33)), TextAlign::Center,
                    false);
    }
}

}  // namespace uikit
