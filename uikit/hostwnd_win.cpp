#include "uikit/hostwnd_win.h"

#include <windowsx.h>

#include <commctrl.h>

#include "common/newerapi.h"
#include "common/textutil.h"
#include "uikit/application_win.h"
#include "uikit/button_win.h"
#include "uikit/controlfactory_win.h"
#include "uikit/diaglog_win.h"
#include "uikit/dpiscale.h"

namespace uikit {
namespace {

bool IsButtonFamily(std::string_view kind)
{
    return kind == "button" || kind == "imgbtn" || kind == "link";
}

SControl* FindIn(const std::vector<std::unique_ptr<SControl>>& controls, std::string_view name, std::string_view kind)
{
    for (const auto& control : controls) {
        if (control->Name() == name &&
            (kind.empty() || control->Kind() == kind || (kind == "button" && IsButtonFamily(control->Kind()))))
            return control.get();
        if (SControl* found = FindIn(control->Children(), name, kind))
            return found;
    }
    return nullptr;
}

void MoveAll(const std::vector<std::unique_ptr<SControl>>& controls)
{
    for (const auto& control : controls) {
        control->Move();
        MoveAll(control->Children());
    }
}

HICON LoadIconAttr(const std::string& desc, int fallbackSize, int dpi)
{
    // "ICON_LOGO:32": resource name and pixel size at 96 dpi.
    const auto parts = SplitList(desc, ':');
    int size = fallbackSize;
    if (parts.size() > 1)
        ParseInt(parts[1], size);
    size = ScalePx(size, dpi);
    const std::wstring name = FromUtf8(parts[0]);
    return static_cast<HICON>(
        LoadImageW(SApplication::Get()->Instance(), name.c_str(), IMAGE_ICON, size, size, LR_SHARED));
}

// The timer that repeats a close request while modal boxes are closing.
constexpr UINT_PTR kCloseRetryTimer = 0x7FF0;
constexpr UINT kCloseRetryMs = 50;

// Visible windows of this thread owned by `owner` or by one of its owned windows: the
// modal boxes open over it. Tooltips, which windows own too, are left out.
std::vector<HWND> ModalWindowsOver(HWND owner)
{
    struct Search {
        HWND owner;
        std::vector<HWND> found;
    } search{owner, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) {
            auto* s = reinterpret_cast<Search*>(param);
            wchar_t className[64] = {};
            GetClassNameW(window, className, 64);
            if (!IsWindowVisible(window) || lstrcmpiW(className, TOOLTIPS_CLASSW) == 0)
                return TRUE;
            for (HWND o = GetWindow(window, GW_OWNER); o; o = GetWindow(o, GW_OWNER)) {
                if (o == s->owner) {
                    s->found.push_back(window);
                    break;
                }
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Whether the operator set the system to show focus frames and access keys always, not
// only once the keyboard is used.
bool KeyboardCuesAlways()
{
    BOOL always = FALSE;
    return SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &always, 0) && always;
}

// The density a new window starts at: its owner's, or the system's for a window without.
int InitialDpi(HWND parent)
{
    return parent ? WindowDpi(parent) : SystemDpi();
}

}  // namespace

void RegisterHostClasses(HINSTANCE instance, const std::wstring& hostClassName)
{
    WNDCLASSEXW host{};
    host.cbSize = sizeof(host);
    host.style = CS_DBLCLKS;
    host.lpfnWndProc = SHostWnd::StaticProc;
    host.hInstance = instance;
    host.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    host.lpszClassName = hostClassName.c_str();
    RegisterClassExW(&host);

    WNDCLASSEXW control{};
    control.cbSize = sizeof(control);
    control.style = CS_DBLCLKS;
    control.lpfnWndProc = SControl::StaticProc;
    control.hInstance = instance;
    control.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    control.lpszClassName = kControlClassName;
    RegisterClassExW(&control);
}

SHostWnd::SHostWnd(std::string layoutId, std::string layoutXml)
    : layoutId_(std::move(layoutId)), layoutXml_(std::move(layoutXml))
{
}

SHostWnd::~SHostWnd()
{
    autoDelete_ = false;
    if (hwnd_ && IsWindow(hwnd_))
        DestroyWindow(hwnd_);
    controls_.clear();
}

bool SHostWnd::LoadLayout()
{
    SApplication* app = SApplication::Get();
    if (!app) {
        DiagLog(L"no application object: host window \"" + FromUtf8(layoutId_) + L"\" cannot be built");
        return false;
    }
    std::string xml = layoutXml_;
    if (xml.empty() && !app->LoadResource(layoutId_, xml)) {
        DiagLog(L"layout \"" + FromUtf8(layoutId_) + L"\" not found");
        return false;
    }
    ParseResult parsed = ParseLayout(xml);
    if (!parsed.root) {
        DiagLog(L"layout \"" + FromUtf8(layoutId_) + L"\": " + FromUtf8(parsed.error));
        return false;
    }
    std::string error;
    const auto loader = [app](const std::string& id, std::string& text) { return app->LoadResource(id, text); };
    if (!ExpandIncludes(*parsed.root, loader, error)) {
        DiagLog(L"layout \"" + FromUtf8(layoutId_) + L"\": " + FromUtf8(error));
        return false;
    }
    app->Ui().ApplyClasses(*parsed.root);
    root_ = std::move(parsed.root);
    return true;
}

int SHostWnd::Scale(int pixels) const
{
    return ScalePx(pixels, dpi_);
}

void SHostWnd::SetDpi(int dpi)
{
    ApplyDpi(*root_, dpi_, dpi);
    dpi_ = dpi;
    rootStyle_ = ReadStyle(*root_, dpi_);
    sizingMargin_ = root_->BoolAttr("resizable", false) ? Scale(std::max(root_->IntAttr("margin", 0), 0)) : 0;
    ForEachControl([](SControl& control) { control.OnDpiChanged(); });
}

void SHostWnd::SetIcons() const
{
    if (const std::string* icon = root_->Attr("bigIcon"))
        SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LoadIconAttr(*icon, 32, dpi_)));
    if (const std::string* icon = root_->Attr("smallIcon"))
        SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(LoadIconAttr(*icon, 16, dpi_)));
}

