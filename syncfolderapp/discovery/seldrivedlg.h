#pragma once

#include <optional>
#include <string>
#include <vector>

#include <windows.h>

#include "uikit/hostdialog_win.h"

// The modal dialog in which the operator ticks the disks to scan: the fixed disks, then the
// network drives.

inline constexpr char kSelDriveLayout[] = "LAYOUT:XML_SELDRIVE";
inline constexpr wchar_t kNoDriveCheckedText[] = L"请至少勾选一个盘符!";

// The dialog's state: what the caller offers and what the operator chose. Drive letters
// are single upper-case letters without colon, compared exactly.
class CSelDriveDlgDriver {
public:
    // The result: the letters whose boxes were checked when OK was accepted, in the
    // order of allDrives.
    std::vector<std::wstring> selectedDrives;
    // The dialog window this driver works on, and its handle while the window exists.
    uikit::SHostWnd* hostWnd = nullptr;
    HWND hWnd = nullptr;
    // The grid the check boxes are created in, while the window exists.
    uikit::SControl* wnd_drive = nullptr;
    // Filled by the caller before the dialog runs: the letters offered (one box each),
    // those whose boxes start checked, the one labelled as the system disk and those
    // labelled as network drives.
    std::vector<std::wstring> allDrives;
    std::vector<std::wstring> preCheckedDrives;
    std::wstring systemDrive;
    std::vector<std::wstring> networkDrives;

    // Finds the grid, makes the dialog tall enough for two boxes per row and creates one
    // check box "ck_" + letter per letter of allDrives, in order.
    void BuildDriveChecks();
    // Refills selectedDrives from the boxes that exist and are checked; true when at
    // least one is.
    bool CollectSelectedDrives();
};

class CSelDriveDlg : public uikit::SHostDialog, public CSelDriveDlgDriver {
public:
    CSelDriveDlg();

protected:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;

private:
    void OnOk();
};

// How a drive's box is labelled: L + "盘(本地磁盘)", "盘(系统磁盘)" or "盘(网络磁盘)".
enum class DriveLabel { Local, System, Network };

// The markup of one drive's check box: named "ck_" + letter, labelled by its kind, checked
// or not. The letter is escaped, so any text yields well-formed markup.
std::string DriveCheckMarkup(const std::wstring& letter, DriveLabel label, bool checked);

// Runs the dialog owned by `owner`, offering `fixedDrives` and then those of
// `networkDrives` that are not fixed, with the boxes of `scanDrives` checked; the letters
// chosen when the operator accepts, in the order offered, nothing when they cancel.
std::optional<std::vector<std::wstring>> ChooseScanDrives(HWND owner, const std::vector<std::wstring>& fixedDrives,
                                                          const std::wstring& systemDrive,
                                                          const std::vector<std::wstring>& scanDrives,
                                                          const std::vector<std::wstring>& networkDrives = {});
