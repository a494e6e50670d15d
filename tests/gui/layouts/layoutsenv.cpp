#include "tests/gui/layouts/layoutsenv.h"

#include "syncfolderapp/namedids.h"
#include "tests/gui/support/toolkitenv.h"
#include "tests/support/pump.h"
#include "tests/support/screenshot.h"

namespace layoutstest {

uikit::SApplication& App()
{
    return testsupport::ToolkitApp(NamedControlIds());
}

std::unique_ptr<uikit::SHostWnd> OpenMainWindow()
{
    App();
    auto host = std::make_unique<uikit::SHostWnd>("LAYOUT:XML_MAINWND");
    if (!host->Create(GetActiveWindow()))
        return nullptr;
    SendMessageW(host->Hwnd(), WM_INITDIALOG, 0, 0);
    host->CenterWindow();
    ShowWindow(host->Hwnd(), SW_SHOWNORMAL);
    UpdateWindow(host->Hwnd());
    testsupport::PumpFor(std::chrono::milliseconds(100));
    return host;
}

RECT ClientRectOf(const uikit::SHostWnd& host, const uikit::SControl& control)
{
    RECT r = control.ScreenRect();
    MapWindowPoints(nullptr, host.Hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int Width(const RECT& r)
{
    return r.right - r.left;
}

int Height(const RECT& r)
{
    return r.bottom - r.top;
}

bool Snapshot(HWND window, const std::string& name)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    testsupport::PumpFor(std::chrono::milliseconds(150));
    return !testsupport::SaveScreenshot(window, name).empty();
}

}  // namespace layoutstest
