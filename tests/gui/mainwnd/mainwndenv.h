#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "syncfolderapp/mainframewnd.h"
#include "uikit/control_win.h"

namespace mainwndtest {

// One message box the window asked for.
struct ShownMessage {
    std::wstring text;
    std::wstring caption;
    UINT type = 0;
};

// A main window opened as the program opens it, on fresh disks D: and E: holding the
// version directories D:\games\srv1 and D:\games\srv2 (and E:\mir\s3 on E:). Message
// boxes and pickers are answered by the fixture.
class MainWindowTest : public ::testing::Test {
public:
    // The data directory (datadb) and the folder of the dated log files.
    static std::wstring DataDir();
    static std::filesystem::path LogDir();

protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Builds, initialises and shows the window, then waits for the start-up scan to end.
    void OpenWindow();
    void CloseWindow();
    // Waits until the overlay of a scan is gone again.
    bool WaitForScanEnd();
    // Waits until the run that was started has ended.
    bool WaitForRunEnd();

    std::vector<std::wstring> FileRows() const;    // column 1 of lv_file
    std::vector<std::wstring> EngineRows() const;  // column 1 of lv_engine_folder
    std::vector<std::wstring> LogLines(bool errors) const;
    int ToastCount() const;

    CMainFrameWnd* wnd = nullptr;
    std::vector<ShownMessage> messages;
    std::vector<std::vector<std::wstring>> pickerAnswers;  // answers in order
};

void ClearDrive(const wchar_t* root);
// Makes `dir` a version directory (dir\Mir200\!Setup.txt).
void MakeEngineFolder(const std::wstring& dir);
void WriteText(const std::wstring& file, const std::string& content);
std::string ReadText(const std::wstring& file);
// Drops `paths` on the window as the shell does (WM_DROPFILES) with the mouse at
// `screenPoint`.
void DropAt(HWND window, const std::vector<std::wstring>& paths, POINT screenPoint);
POINT CentreOf(const uikit::SControl& control);
// Draws the window now and saves its picture under the screenshot folder.
void Snapshot(HWND window, const std::string& name);
// The dated log files' contents, read as the system's ANSI text.
std::wstring ReadLogFiles();

}  // namespace mainwndtest
