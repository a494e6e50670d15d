#include "tests/gui/support/toolkitenv.h"

#include <memory>

#include "uikit/render_win.h"
#include "uikit/resprovider_win.h"

namespace testsupport {

uikit::SApplication& ToolkitApp(const std::vector<std::pair<std::string, int>>& namedIds)
{
    struct Toolkit {
        std::unique_ptr<uikit::SRenderFactory> render;
        std::unique_ptr<uikit::SApplication> app;
    };
    static Toolkit toolkit = [&namedIds] {
        Toolkit t;
        t.render = uikit::CreateRenderFactory();
        t.render->SetImgDecoderFactory(uikit::CreateImgDecoderFactory(L"imgdecoder-stb"));
        HINSTANCE self = GetModuleHandleW(nullptr);
        t.app = std::make_unique<uikit::SApplication>(t.render.get(), self, L"SearchHost");
        t.app->RegisterNamedIds(namedIds);
        t.app->SetSystemResources(std::make_shared<uikit::SResProvider>(self));
        t.app->AddResources(std::make_shared<uikit::SResProvider>(self), "uidef:xml_init");
        return t;
    }();
    return *toolkit.app;
}

}  // namespace testsupport
