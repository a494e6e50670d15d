#include "common/newerapi.h"

#include "common/systemlibrary.h"
#include "common/winhandle.h"

// In ntdll since Windows 2000; declared only in the driver kit's headers.
extern "C" NTSYSAPI LONG NTAPI RtlGetVersion(PRTL_OSVERSIONINFOW info);

namespace {

// MONITOR_DPI_TYPE's MDT_EFFECTIVE_DPI: the density the system scales desktop programs to.
constexpr int kEffectiveDpi = 0;

bool AtLeast(const WindowsVersion& version, DWORD major, DWORD minor, DWORD build = 0)
{
    if (version.major != major)
        return version.major > major;
    if (version.minor != minor)
        return version.minor > minor;
    return version.build >= build;
}

template <typename Function>
void Find(HMODULE module, const char* name, Function& function)
{
    function = FindFunction<Function>(module, name);
}

NewerApi LoadNewerApi(Module& shcore)
{
    NewerApi api;
    const WindowsVersion& version = RunningWindowsVersion();
    if (AtLeast(version, 10, 0, 14393)) {
        // In the program's import table, so loaded already.
        const HMODULE user32 = GetModuleHandleW(L"user32.dll");
        Find(user32, "GetDpiForSystem", api.getDpiForSystem);
        Find(user32, "GetDpiForWindow", api.getDpiForWindow);
        Find(user32, "GetSystemMetricsForDpi", api.getSystemMetricsForDpi);
    }
    if (!api.getDpiForWindow && AtLeast(version, 6, 3)) {
        shcore = LoadSystemLibrary(L"shcore.dll");
        if (shcore)
            Find(shcore.Get(), "GetDpiForMonitor", api.getDpiForMonitor);
    }
    return api;
}

const NewerApi* g_override = nullptr;

const NewerApi& Lookups()
{
    return g_override ? *g_override : SystemNewerApi();
}

}  // namespace

const WindowsVersion& RunningWindowsVersion()
{
    static const WindowsVersion version = [] {
        RTL_OSVERSIONINFOW info{};
        info.dwOSVersionInfoSize = sizeof(info);
        WindowsVersion reported;
        if (RtlGetVersion(&info) >= 0)
            reported = {info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
        return reported;
    }();
    return version;
}

const NewerApi& SystemNewerApi()
{
    // Kept loaded while the lookups into it may be used.
    static Module shcore;
    static const NewerApi api = LoadNewerApi(shcore);
    return api;
}

void OverrideNewerApi(const NewerApi* lookups)
{
    g_override = lookups;
}

int SystemDpi()
{
    if (const auto getDpiForSystem = Lookups().getDpiForSystem) {
        if (const UINT dpi = getDpiForSystem(); dpi > 0)
            return static_cast<int>(dpi);
    }
    const WindowDc screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : 0;
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

int WindowDpi(HWND window)
{
    const NewerApi& api = Lookups();
    if (api.getDpiForWindow) {
        if (const UINT dpi = api.getDpiForWindow(window); dpi > 0)
            return static_cast<int>(dpi);
    }
    if (api.getDpiForMonitor) {
        UINT dpiX = 0, dpiY = 0;
        const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
        if (SUCCEEDED(api.getDpiForMonitor(monitor, kEffectiveDpi, &dpiX, &dpiY)) && dpiX > 0)
            return static_cast<int>(dpiX);
    }
    return SystemDpi();
}

int SystemMetricForDpi(int index, int dpi)
{
    if (const auto getSystemMetricsForDpi = Lookups().getSystemMetricsForDpi)
        return getSystemMetricsForDpi(index, static_cast<UINT>(dpi));
    return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}
