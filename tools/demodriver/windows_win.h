#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// Finding and operating another process's windows the way an operator's hands would:
// by class, caption, control identifier and position, with mouse and keyboard messages.
// Nothing here knows the program's code; everything goes through window messages.
namespace demo {

// A descendant of `root` (any depth) matching the class name (exact, empty = any),
// the window text (exact, empty = any) and the control identifier (0 = any).
struct ChildQuery {
    std::wstring className;
    std::wstring text;
    int id = 0;
    bool visibleOnly = false;
};

std::vector<HWND> FindChildren(HWND root, const ChildQuery& query);
HWND FindChild(HWND root, const ChildQuery& query);

// Visible top-level windows of the given class whose title contains `titlePart`.
HWND FindTopLevel(const std::wstring& className, const std::wstring& titlePart);
// Visible top-level windows owned by the process `pid`, other than `except`.
std::vector<HWND> TopLevelOfProcess(DWORD pid, HWND except = nullptr);

std::wstring ClassOf(HWND hwnd);
std::wstring TextOf(HWND hwnd);
RECT ScreenRect(HWND hwnd);

// Moves the mouse over the control and presses and releases its left button in the
// middle of it. Posted, never sent: a click may open a modal dialog that keeps the
// program's UI thread busy until the driver itself answers it.
bool Click(HWND control);
// A click on a native check box or radio button (BM_CLICK, posted).
bool ClickButton(HWND button);
// Gives the control the keyboard focus and types the text into it one character at a
// time (WM_CHAR), as keystrokes reach an edit box.
bool TypeText(HWND edit, const std::wstring& text);
// Presses and releases one key (WM_KEYDOWN / WM_KEYUP) on the window with the focus.
bool PressKey(HWND target, UINT virtualKey);

// Waits until `ready` answers true, asking every `interval`; false after the timeout.
bool WaitUntil(std::chrono::milliseconds timeout, const std::function<bool()>& ready,
               std::chrono::milliseconds interval = std::chrono::milliseconds(50));

// List view rows of a control in another process (LVM_GETITEMCOUNT carries no pointer).
int ListViewRows(HWND listView);
// Lines of a list box in another process; the system copies LB_GETTEXT's text across.
std::vector<std::wstring> ListBoxLines(HWND listBox);

}  // namespace demo
