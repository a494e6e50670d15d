#include "tools/demodriver/windows_win.h"

#include <commctrl.h>

#include <thread>

namespace demo {
namespace {

struct ChildSearch {
    const ChildQuery* query;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<ChildSearch*>(param);
    const ChildQuery& q = *search->query;
    if (q.visibleOnly && !IsWindowVisible(hwnd))
        return TRUE;
    if (q.id != 0 && GetDlgCtrlID(hwnd) != q.id)
        return TRUE;
    if (!q.className.empty() && _wcsicmp(ClassOf(hwnd).c_str(), q.className.c_str()) != 0)
        return TRUE;
    if (!q.text.empty() && TextOf(hwnd) != q.text)
        return TRUE;
    search->found.push_back(hwnd);
    return TRUE;
}

struct TopSearch {
    const std::wstring* className;
    const std::wstring* titlePart;
    DWORD pid = 0;
    HWND except = nullptr;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<TopSearch*>(param);
    if (!IsWindowVisible(hwnd) || hwnd == search->except)
        return TRUE;
    if (search->pid != 0) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (pid != search->pid)
            return TRUE;
    }
    if (search->className && ClassOf(hwnd) != *search->className)
        return TRUE;
    if (search->titlePart && TextOf(hwnd).find(*search->titlePart) == std::wstring::npos)
        return TRUE;
    search->found.push_back(hwnd);
    return TRUE;
}

LPARAM ClientCentre(HWND hwnd)
{
    RECT client{};
    GetClientRect(hwnd, &client);
    return MAKELPARAM(client.right / 2, client.bottom / 2);
}

}  // namespace

std::vector<HWND> FindChildren(HWND root, const ChildQuery& query)
{
    ChildSearch search{&query, {}};
    if (root)
        EnumChildWindows(root, CollectChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindChild(HWND root, const ChildQuery& query)
{
    const std::vector<HWND> found = FindChildren(root, query);
    return found.empty() ? nullptr : found.front();
}

HWND FindTopLevel(const std::wstring& className, const std::wstring& titlePart)
{
    TopSearch search{&className, &titlePart, 0, nullptr, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found.empty() ? nullptr : search.found.front();
}

std::vector<HWND> TopLevelOfProcess(DWORD pid, HWND except)
{
    TopSearch search{nullptr, nullptr, pid, except, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring ClassOf(HWND hwnd)
{
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    return name;
}

std::wstring TextOf(HWND hwnd)
{
    // WM_GETTEXT is copied across processes by the system, unlike most control messages.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             2000, &copied))
        return {};
    text.resize(std::min<size_t>(copied, length));
    return text;
}

RECT ScreenRect(HWND hwnd)
{
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return rect;
}

bool Click(HWND control)
{
    if (!control || !IsWindowVisible(control) || !IsWindowEnabled(control))
        return false;
    const LPARAM at = ClientCentre(control);
    PostMessageW(control, WM_MOUSEMOVE, 0, at);
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(control, WM_LBUTTONUP, 0, at);
    return true;
}

bool ClickButton(HWND button)
{
    if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button))
        return false;
    return PostMessageW(button, BM_CLICK, 0, 0) != FALSE;
}

bool TypeText(HWND edit, const std::wstring& text)
{
    if (!edit || !IsWindow(edit))
        return false;
    // Select what the box holds so that the typing replaces it, as selecting a
    // pre-filled name box and typing over it would.
    PostMessageW(edit, EM_SETSEL, 0, -1);
    for (wchar_t ch : text) {
        if (!PostMessageW(edit, WM_CHAR, ch, 1))
            return false;
        // A short pause between keys keeps the box's auto-completion in step.
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

bool PressKey(HWND target, UINT virtualKey)
{
    if (!target || !IsWindow(target))
        return false;
    const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    PostMessageW(target, WM_KEYDOWN, virtualKey, 1 | (static_cast<LPARAM>(scan) << 16));
    PostMessageW(target, WM_KEYUP, virtualKey, 1 | (static_cast<LPARAM>(scan) << 16) | (3LL << 30));
    return true;
}

bool WaitUntil(std::chrono::milliseconds timeout, const std::function<bool()>& ready,
               std::chrono::milliseconds interval)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (ready())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(interval);
    }
}

int ListViewRows(HWND listView)
{
    DWORD_PTR count = 0;
    if (!listView || !SendMessageTimeoutW(listView, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count))
        return -1;
    return static_cast<int>(count);
}

std::vector<std::wstring> ListBoxLines(HWND listBox)
{
    std::vector<std::wstring> lines;
    DWORD_PTR count = 0;
    if (!listBox || !SendMessageTimeoutW(listBox, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count) ||
        static_cast<LRESULT>(count) == LB_ERR)
        return lines;
    for (DWORD_PTR i = 0; i < count; ++i) {
        DWORD_PTR length = 0;
        if (!SendMessageTimeoutW(listBox, LB_GETTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 2000, &length) ||
            static_cast<LRESULT>(length) == LB_ERR)
            return {};
        std::wstring line(length + 1, L'\0');
        DWORD_PTR copied = 0;
        if (!SendMessageTimeoutW(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()), SMTO_ABORTIFHUNG, 2000,
                                 &copied) ||
            static_cast<LRESULT>(copied) == LB_ERR)
            return {};
        line.resize(std::min<size_t>(copied, length));
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace demo
