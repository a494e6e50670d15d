#pragma once

// The toolkit's start-up, one sequence for the program, its tests and its timing
// programs: the render factory, the image decoder chosen by name, the application object
// with its host window class and named control identifiers, then the resources.

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <windows.h>

#include "uikit/application_win.h"
#include "uikit/render_win.h"

namespace uikit {

class SToolkit {
public:
    // The render factory, the decoder of `decoderName` and the application object, which
    // registers `hostClassName` and the named identifiers. Null, with the diagnostic
    // kLoadRenderFailed or kLoadInterfaceFailedFormat ("imgdecoder"), when the render
    // factory or the decoder cannot be created.
    static std::unique_ptr<SToolkit> Start(HINSTANCE instance, std::wstring_view decoderName,
                                           std::wstring hostClassName,
                                           const std::vector<std::pair<std::string, int>>& namedIds);

    // The toolkit's own resources and the application's, both from `instance`, with the
    // application's UI definition `uidefId`. False when the application's resources
    // cannot be used.
    bool LoadResources(HINSTANCE instance, std::string_view uidefId);

    SApplication& App() const { return *app_; }

private:
    SToolkit() = default;
    std::unique_ptr<SRenderFactory> render_;  // declared first: it outlives the application object
    std::unique_ptr<SApplication> app_;
};

}  // namespace uikit
