#include "uikit/image_win.h"

#include "uikit/application_win.h"
#include "uikit/hostwnd_win.h"

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

}  // namespace uikit
