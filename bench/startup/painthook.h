#pragma once
// What the paint hook and the start-up timing program share: the names of the objects
// through which the hook, running inside the measured program, hands over its figure.

#include <windows.h>

inline constexpr wchar_t kPaintReportMapping[] = L"Local\\SfStartupBenchReport";
inline constexpr wchar_t kPaintedEvent[] = L"Local\\SfStartupBenchPainted";
inline constexpr char kPaintHookProc[] = "SfStartupGetMessageHook";

struct PaintReport {
    // From the process's creation (as the system recorded it) to the end of the first
    // WM_PAINT of its first top-level window, in milliseconds.
    double msSinceCreation = 0;
};
