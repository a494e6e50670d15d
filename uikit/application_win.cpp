#include "uikit/application_win.h"

#include "common/textutil.h"
#include "uikit/diaglog_win.h"
#include "uikit/hostwnd_win.h"
#include "uikit/keyboard_win.h"

namespace uikit {
namespace {

SApplication* g_app = nullptr;

}  // namespace

SApplication::SApplication(SRenderFactory* render, HINSTANCE instance, std::wstring hostClassName)
    : render_(render), instance_(instance), hostClassName_(std::move(hostClassName))
{
    g_app = this;
    RegisterHostClasses(instance_, hostClassName_);
}

SApplication::~SApplication()
{
    if (g_app == this)
        g_app = nullptr;
}

SApplication* SApplication::Get()
{
    return g_app;
}

bool SApplication::SetSystemResources(std::shared_ptr<SResProvider> provider)
{
    if (!provider || !provider->Init())
        return false;
    system_ = std::move(provider);
    std::string xml;
    if (!system_->Load(kSystemUiDefId, xml)) {
        DiagLog(L"system UI definition not found");
        return false;
    }
    std::string error;
    if (!ui_.Load(
            xml, [this](const std::string& id, std::string& text) { return LoadResource(id, text); }, error)) {
        DiagLog(L"system UI definition: " + FromUtf8(error));
        return false;
    }
    return true;
}

bool SApplication::AddResources(std::shared_ptr<SResProvider> provider, std::string_view uidefId)
{
    if (!provider || !provider->Init())
        return false;
    providers_.push_back(provider);
    if (!system_)
        SetSystemResources(std::make_shared<SResProvider>(provider->Module()));
    if (uidefId.empty())
        return true;
    std::string xml;
    if (!provider->Load(uidefId, xml)) {
        DiagLog(L"UI definition \"" + FromUtf8(uidefId) + L"\" not found");
        return false;
    }
    std::string error;
    if (!ui_.Load(
            xml, [this](const std::string& id, std::string& text) { return LoadResource(id, text); }, error)) {
        DiagLog(L"UI definition \"" + FromUtf8(uidefId) + L"\": " + FromUtf8(error));
        return false;
    }
    // Skins may have been redefined: decode again on next use.
    skins_.clear();
    return true;
}

bool SApplication::LoadResource(std::string_view id, std::string& bytes) const
{
    for (auto it = providers_.rbegin(); it != providers_.rend(); ++it) {
        if ((*it)->Load(id, bytes))
            return true;
    }
    return system_ && system_->Load(id, bytes);
}

std::shared_ptr<const SSkin> SApplication::Skin(std::string_view name)
{
    if (name.empty())
        return nullptr;
    auto found = skins_.find(name);
    if (found != skins_.end())
        return found->second;
    const SkinDef* def = ui_.FindSkin(name);
    if (!def) {
        DiagLog(L"skin \"" + FromUtf8(name) + L"\" is not defined");
        skins_.emplace(std::string(name), nullptr);
        return nullptr;
    }
    auto skin = std::make_shared<SSkin>();
    skin->def = *def;
    if (!def->image.empty()) {
        std::string bytes;
        if (LoadResource(def->image, bytes))
            skin->image = render_->DecodeImage(bytes);
        if (!skin->image)
            DiagLog(L"image \"" + FromUtf8(def->image) + L"\" of skin \"" + FromUtf8(name) + L"\" cannot be loaded");
    }
    skins_.emplace(std::string(name), skin);
    return skin;
}

void SApplication::RegisterNamedIds(const std::vector<std::pair<std::string, int>>& table)
{
    for (const auto& [name, id] : table)
        namedIds_[name] = id;
}

int SApplication::NamedId(std::string_view name) const
{
    const auto it = namedIds_.find(name);
    return it == namedIds_.end() ? 0 : it->second;
}

int SApplication::Run(HWND mainWnd)
{
    mainWnd_ = mainWnd;
    if (!mainWnd || !IsWindow(mainWnd))
        return 0;
    MSG msg{};
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1)
            break;
        ProcessMessage(msg);
    }
    mainWnd_ = nullptr;
    return static_cast<int>(msg.wParam);
}

void SApplication::ProcessMessage(const MSG& msg)
{
    if (PreTranslateInput(msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void SApplication::OnHostDestroyed(HWND hwnd)
{
    if (hwnd && hwnd == mainWnd_)
        PostQuitMessage(0);
}

}  // namespace uikit
