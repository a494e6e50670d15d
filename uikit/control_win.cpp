#include "uikit/control_win.h"

#include <windowsx.h>

#include "common/textutil.h"
#include "uikit/application_win.h"
#include "uikit/dpiscale.h"
#include "uikit/hostwnd_win.h"

namespace uikit {
namespace {

constexpr wchar_t kControlProp[] = L"SUiControl.object";

}  // namespace

SControl::SControl(SHostWnd& host, LayoutNode& node, SControl* parent)
    : host_(host),
      node_(node),
      parent_(parent),
      style_(ReadStyle(node, host.Dpi())),
      enabled_(node.BoolAttr("enable", true))
{
    text_ = TextAttr("text");
    host_.Register(this);
}

SControl::~SControl()
{
    children_.clear();
    host_.Unregister(this);
    if (hwnd_ && IsWindow(hwnd_)) {
        RemovePropW(hwnd_, kControlProp);
        DestroyWindow(hwnd_);
    }
}

SControl* SControl::FromHwnd(HWND hwnd)
{
    return hwnd ? static_cast<SControl*>(GetPropW(hwnd, kControlProp)) : nullptr;
}

DWORD SControl::BaseStyle() const
{
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    if (node_.box.visible)
        style |= WS_VISIBLE;
    if (!enabled_)
        style |= WS_DISABLED;
    return style;
}

void SControl::Attach(HWND hwnd, SControl* control)
{
    if (hwnd)
        SetPropW(hwnd, kControlProp, control);
}

bool SControl::CreateCustom(HWND parentHwnd, DWORD style, DWORD exStyle)
{
    id_ = host_.AllocateId(node_.name);
    const RECT place = PlacedRect();
    HWND hwnd =
        CreateWindowExW(exStyle, kControlClassName, text_.c_str(), BaseStyle() | style, place.left, place.top,
                        place.right - place.left, place.bottom - place.top, parentHwnd,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), SApplication::Get()->Instance(), this);
    if (hwnd)
        placed_ = place;
    return hwnd != nullptr;
}

bool SControl::CreateNative(HWND parentHwnd, const wchar_t* className, DWORD style, DWORD exStyle)
{
    id_ = host_.AllocateId(node_.name);
    const RECT place = PlacedRect();
    hwnd_ =
        CreateWindowExW(exStyle, className, text_.c_str(), BaseStyle() | style, place.left, place.top,
                        place.right - place.left, place.bottom - place.top, parentHwnd,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), SApplication::Get()->Instance(), nullptr);
    if (!hwnd_)
        return false;
    placed_ = place;
    native_ = true;
    SetPropW(hwnd_, kControlProp, this);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
    return true;
}

bool SControl::Create(HWND parentHwnd)
{
    return CreateCustom(parentHwnd, IsContainer() ? WS_CLIPCHILDREN : 0);
}

Size SControl::Measure(int) const
{
    return {};
}

