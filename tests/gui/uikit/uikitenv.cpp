#include "tests/gui/uikit/uikitenv.h"

#include <gtest/gtest.h>

#include "tests/support/pump.h"

namespace uikittest {
namespace {

struct Toolkit {
    std::unique_ptr<uikit::SRenderFactory> render;
    std::unique_ptr<uikit::SApplication> app;
};

Toolkit& TheToolkit()
{
    static Toolkit toolkit = [] {
        Toolkit t;
        t.render = uikit::CreateRenderFactory();
        t.render->SetImgDecoderFactory(uikit::CreateImgDecoderFactory(L"imgdecoder-stb"));
        HINSTANCE self = GetModuleHandleW(nullptr);
        t.app = std::make_unique<uikit::SApplication>(t.render.get(), self, L"SearchHost");
        t.app->RegisterNamedIds({{"btn_close", 65536}, {"lv_file", 65544}});
        t.app->SetSystemResources(std::make_shared<uikit::SResProvider>(self));
        t.app->AddResources(std::make_shared<uikit::SResProvider>(self), "uidef:xml_init");
        return t;
    }();
    return toolkit;
}

}  // namespace

uikit::SApplication& App()
{
    return *TheToolkit().app;
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
