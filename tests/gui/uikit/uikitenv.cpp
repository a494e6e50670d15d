#include "tests/gui/uikit/uikitenv.h"

#include <gtest/gtest.h>

#include "tests/gui/support/toolkitenv.h"
#include "tests/support/pump.h"

namespace uikittest {

uikit::SApplication& App()
{
    return testsupport::ToolkitApp({{"btn_close", 65536}, {"lv_file", 65544}});
}

LRESULT TestHost::OnMessage(UINT msg, WPARAM, LPARAM, BOOL& handled)
{
    if (msg == WM_INITDIALOG) {
        initSeen = true;
        visibleAtInit = IsWindowVisible(hwnd_) != FALSE;
    }
    handled = FALSE;
    return 0;
}

std::unique_ptr<TestHost> OpenGallery()
{
    App();
    auto host = std::make_unique<TestHost>("LAYOUT:XML_GALLERY");
    if (!host->Create(nullptr))
        return nullptr;
    SendMessageW(host->Hwnd(), WM_INITDIALOG, 0, 0);
    host->CenterWindow();
    ShowWindow(host->Hwnd(), SW_SHOWNORMAL);
    UpdateWindow(host->Hwnd());
    testsupport::PumpFor(std::chrono::milliseconds(150));
    return host;
}

}  // namespace uikittest
