#pragma once

// Host windows built from a layout: a borderless top-level window with its own caption
// area and buttons, a sizing margin and a minimum size; translucent self-sizing popups;
// events of the controls delivered by control name.
//
// A window lays itself out in the pixels of its screen: the layout's sizes (pixels at
// 96 dpi), fonts, skins and icons are scaled to the screen's density when the window is
// made and again when it moves to a screen of another density (WM_DPICHANGED).
//
// The mouse wheel turns the list under the cursor, whichever control has the focus.
// A close request that comes while a modal box of the window is open (the window is then
// disabled) closes the boxes first and the window once they are gone, so that the code
// that opened a box never returns to destroyed controls.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include <windows.h>

#include "uikit/control_win.h"
#include "uikit/layoutengine.h"

namespace uikit {

// Created: a control built after its window was made (a page built on demand) has its
// window now; what a pane keeps for such a control is applied to it then.
enum class EventKind { Command, CheckChanged, Hover, Leave, Created };

struct EventArgs {
    EventKind kind = EventKind::Command;
    SControl* sender = nullptr;
    std::string name;
    bool checked = false;  // CheckChanged: the new state
};

using EventHandler = std::function<void(EventArgs&)>;

// Registers the host window class and the toolkit's control class (done by SApplication).
void RegisterHostClasses(HINSTANCE instance, const std::wstring& hostClassName);

class SHostWnd {
public:
    // `layoutId` names the layout resource; a non-empty `layoutXml` is used instead of it.
    explicit SHostWnd(std::string layoutId, std::string layoutXml = {});
    virtual ~SHostWnd();
    SHostWnd(const SHostWnd&) = delete;
    SHostWnd& operator=(const SHostWnd&) = delete;

    // Builds the window and its controls. A zero width or height takes the layout's size.
    // Returns null, with the reason in the diagnostic log, when the layout cannot be used.
    HWND Create(HWND parent, int x = 0, int y = 0, int cx = 0, int cy = 0);
    HWND Hwnd() const { return hwnd_; }
    void CenterWindow(HWND relativeTo = nullptr) const;
    // Shows and activates a new window, as ShowWindow(SW_SHOWNORMAL) does for a window
    // that is neither minimised nor maximised, but leaves erasing the controls'
    // backgrounds to their own painting: ShowWindow erases every control on the spot, with
    // a device context each, which was most of the time showing the main window took.
    void ShowNormal() const;
    // Content scale in percent on top of the screen's density; the toolkit draws at 100 %
    // only, so other values are refused.
    bool SetScale(int percent) const { return percent == 100; }
    // The density of the window's screen, in dots per inch.
    int Dpi() const { return dpi_; }
    // Pixels at 96 dpi as pixels of the window's screen.
    int Scale(int pixels) const;

    // The dotted focus frame shows on the focused control once the window has been used
    // from the keyboard, or from the start when the system is set to show it always.
    bool FocusCuesShown() const { return focusCues_; }
    void ShowFocusCues();
    // Presses the button `name` as a click would; false when there is none or it cannot
    // be clicked now.
    bool PressButton(std::string_view name) const;
    // Esc: dialogs close as if cancelled; other windows ignore it. True when handled.
    virtual bool OnEscape() { return false; }

    void Subscribe(EventKind kind, std::string name, EventHandler handler);
    void OnCommand(std::string name, std::function<void()> handler);
    void OnCheckChanged(std::string name, std::function<void(bool)> handler);
    void OnHover(std::string name, std::function<void()> handler);
    void OnLeave(std::string name, std::function<void()> handler);
    void OnCreated(std::string name, std::function<void()> handler);

    // The control of that name below the window; with a kind, only a control of that kind
    // ("button" also finds image buttons and hyperlinks). A control on a page not built
    // yet is built for the search (BuildOnDemand): the window is the same, only sooner real.
    SControl* FindControl(std::string_view name, std::string_view kind = {}) const;
    // The control of `node`, built now, with everything below it, when its container left
    // it to be built when needed (a tab control's pages other than the shown one); null for
    // a node without a control (a spacer, a column) or one that cannot be created.
    SControl* BuildOnDemand(LayoutNode& node);
    // Visits every control, parents before children.
    void ForEachControl(const std::function<void(SControl&)>& visit) const;
    template <typename T>
    T* FindControlAs(std::string_view name) const
    {
        return dynamic_cast<T*>(FindControl(name));
    }

    // Creates controls from markup text (one or more elements) inside a container control;
    // returns the first one created, or null when the markup is malformed.
    SControl* CreateChildren(SControl* container, std::string_view markup);

    // Arranges the controls again (self-sizing windows first take their content's size).
    void Relayout();
    // While one lives, Relayout only notes that it was asked for; the last one to end
    // arranges once. For a run of changes that would each arrange the whole window.
    class LayoutBatch {
    public:
        explicit LayoutBatch(SHostWnd& host) : host_(host) { ++host_.layoutHeld_; }
        ~LayoutBatch();
        LayoutBatch(const LayoutBatch&) = delete;
        LayoutBatch& operator=(const LayoutBatch&) = delete;

