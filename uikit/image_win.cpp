#include "uikit/image_win.h"

#include "uikit/hostwnd_win.h"

namespace uikit {

SImage::SImage(SHostWnd& host, LayoutNode& node, SControl* parent)
    : SControl(host, node, parent), frame_(node.IntAttr("frame", 0))
{
}

Size SImage::Measure(int) const
{
    return style_.skin ? style_.skin->FrameSize(host_.Dpi()) : Size{};
}

bool SImage::SetFrame(int frame)
{
    if (frame < 0 || (style_.skin && frame >= style_.skin->Frames()))
        return false;
    frame_ = frame;
    Invalidate();
    return true;
}

void SImage::Paint(HDC dc, const RECT& client)
{
    SControl::Paint(dc, client);
    if (style_.skin)
        style_.skin->Draw(dc, client, frame_, host_.Dpi());
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

}  // namespace uikit