bool SControl::Reflect(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

void SControl::OnDpiChanged()
{
    style_ = ReadStyle(node_, host_.Dpi());
    if (hwnd_ && native_)
        SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
    Invalidate();
}

bool SControl::OnKey(UINT, bool)
{
    return false;
}

int SControl::Scale(int pixels) const
{
    return ScalePx(pixels, host_.Dpi());
}

bool SControl::IsReachable() const
{
    if (!hwnd_ || !IsWindowVisible(hwnd_))
        return false;
    const HWND root = GetAncestor(hwnd_, GA_ROOT);
    for (HWND w = hwnd_; w; w = w == root ? nullptr : GetParent(w)) {
        if (!IsWindowEnabled(w))
            return false;
    }
    // Covered: a shown window above it, or above one of its ancestors, holds its centre.
    RECT rect;
    GetWindowRect(hwnd_, &rect);
    const POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    for (HWND w = hwnd_; w && w != root; w = GetParent(w)) {
        for (HWND above = GetWindow(w, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
            RECT cover;
            if (IsWindowVisible(above) && GetWindowRect(above, &cover) && PtInRect(&cover, centre))
                return false;
        }
    }
    return true;
}

void SControl::SetVisible(bool visible)
{
    if (node_.box.visible == visible)
        return;
    node_.box.visible = visible;
    host_.Relayout();
    if (hwnd_)
        ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

void SControl::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    if (hwnd_) {
        EnableWindow(hwnd_, enabled);
        Invalidate();
    }
}

bool SControl::IsEnabled() const
{
    return hwnd_ ? IsWindowEnabled(hwnd_) != FALSE : enabled_;
}

void SControl::SetText(const std::wstring& text)
{
    text_ = text;
    if (hwnd_)
        SetWindowTextW(hwnd_, text_.c_str());
    Invalidate();
    const SizeMode w = node_.box.width.mode;
    const SizeMode h = node_.box.height.mode;
    if (w == SizeMode::Fit || w == SizeMode::Auto || h == SizeMode::Fit || h == SizeMode::Auto)
        host_.Relayout();
}

void SControl::Invalidate() const
{
    if (hwnd_)
        InvalidateRect(hwnd_, nullptr, TRUE);
}

RECT SControl::ScreenRect() const
{
    RECT rc{};
    if (hwnd_)
        GetWindowRect(hwnd_, &rc);
    return rc;
}

RECT SControl::PlacedRect() const
{
    const Rect& r = node_.rect;
    int ox = 0, oy = 0;
    for (const SControl* p = parent_; p; p = p->parent_) {
        if (p->hwnd_) {
            ox = p->node_.rect.left;
            oy = p->node_.rect.top;
            break;
        }
    }
    return RECT{r.left - ox, r.top - oy, r.left - ox + std::max(r.Width(), 0), r.top - oy + std::max(r.Height(), 0)};
}

void SControl::RemoveChild(const SControl* child)
{
    std::erase_if(children_, [child](const auto& owned) { return owned.get() == child; });
}

void SControl::Move()
{
    if (!hwnd_)
        return;
    const RECT target = PlacedRect();
    // Unchanged places are not applied again: a relayout touches only what moved. The
    // first placement of a window not stacked yet also puts it above its siblings: a new
    // window starts below them, and the layout places siblings in order, so later ones end
    // up above earlier ones, as in the layout, without a call of their own.
    if (!EqualRect(&target, &placed_) || !stacked_) {
        SetWindowPos(hwnd_, HWND_TOP, target.left, target.top, target.right - target.left, target.bottom - target.top,
                     SWP_NOACTIVATE | (stacked_ ? SWP_NOZORDER : 0));
        placed_ = target;
        stacked_ = true;
    }
    const bool shown = IsWindowVisible(hwnd_) || (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE);
    if (shown != node_.box.visible)
        ShowWindow(hwnd_, node_.box.visible ? SW_SHOWNA : SW_HIDE);
    OnLayout();
}

std::wstring SControl::TextAttr(std::string_view key) const
{
    const std::string* value = node_.Attr(key);
    if (!value)
        return {};
    return FromUtf8(SApplication::Get()->Ui().ResolveText(*value));
}

void SControl::PaintOwnBackground(HDC dc, const RECT& rect) const
{
    if (style_.back)
        FillColor(dc, rect, *style_.back);
    if (IsContainer() && style_.skin)
        style_.skin->Draw(dc, rect, 0, host_.Dpi());
    if (style_.borderSkin)
        style_.borderSkin->Draw(dc, rect, 0, host_.Dpi());
}

void SControl::PaintBackgroundChain(HDC dc, const RECT& client) const
{
    // Ancestors from the root down, each at its place relative to this control.
    std::vector<const SControl*> chain;
    for (const SControl* p = parent_; p; p = p->parent_)
        chain.push_back(p);
    const Rect& me = node_.rect;
    const Rect& root = host_.Root()->rect;
    RECT rootRect{root.left - me.left, root.top - me.top, root.right - me.left, root.bottom - me.top};
    if (!style_.back || style_.back->a < 255) {
        host_.PaintRoot(dc, rootRect);
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            const Rect& r = (*it)->node_.rect;
            (*it)->PaintOwnBackground(dc, RECT{r.left - me.left, r.top - me.top, r.right - me.left, r.bottom - me.top});
        }
    }
    (void)client;
}

COLORREF SControl::InheritedBackColor() const
{
    // A colour, or else the fill of a background skin, of the control or the nearest
    // ancestor or the window.
    const auto opaque = [](const ControlStyle& style, bool skinIsBackground) -> std::optional<Color> {
        if (style.back && style.back->a == 255)
            return style.back;
        if (skinIsBackground && style.skin)
            return style.skin->CentreColor();
        return std::nullopt;
    };
    for (const SControl* c = this; c; c = c->parent_) {
        if (const auto colour = opaque(c->style_, c->IsContainer()))
            return ToColorRef(*colour);
    }
    if (const auto colour = opaque(host_.RootStyle(), true))
        return ToColorRef(*colour);
    return ColorOr(host_.RootStyle().back, RGB(255, 255, 255));
}

LRESULT SControl::PassThroughHitTest(LPARAM lParam, bool captionPassThrough) const
{
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(host_.Hwnd(), &pt);
    const LRESULT hit = host_.FrameHitTest(pt);
    if (hit == HTCLIENT)
        return HTCLIENT;
    if (hit == HTCAPTION && !captionPassThrough)
        return HTCLIENT;
    return HTTRANSPARENT;
}

void SControl::Paint(HDC dc, const RECT& client)
{
    PaintBackgroundChain(dc, client);
    PaintOwnBackground(dc, client);
}

void SControl::PaintOffScreen(HDC dc, const RECT& client)
{
    // Draw off screen, then copy: no flicker from the layered background.
    MemoryDc memory(CreateCompatibleDC(dc));
    GdiObject bitmap(CreateCompatibleBitmap(dc, std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1)));
    if (!memory || !bitmap) {
        Paint(dc, client);
        return;
    }
    const SelectedObject selected(memory.Get(), bitmap.Get());
    Paint(memory.Get(), client);
    BitBlt(dc, 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
}

LRESULT SControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_NCCALCSIZE:
    case WM_NCPAINT:
        // No border, caption or scroll bar: the client area is the whole window and there
        // is nothing outside it to paint. Answering here spares the default handling, which
        // was a noticeable share of creating and showing the main window's controls.
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        const PaintDc paint(hwnd_);
        RECT client;
        GetClientRect(hwnd_, &client);
        PaintOffScreen(paint.Get(), client);
        return 0;
    }
    case WM_NCHITTEST:
        return PassThroughHitTest(lParam, true);
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: {
        LRESULT result = 0;
        if (ReflectToChild(msg, wParam, lParam, result))
            return result;
        break;
    }
    default:
        break;
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK SControl::StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    SControl* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<SControl*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        SetPropW(hwnd, kControlProp, self);
    } else {
        self = reinterpret_cast<SControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        RemovePropW(hwnd, kControlProp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    return self->WndProc(msg, wParam, lParam);
}

HWND DeepestChildAt(HWND root, POINT client)
{
    HWND at = root;
    for (;;) {
        const HWND child = ChildWindowFromPointEx(at, client, CWP_SKIPINVISIBLE);
        if (!child || child == at)
            return at;
        MapWindowPoints(at, child, &client, 1);
        at = child;
    }
}

bool ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    HWND child = nullptr;
    switch (msg) {
    case WM_NOTIFY:
        child = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
        break;
    case WM_DRAWITEM:
        child = reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem;
        break;
    default:
        child = reinterpret_cast<HWND>(lParam);
        break;
    }
    SControl* control = SControl::FromHwnd(child);
    return control && control->Reflect(msg, wParam, lParam, result);
}

}  // namespace uikit
