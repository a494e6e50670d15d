#include "uikit/progress_win.h"

#include <algorithm>
#include <string>

#include "uikit/hostwnd_win.h"
#include "uikit/textdraw_win.h"

namespace uikit {

SProgress::SProgress(SHostWnd& host, LayoutNode& node, SControl* parent)
    : SControl(host, node, parent),
      low_(node.IntAttr("min", 0)),
      high_(node.IntAttr("max", 100)),
      value_(node.IntAttr("value", 0)),
      showPercent_(node.BoolAttr("showPercent", true))
{
}

void SProgress::SetRange(int low, int high)
{
    if (high <= low)
        return;
    low_ = low;
    high_ = high;
    Invalidate();
}

void SProgress::SetValue(int value)
{
    const int clamped = std::clamp(value, low_, std::max(high_, low_));
    if (clamped == value_)
        return;  // nothing to repaint: a job's progress ticks often find it where it was
    value_ = clamped;
    Invalidate();
}

int SProgress::Percent() const
{
    if (high_ <= low_)
        return 0;
    return static_cast<int>((static_cast<long long>(std::clamp(value_, low_, high_)) - low_) * 100 / (high_ - low_));
}

void SProgress::Paint(HDC dc, const RECT& client)
{
    SControl::Paint(dc, client);
    const int percent = Percent();
    RECT filled = client;
    filled.right = client.left + (client.right - client.left) * percent / 100;
    if (style_.skin) {
        style_.skin->Draw(dc, client, 0, host_.Dpi());
        if (filled.right > filled.left)
            style_.skin->Draw(dc, filled, 1, host_.Dpi());
    } else {
        FillColor(dc, client, style_.track.value_or(Color{0xE6, 0xE6, 0xE6, 255}));
        FillColor(dc, filled, style_.bar.value_or(Color{0x1E, 0x78, 0xD5, 255}));
    }
    if (showPercent_) {
        const std::wstring text = std::to_wstring(percent) + L"%";
        DrawWrapped(dc, style_.font, text, client, ColorOr(style_.text, RGB(0x33, 0x33, 0x33)), TextAlign::Center,
                    false);
    }
}

}  // namespace uikit
