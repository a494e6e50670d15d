// The main window, a message box and the drive dialog on a screen of the density the
// runner chose (run-dpi.sh sets it and names it in SF_EXPECT_DPI): their sizes checked,
// and screenshots for people to look at. Each is laid out twice: with the densities and
// metrics from the functions of newer systems, and from the fallbacks that Windows 7 and
// 8.1 take (the lookups forced empty).

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <string>

#include "common/newerapi.h"
#include "syncfolderapp/discovery/seldrivedlg.h"
#include "syncfolderapp/namedids.h"
#include "tests/gui/support/keys.h"
#include "tests/gui/support/modalstep.h"
#include "tests/gui/support/toolkitenv.h"
#include "tests/support/pump.h"
#include "tests/support/screenshot.h"
#include "uikit/dpiscale.h"
#include "uikit/listctrl_win.h"
#include "uikit/messagebox_win.h"
#include "uikit/tabctrl_win.h"

namespace {

using uikit::ScalePx;

const NewerApi kNoLookups{};

// The parameter: whether the lookups are forced empty.
class ScreenDensity : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        testsupport::ToolkitApp(NamedControlIds());
        if (GetParam())
            OverrideNewerApi(&kNoLookups);
        const char* expected = std::getenv("SF_EXPECT_DPI");
        dpi = expected ? std::atoi(expected) : uikit::kBaseDpi;
        ASSERT_EQ(SystemDpi(), dpi) << "Wine did not take LogPixels";
    }
    void TearDown() override
    {
        testsupport::StopDialogSteps();
        OverrideNewerApi(nullptr);
    }

    std::string ShotName(const char* what) const
    {
        return "dpi" + std::to_string(dpi) + (GetParam() ? "-fallback-" : "-") + what;
    }
    bool Shot(HWND window, const char* what) const
    {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        testsupport::PumpFor(std::chrono::milliseconds(200));
        return !testsupport::SaveScreenshot(window, ShotName(what)).empty();
    }

    int dpi = uikit::kBaseDpi;
};

SIZE SizeOf(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

TEST_P(ScreenDensity, MainWindowIsLaidOutAndLetteredForTheScreen)
{
    uikit::SHostWnd host("LAYOUT:XML_MAINWND");
    ASSERT_TRUE(host.Create(nullptr));
    host.CenterWindow();
    ShowWindow(host.Hwnd(), SW_SHOWNORMAL);
    host.FindControlAs<uikit::STabCtrl>("tab_file")->SetCurSel(1);
    auto* files = host.FindControlAs<uikit::SListCtrl>("lv_file");
    for (const wchar_t* name : {L"Config.ini", L"Mir200脚本.txt"}) {
        const int row = files->InsertItem(files->GetItemCount(), name);
        files->SetItemText(row, 1, std::wstring(L"D:\\MirServer\\Mir200\\Envir\\") + name);
        files->SetCheckState(row, true);
    }
    auto* folders = host.FindControlAs<uikit::SListCtrl>("lv_engine_folder");
    const int folder = folders->InsertItem(0, L"");
    folders->SetItemText(folder, 1, L"D:\\MirServer");
    folders->SetCheckState(folder, true);
    host.FindControl("but_sel_drive")->SetText(L"D:\\");

    EXPECT_EQ(host.Dpi(), dpi);
    const SIZE window = SizeOf(host.Hwnd());
    EXPECT_EQ(window.cx, ScalePx(900, dpi));
    EXPECT_EQ(window.cy, ScalePx(600, dpi));
    EXPECT_EQ(SizeOf(host.FindControl("btn_startsync")->Hwnd()).cx, ScalePx(100, dpi));
    LOGFONTW font{};
    GetObjectW(host.FindControl("tt_bar_version")->Font(), sizeof(font), &font);
    EXPECT_EQ(font.lfHeight, -ScalePx(14, dpi));
    RECT row{LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(files->Hwnd(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    EXPECT_EQ(row.bottom - row.top, ScalePx(20, dpi));
    EXPECT_TRUE(Shot(host.Hwnd(), "mainwnd"));
}

TEST_P(ScreenDensity, MessageBoxIsDrawnForTheScreen)
{
    SIZE box{};
    bool shot = false;
    testsupport::WhenDialogRuns([&](uikit::SHostDialog& dialog) {
        box = SizeOf(dialog.Hwnd());
        shot = Shot(dialog.Hwnd(), "messagebox");
        testsupport::PressKey(VK_RETURN);
    });
    EXPECT_EQ(uikit::MessageBox(nullptr, L"请至少选择一个待同步的游戏版本目录!", L"温馨提示", MB_OK | MB_ICONWARNING),
              IDOK);
    EXPECT_TRUE(shot);
    EXPECT_GE(box.cx, ScalePx(300, dpi));
    EXPECT_GE(box.cy, ScalePx(135, dpi));
}

TEST_P(ScreenDensity, DriveDialogIsDrawnForTheScreen)
{
    SIZE size{};
    bool shot = false;
    testsupport::WhenDialogRuns([&](uikit::SHostDialog& dialog) {
        size = SizeOf(dialog.Hwnd());
        shot = Shot(dialog.Hwnd(), "drivedlg");
        testsupport::PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(ChooseScanDrives(nullptr, {L"C", L"D", L"E"}, L"C", {L"D"}), std::nullopt);
    EXPECT_TRUE(shot);
    EXPECT_EQ(size.cx, ScalePx(260, dpi));
    EXPECT_EQ(size.cy, ScalePx(134, dpi));
}

INSTANTIATE_TEST_SUITE_P(Densities, ScreenDensity, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& lookups) {
                             return lookups.param ? "FromFallbacks" : "FromNewerFunctions";
                         });

}  // namespace
