#pragma once

// The toolkit's application object: rendering, resources (the toolkit's own system
// resources and the application's), the merged UI definition, skins, the named control
// identifiers, the host window class and the message loop.

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <windows.h>

#include "uikit/render_win.h"
#include "uikit/resprovider_win.h"
#include "uikit/uidef.h"

namespace uikit {

// Texts of the start-up diagnostics.
inline constexpr wchar_t kLoadRenderFailed[] = L"load interface [render] failed!";
inline constexpr wchar_t kLoadInterfaceFailedFormat[] = L"load interface [%s] failed!";
// The toolkit's own UI definition (system skins) and message-box layout.
inline constexpr char kSystemUiDefId[] = "UIDEF:SYS_UIDEF";
inline constexpr char kMessageBoxLayoutId[] = "LAYOUT:SYS_MSGBOX";

class SApplication {
public:
    // Registers `hostClassName` as the window class of every host window.
    SApplication(SRenderFactory* render, HINSTANCE instance, std::wstring hostClassName);
    ~SApplication();
    SApplication(const SApplication&) = delete;
    SApplication& operator=(const SApplication&) = delete;

    // The one application object (null before it is created).
    static SApplication* Get();

    HINSTANCE Instance() const { return instance_; }
    const std::wstring& HostClassName() const { return hostClassName_; }
    SRenderFactory& Render() { return *render_; }

    // Where the toolkit's own resources live; loads their UI definition.
    bool SetSystemResources(std::shared_ptr<SResProvider> provider);
    // Adds an application resource source and merges the UI definition `uidefId` from it.
    bool AddResources(std::shared_ptr<SResProvider> provider, std::string_view uidefId);
    void SetAppDir(std::wstring dir) { appDir_ = std::move(dir); }
    const std::wstring& AppDir() const { return appDir_; }

    // Looks an identifier up in the application sources (newest first), then the system one.
    bool LoadResource(std::string_view id, std::string& bytes) const;

    const UiDefinition& Ui() const { return ui_; }
    UiDefinition& Ui() { return ui_; }
    // The skin of that name, decoded on first use; null when unknown or undecodable.
    // Controls keep the skins they were built with, even when a later UI definition
    // redefines them.
    std::shared_ptr<const SSkin> Skin(std::string_view name);
    HFONT Font(const FontDesc& desc, int dpi) { return render_->Font(desc, dpi); }

    void RegisterNamedIds(const std::vector<std::pair<std::string, int>>& table);
    // The registered identifier of a control name, or 0.
    int NamedId(std::string_view name) const;

    // Runs the message loop until `mainWnd` is destroyed; returns the quit code.
    int Run(HWND mainWnd);
    // One turn of every message loop of the toolkit: the keyboard's look at the message
    // (PreTranslateInput), then translation and dispatch.
    static void ProcessMessage(const MSG& msg);
    HWND MainWnd() const { return mainWnd_; }
    // Called by host windows as they are destroyed.
    void OnHostDestroyed(HWND hwnd);

private:
    SRenderFactory* render_;
    HINSTANCE instance_;
    std::wstring hostClassName_;
    std::wstring appDir_;
    std::shared_ptr<SResProvider> system_;
    std::vector<std::shared_ptr<SResProvider>> providers_;
    UiDefinition ui_;
    std::map<std::string, std::shared_ptr<const SSkin>, std::less<>> skins_;
    std::map<std::string, int, std::less<>> namedIds_;
    HWND mainWnd_ = nullptr;
};

}  // namespace uikit
