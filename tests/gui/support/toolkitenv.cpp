#include "tests/gui/support/toolkitenv.h"

#include <functional>
#include <memory>

#include "tests/support/pump.h"
#include "uikit/toolkit_win.h"

namespace testsupport {

uikit::SApplication& ToolkitApp(const std::vector<std::pair<std::string, int>>& namedIds)
{
    static const std::unique_ptr<uikit::SToolkit> toolkit = [&namedIds] {
        HINSTANCE self = GetModuleHandleW(nullptr);
        auto started = uikit::SToolkit::Start(self, L"imgdecoder-stb", L"SearchHost", namedIds);
        started->LoadResources(self, "uidef:xml_init");
        SetMessageDispatcher(uikit::SApplication::ProcessMessage);
        return started;
    }();
    return toolkit->App();
}

void BuildEveryPage(uikit::SHostWnd& host)
{
    const std::function<void(uikit::LayoutNode&)> visit = [&](uikit::LayoutNode& node) {
        host.BuildOnDemand(node);
        for (auto& child : node.children)
            visit(*child);
    };
    for (auto& child : host.Root()->children)
        visit(*child);
}

}  // namespace testsupport
