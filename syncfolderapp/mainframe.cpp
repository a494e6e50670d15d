#include "syncfolderapp/mainframe.h"

#include "resources/resource.h"

namespace {

const wchar_t kHostClass[] = L"SearchHost";
const wchar_t kTitle[] = L"Korvel文件同步工具-Korvel技术服务平台 官网：";
constexpr int kWidth = 900;
constexpr int kHeight = 600;

bool RegisterHostClass(HINSTANCE instance, WNDPROC proc)
{
    WNDCLASSEXW wc{};
    if (GetClassInfoExW(instance, kHostClass, &wc))
        return true;
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kHostClass;
    wc.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(ICON_LOGO), IMAGE_ICON, 32, 32, 0));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(ICON_LOGO), IMAGE_ICON, 16, 16, 0));
    return RegisterClassExW(&wc) != 0;
}

}  // namespace

bool CMainFrame::Create(HINSTANCE instance, HWND parent)
{
    if (!RegisterHostClass(instance, &CMainFrame::WindowProc))
        return false;
    hwnd_ = CreateWindowExW(0, kHostClass, kTitle, WS_OVERLAPPEDWINDOW, 0, 0, kWidth, kHeight, parent, nullptr,
                            instance, this);
    if (hwnd_ == nullptr)
        return false;
    SendMessageW(hwnd_, WM_INITDIALOG, 0, 0);
    return true;
}

void CMainFrame::CenterAndShow()
{
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT rc{};
    GetWindowRect(hwnd_, &rc);
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
}

LRESULT CALLBACK CMainFrame::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<CMainFrame*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<CMainFrame*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self ? self->HandleMessage(msg, wParam, lParam) : DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CMainFrame::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_DESTROY:
        // The main window's end is the end of the message loop.
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hwnd_, msg, wParam, lParam);
    }
}
