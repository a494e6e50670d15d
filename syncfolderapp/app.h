#pragma once

#include <string>

#include <windows.h>

// The process-wide application context: the program's directories, start-up of the
// main window and the exit routine. One object with static lifetime, never torn down:
// the process ends by terminating itself.
class CApp {
public:
    // Stores the instance, makes the executable's directory the current directory and
    // derives the data directory; false when the program's own path cannot be read.
    bool Init(HINSTANCE instance);

    // Creates the main window and runs the message loop until that window is destroyed;
    // true when the loop ended with a non-zero result.
    bool Run();

    // Terminates the process with exit code 0; no destructor and no thread join runs.
    [[noreturn]] void Exit();

    HINSTANCE Instance() const { return instance_; }
    const std::wstring& ModuleDir() const { return moduleDir_; }
    const std::wstring& DataDir() const { return dataDir_; }

private:
    HANDLE process_ = nullptr;
    HINSTANCE instance_ = nullptr;
    std::wstring moduleDir_;
    std::wstring dataDir_;
};

// The one application context.
CApp& TheApp();
