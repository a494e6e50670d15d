#include "uikit/toolkit_win.h"

#include "uikit/diaglog_win.h"
#include "uikit/resprovider_win.h"

namespace uikit {

std::unique_ptr<SToolkit> SToolkit::Start(HINSTANCE instance, std::wstring_view decoderName, std::wstring hostClassName,
                                          const std::vector<std::pair<std::string, int>>& namedIds)
{
    std::unique_ptr<SToolkit> toolkit(new SToolkit());
    toolkit->render_ = CreateRenderFactory();
    if (!toolkit->render_) {
        DiagLog(kLoadRenderFailed);
        return nullptr;
    }
    std::shared_ptr<SImgDecoderFactory> decoder = CreateImgDecoderFactory(decoderName);
    if (!decoder) {
        DiagLogf(kLoadInterfaceFailedFormat, L"imgdecoder");
        return nullptr;
    }
    toolkit->render_->SetImgDecoderFactory(std::move(decoder));
    toolkit->app_ = std::make_unique<SApplication>(toolkit->render_.get(), instance, std::move(hostClassName));
    toolkit->app_->RegisterNamedIds(namedIds);
    return toolkit;
}

bool SToolkit::LoadResources(HINSTANCE instance, std::string_view uidefId)
{
    app_->SetSystemResources(std::make_shared<SResProvider>(instance));
    auto resources = std::make_shared<SResProvider>(instance);
    if (!resources->Init())
        return false;
    app_->AddResources(std::move(resources), uidefId);
    return true;
}

}  // namespace uikit
