#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "syncfolderapp/popups/modetexts.h"
#include "syncfolderapp/popups/toastwnd.h"
#include "syncfolderapp/popups/tooltipdlg.h"
#include "tests/gui/layouts/layoutsenv.h"
#include "tests/support/pump.h"
#include "uikit/automation_win.h"
#include "uikit/messagebox_win.h"

namespace layoutstest {
namespace {

constexpr wchar_t kBusyText[] = L"文件同步中,不支持此操作!";

std::wstring Joined(const std::vector<std::wstring>& lines)
{
    std::wstring out;
    for (size_t i = 0; i < lines.size(); ++i)
        out += (i ? L"\n" : L"") + lines[i];
    return out;
}

POINT CentreOf(HWND hwnd)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class Popups : public ::testing::Test {
protected:
    void SetUp() override
    {
        main = OpenMainWindow();
        ASSERT_TRUE(main);
        SetForegroundWindow(main->Hwnd());
        SetFocus(main->Hwnd());
        testsupport::PumpFor(std::chrono::milliseconds(50));
    }
    void TearDown() override { HideModeTip(); }

    std::unique_ptr<uikit::SHostWnd> main;
};

TEST(ModeTexts, LinesAndLeadingSpacesAreExact)
{
    EXPECT_EQ(kModeTipMir200Text,
              Joined({L"过滤文件列表中非Mir200目录文件,仅同步Mir200目录下", L"的文件到已选择的游戏版本目录中!",
                      L"例:不同步 D:\\MirServer\\DBServer\\Config.ini",
                      L"     同步 D:\\MirServer\\Mir200\\Config.txt"}));
    EXPECT_EQ(kModeTipSameLevelText,
              Joined({L"不做效验,把文件列表中的文件按目录级别同步到已", L"选择的游戏版本目录中! (D:\\Mirserver)",
                      L"  文件列表: D:\\1级目录\\2级目录\\Config1.txt", L"            D:\\1级目录\\Mir200\\Config2.txt",
                      L"分别同步到: D:\\Mirserver\\2级目录\\Config1.txt",
                      L"            D:\\Mirserver\\Mir200\\Config2.txt"}));
}

TEST(PopupPlacement, FormulasTruncateTowardsZero)
{
    // Odd sizes put the half pixel on the far side.
    EXPECT_EQ(CToastWnd::CenteredOrigin(500, 400, 201, 61).x, 399);  // 500 - 100.5 = 399.5
    EXPECT_EQ(CToastWnd::CenteredOrigin(500, 400, 201, 61).y, 369);  // 400 - 30.5 = 369.5
    EXPECT_EQ(CToolTipDlg::PlacedOrigin(100, 300, CToolTipDlg::kPlaceAbove, 286, 54, {}).x, 100);
    EXPECT_EQ(CToolTipDlg::PlacedOrigin(100, 300, CToolTipDlg::kPlaceAbove, 286, 54, {}).y, 246);
    EXPECT_EQ(CToolTipDlg::PlacedOrigin(100, 300, 0, 286, 54, {7, 9}).y, 9);
}

TEST_F(Popups, ToastIsCentredOnTheMainWindowTopmostInactiveAndClosesItself)
{
    HWND active = GetActiveWindow();
    const POINT centre = WindowCenter(main->Hwnd());
    CToastWnd* toast = ShowToast(main->Hwnd(), kBusyText);
    ASSERT_NE(toast, nullptr);
    HWND hwnd = toast->Hwnd();
    EXPECT_EQ(toast->CenterX(), centre.x);
    EXPECT_EQ(toast->CenterY(), centre.y);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_TRUE(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetActiveWindow(), active);
    EXPECT_EQ(toast->FindControl("txt_tip", "text")->GetText(), kBusyText);
    const POINT at = CentreOf(hwnd);
    EXPECT_NEAR(at.x, centre.x, 1);
    EXPECT_NEAR(at.y, centre.y, 1);
    RECT r;
    GetWindowRect(hwnd, &r);
    EXPECT_LE(Width(r), 20 + 18 + 10 + 500 + 20);
    EXPECT_GE(Height(r), 15 + 22 + 15);
    EXPECT_TRUE(Snapshot(hwnd, "layouts_toast"));

    // A longer text grows the toast, which stays centred on the same point.
    toast->FindControl("txt_tip")->SetText(std::wstring(kBusyText) + kBusyText + kBusyText);
    RECT wide;
    GetWindowRect(hwnd, &wide);
    EXPECT_GT(Width(wide), Width(r));
    EXPECT_NEAR(CentreOf(hwnd).x, centre.x, 1);
    EXPECT_NEAR(CentreOf(hwnd).y, centre.y, 1);

    // Moving the main window afterwards leaves the toast where it is.
    RECT mainRect;
    GetWindowRect(main->Hwnd(), &mainRect);
    SetWindowPos(main->Hwnd(), nullptr, mainRect.left + 40, mainRect.top + 30, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_NEAR(CentreOf(hwnd).x, centre.x, 1);

    EXPECT_TRUE(testsupport::PumpUntil([&] { return !IsWindow(hwnd); }));
}

TEST_F(Popups, SeveralToastsLiveAtOnceAndEachClosesOnItsOwnTimer)
{
    std::vector<HWND> toasts;
    for (int i = 0; i < 3; ++i) {
        CToastWnd* toast = ShowToast(main->Hwnd(), kBusyText);
        ASSERT_NE(toast, nullptr);
        toasts.push_back(toast->Hwnd());
    }
    for (HWND hwnd : toasts) {
        EXPECT_TRUE(IsWindowVisible(hwnd));
        EXPECT_NEAR(CentreOf(hwnd).x, WindowCenter(main->Hwnd()).x, 1);
    }
    EXPECT_TRUE(testsupport::PumpUntil([&] {
        for (HWND hwnd : toasts)
            if (IsWindow(hwnd))
                return false;
        return true;
    }));
}

TEST_F(Popups, ModeTipStandsAboveTheIconWithItsTextAndNeverTakesTheFocus)
{
    HWND active = GetActiveWindow();
    HWND focus = GetFocus();
    struct Case {
        const char* icon;
        const wchar_t* text;
        const char* shot;
    };
    for (const Case& c : {Case{"img_sync_mir200_file", kModeTipMir200Text, "layouts_modetip_mir200"},
                          Case{"img_sync_level_file", kModeTipSameLevelText, "layouts_modetip_level"}}) {
        const uikit::SControl* icon = main->FindControl(c.icon, "img");
        ASSERT_NE(icon, nullptr);
        CToolTipDlg* tip = ShowModeTip(*icon);
        ASSERT_NE(tip, nullptr) << c.icon;
        EXPECT_EQ(CurrentModeTip(), tip);
        EXPECT_EQ(tip->FindControl("txt_tip", "text")->GetText(), c.text);
        const RECT iconRect = icon->ScreenRect();
        RECT r;
        GetWindowRect(tip->Hwnd(), &r);
        EXPECT_EQ(r.left, iconRect.left - 40) << c.icon;
        EXPECT_EQ(r.bottom, iconRect.top) << c.icon;
        EXPECT_LE(Width(r), 15 + 380 + 15) << c.icon;
        // Several lines: taller than one line of text plus the padding.
        EXPECT_GT(Height(r), 15 + 18 + 30) << c.icon;
        EXPECT_TRUE(IsWindowVisible(tip->Hwnd()));
        EXPECT_TRUE(GetWindowLongPtrW(tip->Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_EQ(GetActiveWindow(), active);
        EXPECT_EQ(GetFocus(), focus);
        EXPECT_TRUE(Snapshot(tip->Hwnd(), c.shot));
    }
}

TEST_F(Popups, AtMostOneModeTipAndLeavingDestroysIt)
{
    CToolTipDlg* first = ShowModeTip(*main->FindControl("img_sync_level_file"));
    ASSERT_NE(first, nullptr);
    HWND firstHwnd = first->Hwnd();
    // Straight onto the other icon: the first is gone, only the second remains.
    CToolTipDlg* second = ShowModeTip(*main->FindControl("img_sync_mir200_file"));
    ASSERT_NE(second, nullptr);
    HWND secondHwnd = second->Hwnd();
    EXPECT_FALSE(IsWindow(firstHwnd));
    EXPECT_TRUE(IsWindow(secondHwnd));
    EXPECT_EQ(CurrentModeTip(), second);

    // Any other control shows nothing and leaves the current tooltip alone.
    EXPECT_EQ(ShowModeTip(*main->FindControl("btn_startsync")), nullptr);
    EXPECT_EQ(CurrentModeTip(), second);

    HideModeTip();
    EXPECT_FALSE(IsWindow(secondHwnd));
    EXPECT_EQ(CurrentModeTip(), nullptr);
    HideModeTip();  // nothing shown: nothing to do
    EXPECT_EQ(CurrentModeTip(), nullptr);

    // A tooltip whose window goes by other means does not stay current.
    CToolTipDlg* third = ShowModeTip(*main->FindControl("img_sync_level_file"));
    ASSERT_NE(third, nullptr);
    DestroyWindow(third->Hwnd());
    EXPECT_EQ(CurrentModeTip(), nullptr);
}

TEST_F(Popups, QuestionMarkIconsReportHoverAndLeaveToTheTooltip)
{
    for (const char* icon : {"img_sync_mir200_file", "img_sync_level_file"}) {
        main->OnHover(icon, [this, icon] { ShowModeTip(*main->FindControl(icon)); });
        main->OnLeave(icon, [] { HideModeTip(); });
    }
    ASSERT_TRUE(uikit::HoverControl(*main, "img_sync_level_file"));
    testsupport::PumpUntil([] { return CurrentModeTip() != nullptr; });
    ASSERT_NE(CurrentModeTip(), nullptr);
    EXPECT_EQ(CurrentModeTip()->FindControl("txt_tip")->GetText(), kModeTipSameLevelText);
    ASSERT_TRUE(uikit::HoverControl(*main, "img_sync_mir200_file"));
    testsupport::PumpUntil(
        [] { return CurrentModeTip() && CurrentModeTip()->FindControl("txt_tip")->GetText() == kModeTipMir200Text; });
    ASSERT_NE(CurrentModeTip(), nullptr);
    EXPECT_EQ(CurrentModeTip()->FindControl("txt_tip")->GetText(), kModeTipMir200Text);
    ASSERT_TRUE(uikit::LeaveControl(*main, "img_sync_mir200_file"));
    EXPECT_TRUE(testsupport::PumpUntil([] { return CurrentModeTip() == nullptr; }));
}

struct BoxShot {
    bool saved = false;
    bool clicked = false;
};
BoxShot g_box;

TEST_F(Popups, MessageBoxScreenshot)
{
    g_box = {};
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND box = FindWindowW(App().HostClassName().c_str(), L"温馨提示");
        uikit::SHostWnd* host = uikit::SHostWnd::FromHwnd(box);
        if (!host)
            return;
        KillTimer(nullptr, id);
        g_box.saved = Snapshot(box, "layouts_messagebox");
        PostMessageW(box, WM_CLOSE, 0, 0);
        g_box.clicked = true;
    });
    uikit::MessageBox(main->Hwnd(), L"请至少选择一个同步文件!", L"温馨提示", MB_OK | MB_ICONWARNING);
    EXPECT_TRUE(g_box.clicked);
    EXPECT_TRUE(g_box.saved);
}

}  // namespace
}  // namespace layoutstest