void SHostWnd::OnDpiChanged(int dpi, const RECT& suggested)
{
    SetDpi(dpi);
    SetIcons();
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    Relayout();
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

HWND SHostWnd::Create(HWND parent, int x, int y, int cx, int cy)
{
    if (hwnd_)
        return nullptr;
    // The layout is read in pixels at 96 dpi and then scaled for the screen.
    dpi_ = kBaseDpi;
    if (!LoadLayout())
        return nullptr;
    SetDpi(InitialDpi(parent));
    SApplication* app = SApplication::Get();
    const LayoutNode& w = *root_;
    fitWidth_ = w.box.width.mode == SizeMode::Fit;
    fitHeight_ = w.box.height.mode == SizeMode::Fit;
    translucent_ = w.BoolAttr("translucent", false);
    focusCues_ = KeyboardCuesAlways();

    DWORD style = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX;
    if (w.BoolAttr("resizable", false))
        style |= WS_THICKFRAME | WS_MAXIMIZEBOX;
    DWORD exStyle = 0;
    if (w.BoolAttr("toolwindow", false))
        exStyle |= WS_EX_TOOLWINDOW;
    if (translucent_)
        exStyle |= WS_EX_LAYERED | WS_EX_NOACTIVATE;
    if (w.BoolAttr("topmost", false))
        exStyle |= WS_EX_TOPMOST;

    if (cx <= 0 || cy <= 0) {
        const Size natural = MeasureNode(w, nullptr);
        cx = w.box.width.mode == SizeMode::Fixed ? w.box.width.value : std::max(natural.cx, 1);
        cy = w.box.height.mode == SizeMode::Fixed ? w.box.height.value : std::max(natural.cy, 1);
    }
    const std::wstring title = FromUtf8(app->Ui().ResolveText(w.AttrOr("title", "")));
    building_ = true;
    HWND hwnd = CreateWindowExW(exStyle, app->HostClassName().c_str(), title.c_str(), style, x, y, cx, cy, parent,
                                nullptr, app->Instance(), this);
    if (!hwnd) {
        building_ = false;
        DiagLog(L"host window for \"" + FromUtf8(layoutId_) + L"\" cannot be created");
        return nullptr;
    }
    if (translucent_)
        SetLayeredWindowAttributes(hwnd, 0, static_cast<BYTE>(std::clamp(w.IntAttr("alpha", 240), 1, 255)), LWA_ALPHA);
    // The window may have come up on a screen of another density than expected.
    if (const int actual = WindowDpi(hwnd); actual != dpi_) {
        SetWindowPos(hwnd, nullptr, 0, 0, RescalePx(cx, dpi_, actual), RescalePx(cy, dpi_, actual),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetDpi(actual);
    }
    SetIcons();
    // Laid out before their windows exist, so that each window is made at its place.
    ConstructControls(*root_, nullptr);
    ArrangeNodes();
    CreateWindows(controls_, hwnd, true);
    building_ = false;
    UpdateFocusCueState();
    // A self-sizing window takes its content's size now; any other is laid out already.
    if (fitWidth_ || fitHeight_)
        Relayout();
    else
        PlaceControls();
    return hwnd;
}

void SHostWnd::ShowNormal() const
{
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_DEFERERASE);
    // Changes nothing more for a shown window, except that a program's first call takes the
    // show command its starter asked for (a shortcut set to start it minimised).
    ShowWindow(hwnd_, SW_SHOWNORMAL);
}

int SHostWnd::AllocateId(const std::string& name)
{
    const int named = name.empty() ? 0 : SApplication::Get()->NamedId(name);
    return named ? named : nextId_++;
}

void SHostWnd::ConstructControls(LayoutNode& node, SControl* parentControl)
{
    for (auto& child : node.children) {
        if (child->IsBox() && !(parentControl && parentControl->BuildsOnDemand(*child)))
            ConstructControl(*child, parentControl);
    }
}

SControl* SHostWnd::ConstructControl(LayoutNode& node, SControl* parentControl)
{
    std::unique_ptr<SControl> control = CreateControlFor(*this, node, parentControl);
    if (!control)
        return nullptr;  // a spacer: layout only
    SControl* raw = control.get();
    if (parentControl)
        parentControl->AddChild(std::move(control));
    else
        controls_.push_back(std::move(control));
    if (raw->IsContainer())
        ConstructControls(node, raw);
    return raw;
}

void SHostWnd::CreateWindows(const std::vector<std::unique_ptr<SControl>>& controls, HWND parentHwnd, bool fresh)
{
    std::vector<SControl*> lastFirst;
    for (auto it = controls.rbegin(); it != controls.rend(); ++it)
        lastFirst.push_back(it->get());
    for (SControl* control : lastFirst)
        CreateWindowTree(*control, parentHwnd, fresh);
}

bool SHostWnd::CreateWindowTree(SControl& control, HWND parentHwnd, bool fresh)
{
    if (!control.Create(parentHwnd)) {
        DiagLog(L"control \"" + FromUtf8(control.Name()) + L"\" of kind \"" + FromUtf8(control.Kind()) +
                L"\" cannot be created");
        if (SControl* parent = control.Parent())
            parent->RemoveChild(&control);
        else
            std::erase_if(controls_, [&control](const auto& owned) { return owned.get() == &control; });
        return false;
    }
    if (!control.Hwnd()) {
        CreateWindows(control.Children(), parentHwnd, fresh);  // a plain group: no window of its own
        return true;
    }
    if (fresh)
        control.MarkStacked();
    CreateWindows(control.Children(), control.Hwnd(), true);
    if (!control.Name().empty()) {
        EventArgs created{EventKind::Created, &control, control.Name()};
        FireEvent(created);
    }
    return true;
}

bool SHostWnd::BuildControl(LayoutNode& node, SControl* parentControl, HWND parentHwnd)
{
    // Among the windows there already, the new one is raised by its first placement.
    SControl* control = ConstructControl(node, parentControl);
    return control && CreateWindowTree(*control, parentHwnd, false);
}

SControl* SHostWnd::BuildOnDemand(LayoutNode& node)
{
    if (SControl* built = ControlOf(&node))
        return built;
    if (!hwnd_ || !node.IsBox() || !node.parent || node.parent == root_.get())
        return nullptr;
    SControl* container = BuildOnDemand(*node.parent);
    if (SControl* built = ControlOf(&node))
        return built;  // built with its container
    if (!container || !container->BuildsOnDemand(node))
        return nullptr;
    if (!BuildControl(node, container, container->Hwnd() ? container->Hwnd() : hwnd_))
        return nullptr;
    UpdateFocusCueState();
    return ControlOf(&node);
}

SControl* SHostWnd::CreateChildren(SControl* container, std::string_view markup)
{
    if (!container || !container->IsContainer() || !container->Hwnd())
        return nullptr;
    ParseResult parsed = ParseLayout("<markup>" + std::string(markup) + "</markup>");
    if (!parsed.root) {
        DiagLog(L"control markup: " + FromUtf8(parsed.error));
        return nullptr;
    }
    SApplication::Get()->Ui().ApplyClasses(*parsed.root);
    for (auto& node : parsed.root->children)
        ApplyDpi(*node, kBaseDpi, dpi_);
    LayoutNode& target = container->Node();
    const size_t firstNew = target.children.size();
    for (auto& node : parsed.root->children)
        target.AddChild(std::move(node));
    // Build just the new nodes; the rest of the tree is untouched.
    const size_t before = container->Children().size();
    for (size_t i = firstNew; i < target.children.size(); ++i)
        BuildControl(*target.children[i], container, container->Hwnd());
    UpdateFocusCueState();
    Relayout();
    return container->Children().size() > before ? container->Children()[before].get() : nullptr;
}

SControl* SHostWnd::ControlOf(const LayoutNode* node) const
{
    const auto it = nodeControls_.find(node);
    return it == nodeControls_.end() ? nullptr : it->second;
}

SControl* SHostWnd::FindControl(std::string_view name, std::string_view kind) const
{
    if (name.empty())
        return nullptr;
    if (SControl* found = FindIn(controls_, name, kind))
        return found;
    if (!root_ || !const_cast<SHostWnd*>(this)->BuildNamedOnDemand(name, *root_))
        return nullptr;
    return FindIn(controls_, name, kind);
}

bool SHostWnd::BuildNamedOnDemand(std::string_view name, LayoutNode& node)
{
    for (auto& child : node.children) {
        if (child->name == name && !ControlOf(child.get()) && BuildOnDemand(*child))
            return true;
        if (BuildNamedOnDemand(name, *child))
            return true;
    }
    return false;
}

void SHostWnd::ForEachControl(const std::function<void(SControl&)>& visit) const
{
    const std::function<void(const std::vector<std::unique_ptr<SControl>>&)> walk = [&](const auto& list) {
        for (const auto& control : list) {
            visit(*control);
            walk(control->Children());
        }
    };
    walk(controls_);
}

void SHostWnd::Subscribe(EventKind kind, std::string name, EventHandler handler)
{
    handlers_[{kind, std::move(name)}].push_back(std::move(handler));
}

void SHostWnd::OnCommand(std::string name, std::function<void()> handler)
{
    Subscribe(EventKind::Command, std::move(name), [h = std::move(handler)](EventArgs&) { h(); });
}

void SHostWnd::OnCheckChanged(std::string name, std::function<void(bool)> handler)
{
    Subscribe(EventKind::CheckChanged, std::move(name), [h = std::move(handler)](EventArgs& e) { h(e.checked); });
}

void SHostWnd::OnHover(std::string name, std::function<void()> handler)
{
    Subscribe(EventKind::Hover, std::move(name), [h = std::move(handler)](EventArgs&) { h(); });
}

void SHostWnd::OnLeave(std::string name, std::function<void()> handler)
{
    Subscribe(EventKind::Leave, std::move(name), [h = std::move(handler)](EventArgs&) { h(); });
}

void SHostWnd::OnCreated(std::string name, std::function<void()> handler)
{
    Subscribe(EventKind::Created, std::move(name), [h = std::move(handler)](EventArgs&) { h(); });
}

void SHostWnd::FireEvent(EventArgs& args)
{
    OnEvent(args);
}

void SHostWnd::OnEvent(EventArgs& args)
{
    const auto it = handlers_.find({args.kind, args.name});
    if (it != handlers_.end()) {
        // Copy: a handler may subscribe more handlers while it runs.
        const std::vector<EventHandler> handlers = it->second;
        for (const EventHandler& handler : handlers)
            handler(args);
        return;
    }
    if (args.kind != EventKind::Command)
        return;
    if (args.name == "btn_close")
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);
    else if (args.name == "btn_min")
        ShowWindow(hwnd_, SW_MINIMIZE);
    else if (args.name == "btn_max")
        ShowWindow(hwnd_, SW_MAXIMIZE);
    else if (args.name == "btn_restore")
        ShowWindow(hwnd_, SW_RESTORE);
}

