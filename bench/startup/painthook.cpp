// A WH_GETMESSAGE hook the start-up timing program installs on the main thread of the
// program it starts. The system loads this library into that program when the thread
// first takes a message. When the first WM_PAINT of a top-level window is taken from the
// queue, the hook subclasses that window; when the window procedure returns from that
// paint, the time since the process was created is written to the shared report and the
// timing program is woken.
#include <windows.h>

#include "bench/startup/painthook.h"

namespace {

WNDPROC g_original = nullptr;
bool g_reported = false;

unsigned long long Ticks(const FILETIME& time)
{
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

void Report()
{
    FILETIME now, created, exited, kernel, user;
    GetSystemTimePreciseAsFileTime(&now);
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return;
    HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, kPaintReportMapping);
    HANDLE painted = OpenEventW(EVENT_MODIFY_STATE, FALSE, kPaintedEvent);
    if (mapping && painted) {
        if (auto* report =
                static_cast<PaintReport*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(PaintReport)))) {
            report->msSinceCreation = static_cast<double>(Ticks(now) - Ticks(created)) / 10000.0;
            UnmapViewOfFile(report);
            SetEvent(painted);
        }
    }
    if (painted)
        CloseHandle(painted);
    if (mapping)
        CloseHandle(mapping);
}

LRESULT CALLBACK AfterPaint(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CallWindowProcW(g_original, hwnd, msg, wParam, lParam);
    if (msg == WM_PAINT && !g_reported) {
        g_reported = true;
        Report();
    }
    return result;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK SfStartupGetMessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && !g_original && msg->message == WM_PAINT && msg->hwnd &&
        !(GetWindowLongW(msg->hwnd, GWL_STYLE) & WS_CHILD)) {
        g_original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(msg->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfterPaint)));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
