#pragma once

#include <memory>
#include <string>

#include "uikit/application_win.h"
#include "uikit/hostwnd_win.h"

namespace uikittest {

// The toolkit set up once for the test program, over the program's own resources.
uikit::SApplication& App();

// A host that records the order of WM_INITDIALOG against showing.
class TestHost : public uikit::SHostWnd {
public:
    using uikit::SHostWnd::SHostWnd;
    bool initSeen = false;
    bool visibleAtInit = true;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
};

// Creates the gallery window, sends WM_INITDIALOG, shows it and lets it paint.
std::unique_ptr<TestHost> OpenGallery();

}  // namespace uikittest