SHostWnd::LayoutBatch::~LayoutBatch()
{
    if (--host_.layoutHeld_ == 0 && host_.layoutPending_) {
        host_.layoutPending_ = false;
        host_.Relayout();
    }
}

void SHostWnd::Relayout()
{
    if (!hwnd_ || building_ || !root_)
        return;
    if (layoutHeld_ > 0) {
        layoutPending_ = true;
        return;
    }
    if (fitWidth_ || fitHeight_) {
        const auto measure = [this](const LayoutNode& n, int maxWidth) {
            SControl* c = ControlOf(&n);
            return c ? c->Measure(maxWidth) : Size{};
        };
        const Size natural = MeasureNode(*root_, measure);
        RECT rc;
        GetWindowRect(hwnd_, &rc);
        const int cx = fitWidth_ ? std::max(natural.cx, 1) : rc.right - rc.left;
        const int cy = fitHeight_ ? std::max(natural.cy, 1) : rc.bottom - rc.top;
        if (cx != rc.right - rc.left || cy != rc.bottom - rc.top) {
            // The size change arrives as WM_SIZE, which arranges.
            SetWindowPos(hwnd_, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            return;
        }
    }
    Arrange();
}

void SHostWnd::ArrangeNodes()
{
    RECT client;
    GetClientRect(hwnd_, &client);
    const auto measure = [this](const LayoutNode& n, int maxWidth) {
        SControl* c = ControlOf(&n);
        return c ? c->Measure(maxWidth) : Size{};
    };
    ArrangeNode(*root_, Rect{0, 0, client.right, client.bottom}, measure);
}

void SHostWnd::Arrange()
{
    ArrangeNodes();
    PlaceControls();
}

void SHostWnd::PlaceControls()
{
    MoveAll(controls_);
    if (translucent_) {
        // Shape the popup by its background skin: fully transparent corners are cut off.
        if (rootStyle_.skin) {
            RECT client;
            GetClientRect(hwnd_, &client);
            HRGN region = RegionFromSkin(*rootStyle_.skin, client.right, client.bottom, dpi_);
            if (region)
                SetWindowRgn(hwnd_, region, TRUE);  // the window owns the region from now on
        }
    }
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void SHostWnd::PaintRoot(HDC dc, const RECT& rect) const
{
    FillColor(dc, rect, rootStyle_.back.value_or(Color{255, 255, 255, 255}));
    if (rootStyle_.skin)
        rootStyle_.skin->Draw(dc, rect, 0, dpi_);
}

LRESULT SHostWnd::FrameHitTest(POINT pt) const
{
    if (!hwnd_ || !root_)
        return HTCLIENT;
    RECT client;
    GetClientRect(hwnd_, &client);
    const int margin = sizingMargin_;
    if (margin > 0 && !IsZoomed(hwnd_)) {
        const bool left = pt.x < margin, right = pt.x >= client.right - margin;
        const bool top = pt.y < margin, bottom = pt.y >= client.bottom - margin;
        if (top && left)
            return HTTOPLEFT;
        if (top && right)
            return HTTOPRIGHT;
        if (bottom && left)
            return HTBOTTOMLEFT;
        if (bottom && right)
            return HTBOTTOMRIGHT;
        if (left)
            return HTLEFT;
        if (right)
            return HTRIGHT;
        if (top)
            return HTTOP;
        if (bottom)
            return HTBOTTOM;
    }
    // Caption areas drag the window.
    const std::function<bool(const LayoutNode&)> inCaption = [&](const LayoutNode& node) {
        if (node.kind == "caption" && node.box.visible && node.rect.Contains(pt.x, pt.y))
            return true;
        for (const auto& child : node.children) {
            if (child->IsBox() && child->box.visible && inCaption(*child))
                return true;
        }
        return false;
    };
    return inCaption(*root_) ? HTCAPTION : HTCLIENT;
}

void SHostWnd::CenterWindow(HWND relativeTo) const
{
    if (!hwnd_)
        return;
    RECT self, area;
    GetWindowRect(hwnd_, &self);
    if (relativeTo && IsWindowVisible(relativeTo) && !IsIconic(relativeTo)) {
        GetWindowRect(relativeTo, &area);
    } else {
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &info);
        area = info.rcWork;
    }
    const int w = self.right - self.left, h = self.bottom - self.top;
    const int x = area.left + (area.right - area.left - w) / 2;
    const int y = area.top + (area.bottom - area.top - h) / 2;
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT SHostWnd::OnMessage(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    return 0;
}

void SHostWnd::ShowFocusCues()
{
    if (focusCues_)
        return;
    focusCues_ = true;
    UpdateFocusCueState();
    const HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus))
        InvalidateRect(focus, nullptr, FALSE);
}

