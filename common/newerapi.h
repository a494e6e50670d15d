#pragma once

// Functions of Windows versions newer than Windows 7 SP1, reached through run-time
// lookups, each with a fallback that Windows 7 SP1 has. A function is used only when the
// running system reports a version that has it as well as exports it, so a system that
// reports an older version takes the fallback too.

#include <windows.h>

// The running system's version as it reports itself through RtlGetVersion, which, unlike
// GetVersionEx, does not depend on the versions the program's manifest names.
struct WindowsVersion {
    DWORD major = 0;
    DWORD minor = 0;
    DWORD build = 0;
};
// Read once.
const WindowsVersion& RunningWindowsVersion();

// The lookups; null where the running system is older than the function or lacks it.
struct NewerApi {
    UINT(WINAPI* getDpiForSystem)() = nullptr;                                 // user32, Windows 10 1607
    UINT(WINAPI* getDpiForWindow)(HWND) = nullptr;                             // user32, Windows 10 1607
    int(WINAPI* getSystemMetricsForDpi)(int, UINT) = nullptr;                  // user32, Windows 10 1607
    HRESULT(WINAPI* getDpiForMonitor)(HMONITOR, int, UINT*, UINT*) = nullptr;  // shcore, Windows 8.1
};
// The lookups made on the running system, once, on first use. shcore is loaded (from the
// system folder) only where a window's density cannot be asked from user32.
const NewerApi& SystemNewerApi();
// Makes the functions below use `lookups` instead (a test forces every fallback with an
// empty table); null goes back to the system's.
void OverrideNewerApi(const NewerApi* lookups);

// The system's density in dots per inch: GetDpiForSystem, or LOGPIXELSX of the screen.
int SystemDpi();
// The density of the screen `window` is on: GetDpiForWindow, or GetDpiForMonitor of the
// window's monitor, or the system's density.
int WindowDpi(HWND window);
// System metric `index` at `dpi`: GetSystemMetricsForDpi, or the metric at the system's
// density (what a program aware of densities gets) rescaled to `dpi`.
int SystemMetricForDpi(int index, int dpi);
