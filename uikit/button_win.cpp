#include "uikit/button_win.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <cwctype>

#include "uikit/application_win.h"
#include "uikit/hostwnd_win.h"

namespace uikit {
namespace {

// The system's own procedure of the BUTTON class, which every button hands its messages
// to after looking at them.
WNDPROC NativeButtonProc()
{
    static const WNDPROC proc = [] {
        WNDCLASSEXW info{};
        info.cbSize = sizeof(info);
        return GetClassInfoExW(nullptr, L"BUTTON", &info) ? info.lpfnWndProc : &DefWindowProcW;
    }();
    return proc;
}

}  // namespace

SButton::~SButton()
{
    // The tooltip went with its owner, the host window, when that was destroyed first.
    if (tooltip_ && !IsWindow(tooltip_.Get()))
        tooltip_.Release();
}

bool SButton::Create(HWND parentHwnd)
{
    const DWORD tabStop = node_.BoolAttr("focusable", true) ? WS_TABSTOP : 0;
    if (!CreateNative(parentHwnd, L"BUTTON", BS_OWNERDRAW | tabStop))
        return false;
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SButton::ButtonProc));
    tip_ = TextAttr("tip");
    // Accessibility tools call a button by its window text: a button that shows none is
    // named by its `accName`, or else by its tooltip.
    if (text_.empty()) {
        const std::wstring name = TextAttr("accName");
        SetWindowTextW(hwnd_, (name.empty() ? tip_ : name).c_str());
    }
    return true;
}

bool SButton::IsTabStop() const
{
    return node_.BoolAttr("focusable", true);
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

Size SButton::Measure(int) const
{
    if (style_.skin && text_.empty())
        return style_.skin->FrameSize(host_.Dpi());
    return MeasureText(style_.font, text_, 0, true);
}

wchar_t SButton::Mnemonic() const
{
    for (size_t i = 0; i + 1 < text_.size(); ++i) {
        if (text_[i] != L'&')
            continue;
        if (text_[i + 1] != L'&')
            return static_cast<wchar_t>(std::towupper(text_[i + 1]));
        ++i;  // "&&" is a literal ampersand
    }
    return 0;
}

UINT SButton::AccelKey() const
{
    const std::string accel = node_.AttrOr("accel", "");
    int number = 0;
    if (accel.size() < 2 || accel[0] != 'F' || !ParseInt(accel.substr(1), number) || number < 1 || number > 12)
        return 0;
    return VK_F1 + static_cast<UINT>(number - 1);
}

bool SButton::IsDefault() const
{
    return node_.BoolAttr("default", false);
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

void SButton::Draw(const DRAWITEMSTRUCT& item)
{
    // The system's pressed state holds only while the mouse is over the pressed button.
    if (item.itemState & ODS_DISABLED)
        drawState_ = Disabled;
    else if (item.itemState & ODS_SELECTED)
        drawState_ = Pressed;
    else
        drawState_ = hover_ ? Hover : Normal;
    drawFocus_ = (item.itemState & ODS_FOCUS) && host_.FocusCuesShown();
    PaintOffScreen(item.hDC, item.rcItem);
}

void SButton::Paint(HDC dc, const RECT& client)
{
    SControl::Paint(dc, client);
    if (style_.skin)
        style_.skin->Draw(dc, client, std::min<int>(drawState_, style_.skin->Frames() - 1), host_.Dpi());
    if (!text_.empty()) {
        const Insets& p = node_.box.padding;
        const RECT inner{client.left + p.left, client.top + p.top, client.right - p.right, client.bottom - p.bottom};
        DrawWrapped(dc, drawState_ == Hover ? style_.hoverFont : style_.font, text_, inner, TextColor(drawState_),
                    style_.align.value_or(TextAlign::Center), false, true);
    }
    if (drawFocus_) {
        const int inset = Scale(2);
        RECT frame{client.left + inset, client.top + inset, client.right - inset, client.bottom - inset};
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &frame);
    }
}

bool SButton::Press()
{
    if (!IsReachable())
        return false;
    // The handler may destroy this control's window: nothing of `this` is used after it.
    const std::wstring href = Kind() == "link" ? TextAttr("href") : std::wstring();
    EventArgs args{EventKind::Command, this, Name()};
    SHostWnd& host = host_;
    host.FireEvent(args);
    if (!href.empty())
        ShellExecuteW(nullptr, L"open", href.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return true;
}

bool SButton::Reflect(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        Press();
        result = 0;
        return true;
    }
    if (msg == WM_DRAWITEM) {
        Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    }
    return false;
}

LRESULT CALLBACK SButton::ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* self = static_cast<SButton*>(SControl::FromHwnd(hwnd));
    return self ? self->OnButtonMessage(msg, wParam, lParam)
                : CallWindowProcW(NativeButtonProc(), hwnd, msg, wParam, lParam);
}

LRESULT SButton::OnButtonMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const HWND hwnd = hwnd_;
    switch (msg) {
    case WM_NCHITTEST:
        return PassThroughHitTest(lParam, false);
    case WM_SETCURSOR:
        if (style_.cursor == IDC_HAND) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_ERASEBKGND:
        return 1;  // the whole button is painted off screen
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
        break;
    }
    case WM_MOUSELEAVE:
        if (GetCapture() != hwnd_) {
            hover_ = false;
            Invalidate();
        }
        break;
    case WM_LBUTTONDBLCLK:
        // A quick second click is another click, not a double click.
        msg = WM_LBUTTONDOWN;
        break;
    case BM_CLICK:
        // The system's BM_CLICK plays a mouse click, which can come to nothing while the
        // window is not the active one: the usual case for the tools of other programs.
        Press();
        return 0;
    default:
        break;
    }
    return CallWindowProcW(NativeButtonProc(), hwnd, msg, wParam, lParam);
}

}  // namespace uikit