void SHostWnd::UpdateFocusCueState() const
{
    // System controls (check boxes, radios) draw their focus frames by the UI state, which
    // this message sets for the window and every control in it, new ones included.
    SendMessageW(hwnd_, WM_UPDATEUISTATE, MAKEWPARAM(focusCues_ ? UIS_CLEAR : UIS_SET, UISF_HIDEFOCUS), 0);
}

bool SHostWnd::PressButton(std::string_view name) const
{
    auto* button = dynamic_cast<SButton*>(FindControl(name, "button"));
    return button && button->Press();
}

void SHostWnd::RouteWheel(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (routingWheel_)
        return;
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(hwnd_, &pt);
    SControl* target = nullptr;
    for (HWND at = DeepestChildAt(hwnd_, pt); at && at != hwnd_ && !target; at = GetParent(at)) {
        SControl* control = SControl::FromHwnd(at);
        if (control && control->TakesWheel())
            target = control;
    }
    if (!target)
        return;
    routingWheel_ = true;
    SendMessageW(target->Hwnd(), msg, wParam, lParam);
    routingWheel_ = false;
}

bool SHostWnd::CloseModalsFirst()
{
    if (IsWindowEnabled(hwnd_))
        return false;
    const std::vector<HWND> modals = ModalWindowsOver(hwnd_);
    if (modals.empty())
        return false;
    for (HWND modal : modals)
        PostMessageW(modal, WM_CLOSE, 0, 0);
    ::SetTimer(hwnd_, kCloseRetryTimer, kCloseRetryMs, nullptr);
    return true;
}

