#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "syncfolderapp/mainwnd/mainframewnd.h"
#include "tests/gui/mainwnd/workerhold.h"
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
    // Waits until the run that was started has ended (the idle bar is back).
    bool WaitForRunEnd();

    template <typename T>
    T* Control(const char* name) const
    {
        T* control = wnd->FindControlAs<T>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    // A click on the control, the mouse leaving it afterwards.
    bool Click(const char* name) const;
    // The event of a control the mouse cannot reach just now (a button on a hidden bar).
    void FireCommand(const char* name) const;
    // Paths dropped on the file area, or on the version directory list.
    void DropOnFileArea(const std::vector<std::wstring>& paths) const;
    void DropOnEngineList(const std::vector<std::wstring>& paths) const;
    // Directories reported by a scan, which the list takes without a message.
    void ReportScanResults(std::vector<std::wstring> folders) const;

    std::vector<std::wstring> FileRows() const;    // column 1 of lv_file
    std::vector<bool> FileChecks() const;          // the check boxes of lv_file
    std::vector<std::wstring> EngineRows() const;  // column 1 of lv_engine_folder
    std::vector<std::wstring> LogLines(bool errors) const;
    int FilePage() const;  // the page tab_file shows
    int BarPage() const;   // the page tab_sync_bar shows
    int ToastCount() const;

    CMainFrameWnd* wnd = nullptr;
    MainFrameSeams seams;
    WorkerHold workerHold;
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
