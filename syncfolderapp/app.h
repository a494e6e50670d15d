#pragma once

#include <memory>
#include <string>

#include <windows.h>

#include "uikit/toolkit_win.h"

// Layouts of the two popups, read each time a popup is built.
inline constexpr char kToastLayoutId[] = "LAYOUT:XML_TOAST";
inline constexpr char kToolTipLayoutId[] = "LAYOUT:XML_TOOLTIP";
inline constexpr char kMainWndLayoutId[] = "LAYOUT:XML_MAINWND";

// The process-wide application context: the UI toolkit, the program's directories,
// start-up of the main window and the exit routine. One object with static lifetime,
// never torn down: the process ends by terminating itself.
class CApp {
public:
    // Prepares the toolkit (rendering, the image decoder chosen by name, the host window
    // class, the named control identifiers), makes the executable's directory the current
    // directory and derives the data directory.
    bool Init(HINSTANCE instance);

    // The toolkit's own resources and the program's resources with its UI definition;
    // false when the program's resources cannot be used.
    bool LoadResources();

    // Creates the main window and runs the message loop until that window is destroyed;
    // true when the loop ended with a non-zero result.
    bool Run();

    // Stops the log engine (its queued lines reach the files), then terminates the process
    // with exit code 0; no destructor and no other thread join runs.
    [[noreturn]] void Exit();

    HINSTANCE Instance() const { return instance_; }
    const std::wstring& ModuleDir() const { return moduleDir_; }
    const std::wstring& DataDir() const { return dataDir_; }
    uikit::SApplication* Application() const { return toolkit_ ? &toolkit_->App() : nullptr; }

private:
    std::wstring imgDecoderName_ = L"imgdecoder-stb";
    HANDLE process_ = nullptr;
    HINSTANCE instance_ = nullptr;
    // Never released, like the context itself.
    std::unique_ptr<uikit::SToolkit> toolkit_;
    std::wstring moduleDir_;
    std::wstring dataDir_;
};

// The one application context.
CApp& TheApp();