LRESULT SHostWnd::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CLOSE && CloseModalsFirst())
        return 0;
    BOOL handled = FALSE;
    const LRESULT hooked = OnMessage(msg, wParam, lParam, handled);
    if (handled || !hwnd_)
        return hooked;  // handled, or the handler destroyed the window
    switch (msg) {
    case WM_NCCALCSIZE:
        // No frame, with either form of the message: the client area is the whole window
        // and the layout draws its own caption and border.
        return 0;
    case WM_NCACTIVATE:
        return TRUE;
    case WM_NCPAINT:
        return 0;
    case WM_NCHITTEST: {
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToClient(hwnd_, &pt);
        return FrameHitTest(pt);
    }
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        if (root_) {
            info->ptMinTrackSize.x = std::max<LONG>(root_->box.minSize.cx, 1);
            info->ptMinTrackSize.y = std::max<LONG>(root_->box.minSize.cy, 1);
        }
        // Maximised, a frameless window covers the work area, not the whole screen.
        MONITORINFO mi{};
        mi.cbSize = sizeof(mi);
        if (GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &mi)) {
            info->ptMaxPosition = {mi.rcWork.left - mi.rcMonitor.left, mi.rcWork.top - mi.rcMonitor.top};
            info->ptMaxSize = {mi.rcWork.right - mi.rcWork.left, mi.rcWork.bottom - mi.rcWork.top};
        }
        return 0;
    }
    case WM_SIZE:
        if (!building_ && wParam != SIZE_MINIMIZED)
            Arrange();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        const PaintDc paint(hwnd_);
        RECT client;
        GetClientRect(hwnd_, &client);
        PaintRoot(paint.Get(), client);
        return 0;
    }
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
        RouteWheel(msg, wParam, lParam);
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_ACTIVATE:
        // The focused control is kept while another window (a modal box) is active and
        // gets the focus back afterwards.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            savedFocus_ = focus && IsChild(hwnd_, focus) ? focus : nullptr;
        } else if (savedFocus_ && IsChild(hwnd_, savedFocus_) && IsWindowVisible(savedFocus_)) {
            SetFocus(savedFocus_);
            return 0;
        }
        break;
    case WM_TIMER:
        if (wParam == kCloseRetryTimer) {
            ::KillTimer(hwnd_, kCloseRetryTimer);
            PostMessageW(hwnd_, WM_CLOSE, 0, 0);
            return 0;
        }
        break;
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
    case WM_DESTROY:
        if (SApplication* app = SApplication::Get())
            app->OnHostDestroyed(hwnd_);
        break;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

SHostWnd* SHostWnd::FromHwnd(HWND hwnd)
{
    SApplication* app = SApplication::Get();
    wchar_t className[128] = {};
    if (!hwnd || !app || !GetClassNameW(hwnd, className, 128) || app->HostClassName() != className)
        return nullptr;
    return reinterpret_cast<SHostWnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

LRESULT CALLBACK SHostWnd::StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    SHostWnd* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<SHostWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<SHostWnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        const LRESULT result = DefWindowProcW(hwnd, msg, wParam, lParam);
        self->hwnd_ = nullptr;
        // The child windows are gone already: their handles may be reused from now on.
        self->ForEachControl([](SControl& control) { control.ForgetWindow(); });
        self->controls_.clear();
        self->OnFinalMessage(hwnd);
        // A window destroyed from inside one of its own handlers (a popup's timer) is
        // deleted only once that handler has returned.
        if (self->autoDelete_) {
            if (self->callDepth_ > 0)
                self->deletePending_ = true;
            else
                delete self;
        }
        return result;
    }
    ++self->callDepth_;
    const LRESULT result = self->WndProc(msg, wParam, lParam);
    if (--self->callDepth_ == 0 && self->deletePending_)
        delete self;
    return result;
}

}  // namespace uikit