    private:
        SHostWnd& host_;
    };
    void FireEvent(EventArgs& args);

    UINT_PTR SetTimer(UINT_PTR id, UINT milliseconds) const { return ::SetTimer(hwnd_, id, milliseconds, nullptr); }
    bool KillTimer(UINT_PTR id) const { return ::KillTimer(hwnd_, id) != FALSE; }

    LayoutNode* Root() const { return root_.get(); }
    // The root's appearance, read once with the layout.
    const ControlStyle& RootStyle() const { return rootStyle_; }
    SControl* ControlOf(const LayoutNode* node) const;
    // Frame and caption test in client coordinates: HTLEFT..HTBOTTOMRIGHT, HTCAPTION or HTCLIENT.
    LRESULT FrameHitTest(POINT client) const;
    // Popups delete their object once their window is gone.
    void SetAutoDelete(bool autoDelete) { autoDelete_ = autoDelete; }

    static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // The host object behind a window of the host class, or null.
    static SHostWnd* FromHwnd(HWND hwnd);

protected:
    // The message hook of derived windows: set `handled` to stop the toolkit's handling.
    virtual LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
    // Delivers an event to the handlers subscribed for the control's name; a window button
    // (btn_close, btn_min, btn_max, btn_restore) without a handler does its usual job.
    virtual void OnEvent(EventArgs& args);
    virtual void OnFinalMessage(HWND) {}
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);

    bool LoadLayout();
    // Makes the control objects for the children of `node` and below, without windows;
    // the pages a container builds on demand are left out.
    void ConstructControls(LayoutNode& node, SControl* parentControl);
    SControl* ConstructControl(LayoutNode& node, SControl* parentControl);
    // Creates the windows of `controls` and of the controls below them, last sibling
    // first. With `fresh` (no other window lies in `parentHwnd`) each then lies where the
    // layout stacks it, above the siblings before it, without being raised. A control
    // whose window cannot be created is dropped with the controls below it.
    void CreateWindows(const std::vector<std::unique_ptr<SControl>>& controls, HWND parentHwnd, bool fresh);
    bool CreateWindowTree(SControl& control, HWND parentHwnd, bool fresh);
    // Builds the control of `node`, with the controls below it, into a window that has
    // controls already; false when the node has no control or it cannot be created.
    bool BuildControl(LayoutNode& node, SControl* parentControl, HWND parentHwnd);
    // Builds the first control named `name` below `node` that is not built yet.
    bool BuildNamedOnDemand(std::string_view name, LayoutNode& node);
    // Computes every node's place for the current client area.
    void ArrangeNodes();
    // Puts the controls' windows where the nodes are (ArrangeNodes) and repaints.
    void PlaceControls();
    void Arrange();
    void PaintRoot(HDC dc, const RECT& client) const;
    // Lays the window out for a screen of `dpi`: layout, appearance, controls.
    void SetDpi(int dpi);
    void OnDpiChanged(int dpi, const RECT& suggested);
    void SetIcons() const;
    // Tells the system controls whether to draw focus frames (FocusCuesShown).
    void UpdateFocusCueState() const;
    // Passes the wheel to the list under the cursor; a wheel message that comes back up
    // from it (a control hands what it does not use to its parent) goes no further.
    void RouteWheel(UINT msg, WPARAM wParam, LPARAM lParam);
    // WM_CLOSE while a modal box is open: asks the boxes to close and repeats the close
    // request until they have; false when no box is open.
    bool CloseModalsFirst();

    std::string layoutId_;
    std::string layoutXml_;
    std::unique_ptr<LayoutNode> root_;
    ControlStyle rootStyle_;
    int sizingMargin_ = 0;  // 0: not resizable by its edges
    std::vector<std::unique_ptr<SControl>> controls_;
    std::unordered_map<const LayoutNode*, SControl*> nodeControls_;
    std::map<std::pair<EventKind, std::string>, std::vector<EventHandler>> handlers_;
    HWND hwnd_ = nullptr;
    bool building_ = false;
    int layoutHeld_ = 0;          // LayoutBatch objects alive
    bool layoutPending_ = false;  // Relayout asked for while held
    bool autoDelete_ = false;
    int callDepth_ = 0;           // messages of this window being handled right now
    bool deletePending_ = false;  // auto-delete once the outermost message returns
    bool fitWidth_ = false;
    bool fitHeight_ = false;
    bool translucent_ = false;
    int nextId_ = 1000;
    int dpi_ = 96;
    bool focusCues_ = false;
    HWND savedFocus_ = nullptr;  // the focused control while the window is inactive
    bool routingWheel_ = false;

    friend class SControl;
    int AllocateId(const std::string& name);
    void Register(SControl* control) { nodeControls_[&control->Node()] = control; }
    void Unregister(SControl* control) { nodeControls_.erase(&control->Node()); }
};

}  // namespace uikit
