#pragma once

// A control: one node of a layout with its window. Custom-painted controls use the
// toolkit's own window class; native controls are subclassed only as far as needed and
// receive their notifications back from their parent (reflection).

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <windows.h>

#include "uikit/controlstyle_win.h"
#include "uikit/layoutnode.h"

namespace uikit {

class SHostWnd;

inline constexpr wchar_t kControlClassName[] = L"SUiControl";

class SControl {
public:
    SControl(SHostWnd& host, LayoutNode& node, SControl* parent);
    virtual ~SControl();
    SControl(const SControl&) = delete;
    SControl& operator=(const SControl&) = delete;

    const std::string& Kind() const { return node_.kind; }
    const std::string& Name() const { return node_.name; }
    LayoutNode& Node() const { return node_; }
    HWND Hwnd() const { return hwnd_; }
    int Id() const { return id_; }
    SControl* Parent() const { return parent_; }
    SHostWnd& Host() const { return host_; }
    const std::vector<std::unique_ptr<SControl>>& Children() const { return children_; }

    // Creates the window below `parentHwnd`, at the control's place in the layout; false
    // (and nothing created) on failure. A new window starts below its siblings.
    virtual bool Create(HWND parentHwnd);
    // Natural size of the content for "fit" (leaves only).
    virtual Size Measure(int maxWidth) const;
    // Containers hold child controls; their node's children are created below them.
    virtual bool IsContainer() const { return false; }
    // True for a child whose controls the window builds only when they are needed.
    virtual bool BuildsOnDemand(const LayoutNode&) const { return false; }
    // A notification or colour request from the native control, passed back by its parent.
    virtual bool Reflect(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Called after the layout moved the control.
    virtual void OnLayout() {}
    // The host moved to a screen of another density (its Dpi() is the new one): the
    // appearance is read again, fonts made for the new density.
    virtual void OnDpiChanged();

    // Keyboard: whether Tab stops at the control, and a key the control handles itself
    // before its window's keys do (`ctrl`: with the Ctrl key); true when handled.
    virtual bool IsTabStop() const { return false; }
    virtual bool OnKey(UINT key, bool ctrl);
    // Lists scroll with the mouse wheel; the wheel over anything else goes nowhere.
    virtual bool TakesWheel() const { return false; }
    // Whether the operator could click the control now: it and its ancestors shown and
    // enabled, its window enabled (no modal box over it), and nothing above it at its
    // centre (such as an overlay covering a pane). Keys and clicks from other programs
    // act only then, as the mouse does.
    bool IsReachable() const;

    void SetVisible(bool visible);
    bool IsVisible() const { return node_.box.visible; }
    void SetEnabled(bool enabled);
    bool IsEnabled() const;
    virtual void SetText(const std::wstring& text);
    const std::wstring& GetText() const { return text_; }
    void Invalidate() const;
    RECT ScreenRect() const;

    // Background of the control and all its ancestors, in this control's coordinates:
    // what a transparent control shows behind its own drawing.
    void PaintBackgroundChain(HDC dc, const RECT& client) const;
    // The nearest opaque background colour, or background skin's fill (for native
    // controls' colour requests).
    COLORREF InheritedBackColor() const;

    // A text attribute with "@string/..." references resolved.
    std::wstring TextAttr(std::string_view key) const;
    const ControlStyle& Style() const { return style_; }
    HFONT Font() const { return style_.font; }
    // Pixels at 96 dpi as pixels of the host's screen.
    int Scale(int pixels) const;

    // Position from the layout, relative to the parent control's window.
    void Move();
    void AddChild(std::unique_ptr<SControl> child) { children_.push_back(std::move(child)); }
    void RemoveChild(const SControl* child);
    // Its window already lies where the layout stacks it among its siblings (the host made
    // them last to first), so its first Move need not raise it.
    void MarkStacked() { stacked_ = true; }

    // Drops the window handle once the window has been destroyed with its host.
    void ForgetWindow() { hwnd_ = nullptr; }

    static SControl* FromHwnd(HWND hwnd);
    // Routes notifications of a window the control owns (a list's header) to the control.
    static void Attach(HWND hwnd, SControl* control);
    static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    // Messages of a custom-painted control.
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual void Paint(HDC dc, const RECT& client);
    void PaintOffScreen(HDC dc, const RECT& client);
    // Paints this control's own background (colour, skin, border skin).
    void PaintOwnBackground(HDC dc, const RECT& rect) const;
    bool CreateCustom(HWND parentHwnd, DWORD style, DWORD exStyle = 0);
    bool CreateNative(HWND parentHwnd, const wchar_t* className, DWORD style, DWORD exStyle = 0);
    DWORD BaseStyle() const;
    // The layout's place for the window, relative to the nearest ancestor with a window.
    RECT PlacedRect() const;
    // Container hit testing: the host's frame and caption pass through.
    LRESULT PassThroughHitTest(LPARAM lParam, bool captionPassThrough) const;

    SHostWnd& host_;
    LayoutNode& node_;
    SControl* parent_;
    ControlStyle style_;
    std::vector<std::unique_ptr<SControl>> children_;
    HWND hwnd_ = nullptr;
    bool native_ = false;  // a system control class, which takes its font by WM_SETFONT
    bool enabled_;         // the state before the window exists; the window's own state after
    int id_ = 0;
    std::wstring text_;
    RECT placed_{-1, -1, -1, -1};  // where Move last put the window
    bool stacked_ = false;         // stacked among its siblings (MarkStacked, or its first Move)
};

// Sends a child's notification back to its control; true when the control handled it.
bool ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

// The deepest visible window below `root` at the point (client coordinates of `root`),
// searched from the top of each level's z-order; `root` itself when no child is there.
HWND DeepestChildAt(HWND root, POINT client);

}  // namespace uikit
