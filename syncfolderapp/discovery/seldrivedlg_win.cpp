#include "syncfolderapp/discovery/seldrivedlg.h"

#include <algorithm>

#include "common/textutil.h"
#include "syncfolderapp/mainwnd/uitexts.h"
#include "uikit/checkbox_win.h"
#include "uikit/messagebox_win.h"

namespace {

// Pixels at 96 dpi. The layout's 112 pixels hold the first row of boxes; each further
// row adds 22.
constexpr int kDialogWidth = 260;
constexpr int kDialogBaseHeight = 90;
constexpr int kRowHeight = 22;

// Text as it may stand inside a double-quoted XML attribute.
std::string EscapeAttribute(const std::string& text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&apos;";
            break;
        default:
            escaped += c;
            break;
        }
    }
    return escaped;
}

bool Contains(const std::vector<std::wstring>& letters, const std::wstring& letter)
{
    return std::find(letters.begin(), letters.end(), letter) != letters.end();
}

std::string CheckName(const std::wstring& letter)
{
    return "ck_" + ToUtf8(letter);
}

}  // namespace

std::string DriveCheckMarkup(const std::wstring& letter, DriveLabel label, bool checked)
{
    const std::string text = EscapeAttribute(ToUtf8(letter));
    std::string markup = "<check name=\"ck_" + text + "\" text=\"" + text;
    markup += label == DriveLabel::System    ? "盘(系统磁盘)\" "
              : label == DriveLabel::Network ? "盘(网络磁盘)\" "
                                             : "盘(本地磁盘)\" ";
    if (checked)
        markup += "checked=\"true\"";
    markup += "/>";
    return markup;
}

void CSelDriveDlgDriver::BuildDriveChecks()
{
    if (!hostWnd)
        return;
    wnd_drive = hostWnd->FindControl("wnd_drive");

    const size_t rows = (allDrives.size() + 1) / 2;
    if (rows >= 2 && hWnd) {
        const int height = kDialogBaseHeight + kRowHeight * static_cast<int>(rows);
        SetWindowPos(hWnd, nullptr, 0, 0, hostWnd->Scale(kDialogWidth), hostWnd->Scale(height),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    for (const std::wstring& letter : allDrives) {
        const DriveLabel label = letter == systemDrive             ? DriveLabel::System
                                 : Contains(networkDrives, letter) ? DriveLabel::Network
                                                                   : DriveLabel::Local;
        hostWnd->CreateChildren(wnd_drive, DriveCheckMarkup(letter, label, Contains(preCheckedDrives, letter)));
    }
}

bool CSelDriveDlgDriver::CollectSelectedDrives()
{
    selectedDrives.clear();
    if (!hostWnd)
        return false;
    for (const std::wstring& letter : allDrives) {
        const auto* box = dynamic_cast<const uikit::SCheck*>(hostWnd->FindControl(CheckName(letter), "check"));
        if (box && box->IsChecked())
            selectedDrives.push_back(letter);
    }
    return !selectedDrives.empty();
}

CSelDriveDlg::CSelDriveDlg() : SHostDialog(kSelDriveLayout)
{
    hostWnd = this;
    OnCommand("but_ok", [this] { OnOk(); });
    OnCommand("btn_cancel", [this] { EndDialog(IDCANCEL); });
    OnCommand("btn_close", [this] { EndDialog(IDCANCEL); });
}

LRESULT CSelDriveDlg::OnMessage(UINT msg, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    if (msg == WM_INITDIALOG) {
        hWnd = hwnd_;
        BuildDriveChecks();
    } else if (msg == WM_DESTROY) {
        // The window and its controls go; only the lists and the result stay readable.
        hWnd = nullptr;
        wnd_drive = nullptr;
    }
    return 0;
}

void CSelDriveDlg::OnOk()
{
    if (!CollectSelectedDrives()) {
        uikit::MessageBox(hwnd_, kNoDriveCheckedText, kTipCaption, MB_ICONWARNING | MB_OK);
        return;
    }
    EndDialog(IDOK);
}

std::optional<std::vector<std::wstring>> ChooseScanDrives(HWND owner, const std::vector<std::wstring>& fixedDrives,
                                                          const std::wstring& systemDrive,
                                                          const std::vector<std::wstring>& scanDrives,
                                                          const std::vector<std::wstring>& networkDrives)
{
    CSelDriveDlg dialog;
    dialog.allDrives = fixedDrives;
    for (const std::wstring& letter : networkDrives) {
        if (!Contains(fixedDrives, letter)) {
            dialog.allDrives.push_back(letter);
            dialog.networkDrives.push_back(letter);
        }
    }
    dialog.preCheckedDrives = scanDrives;
    dialog.systemDrive = systemDrive;
    if (dialog.DoModal(owner) != IDOK)
        return std::nullopt;
    return dialog.selectedDrives;
}
