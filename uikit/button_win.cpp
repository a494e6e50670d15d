#include "uikit/button_win.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include "uikit/application_win.h"
#include "uikit/hostwnd_win.h"

namespace uikit {

SButton::~SButton()
{
    // The tooltip went with its owner, the host window, when that was destroyed first.
    if (tooltip_ && !IsWindow(tooltip_.Get()))
        tooltip_.Release();
}

bool SButton::Create(HWND parentHwnd)
{
    if (!CreateCustom(parentHwnd, 0))
        return false;
    tip_ = TextAttr("tip");
    return true;
}

void SButton::MakeTooltip(const MSG& move)
{
    if (tip_.empty() || tooltip_)
        return;
    tooltip_.Reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0,
                                   0, 0, 0, host_.Hwnd(), nullptr, SApplication::Get()->Instance(), nullptr));
    if (!tooltip_)
        return;
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = host_.Hwnd();
    info.uId = reinterpret_cast<UINT_PTR>(hwnd_);
    info.lpszText = tip_.data();
    SendMessageW(tooltip_.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    // From now on the tooltip sees the button's mouse messages itself; this first one it
    // is handed, so that its delay starts now.
    SendMessageW(tooltip_.Get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
}

SButton::State SButton::CurrentState() const
{
    if (!IsEnabled())
        return Disabled;
    if (pressed_ && hover_)
        return Pressed;
    return hover_ ? Hover : Normal;
}

Size SButton::Measure(int) const
{
    if (style_.skin && text_.empty())
        return {style_.skin->FrameWidth(), style_.skin->FrameHeight()};
    return MeasureText(style_.font, text_, 0, true);
}

COLORREF SButton::TextColor(State state) const
{
    const COLORREF normal = ColorOr(style_.text, RGB(0x33, 0x33, 0x33));
    switch (state) {
    case Hover:
        return ColorOr(style_.textHover, normal);
    case Pressed:
        return ColorOr(style_.textPush, ColorOr(style_.textHover, normal));
    case Disabled:
        return ColorOr(style_.textDisable, RGB(0x99, 0x99, 0x99));
    default:
        return normal;
    }
}

void SButton::Paint(HDC dc, const RECT& client)
{
    SControl::Paint(dc, client);
    const State state = CurrentState();
    if (style_.skin)
        style_.skin->Draw(dc, client, std::min<int>(state, style_.skin->Frames() - 1));
    if (text_.empty())
        return;
    const Insets& p = node_.box.padding;
    const RECT inner{client.left + p.left, client.top + p.top, client.right - p.right, client.bottom - p.bottom};
    DrawWrapped(dc, state == Hover ? style_.hoverFont : style_.font, text_, inner, TextColor(state),
                style_.align.value_or(TextAlign::Center), false, true);
}

void SButton::Click()
{
    // The handler may destroy this control's window: nothing of `this` is used after it.
    const std::wstring href = Kind() == "link" ? TextAttr("href") : std::wstring();
    EventArgs args{EventKind::Command, this, Name()};
    SHostWnd& host = host_;
    host.FireEvent(args);
    if (!href.empty())
        ShellExecuteW(nullptr, L"open", href.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

LRESULT SButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_NCHITTEST:
        return PassThroughHitTest(lParam, false);
    case WM_SETCURSOR:
        if (style_.cursor == IDC_HAND) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE: {
        MakeTooltip(MSG{hwnd_, msg, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}});
        RECT client;
        GetClientRect(hwnd_, &client);
        const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const bool inside = PtInRect(&client, pt) != FALSE;
        if (inside != hover_) {
            hover_ = inside;
            Invalidate();
        }
        if (inside) {
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd_, 0};
            TrackMouseEvent(&track);
        }
        return 0;
    }
    case WM_MOUSELEAVE:
        if (GetCapture() != hwnd_) {
            hover_ = false;
            Invalidate();
        }
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (IsEnabled()) {
            pressed_ = true;
            hover_ = true;
            SetCapture(hwnd_);
            Invalidate();
        }
        return 0;
    case WM_LBUTTONUP: {
        const bool wasPressed = pressed_;
        pressed_ = false;
        if (GetCapture() == hwnd_)
            ReleaseCapture();
        RECT client;
        GetClientRect(hwnd_, &client);
        const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        hover_ = PtInRect(&client, pt) != FALSE;
        Invalidate();
        if (wasPressed && hover_ && IsEnabled())
            Click();
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (pressed_) {
            pressed_ = false;
            Invalidate();
        }
        return 0;
    case WM_ENABLE:
        Invalidate();
        break;
    default:
        break;
    }
    return SControl::WndProc(msg, wParam, lParam);
}

}  // namespace uikit
