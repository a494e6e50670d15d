#include "syncfolderapp/discovery/seldrivedlg.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "syncfolderapp/namedids.h"
#include "tests/gui/support/keys.h"
#include "tests/gui/support/modalstep.h"
#include "tests/gui/support/toolkitenv.h"
#include "tests/support/pump.h"
#include "tests/support/screenshot.h"
#include "uikit/automation_win.h"
#include "uikit/checkbox_win.h"
#include "uikit/messagebox_win.h"

namespace {

using Letters = std::vector<std::wstring>;

// Runs `step` on the drive dialog once its modal loop is running.
void WhenOpen(std::function<void(CSelDriveDlg&)> step)
{
    testsupport::WhenDialogRuns([step = std::move(step)](uikit::SHostDialog& dialog) {
        if (auto* drives = dynamic_cast<CSelDriveDlg*>(&dialog))
            step(*drives);
    });
}

uikit::SCheck* Box(const CSelDriveDlg& dialog, const std::wstring& letter)
{
    std::string name = "ck_";
    for (wchar_t c : letter)
        name += static_cast<char>(c);
    return dynamic_cast<uikit::SCheck*>(dialog.FindControl(name, "check"));
}

struct BoxSeen {
    std::wstring label;
    bool checked = false;
    RECT rect{};
};

struct DialogSeen {
    RECT window{};
    int width = 0;
    int height = 0;
    std::vector<BoxSeen> boxes;  // in the order of allDrives; missing boxes left out
    size_t gridChildren = 0;
};

DialogSeen Look(const CSelDriveDlg& dialog)
{
    DialogSeen seen;
    GetWindowRect(dialog.Hwnd(), &seen.window);
    seen.width = seen.window.right - seen.window.left;
    seen.height = seen.window.bottom - seen.window.top;
    for (const std::wstring& letter : dialog.allDrives) {
        if (uikit::SCheck* box = Box(dialog, letter))
            seen.boxes.push_back({box->GetText(), box->IsChecked(), box->ScreenRect()});
    }
    if (dialog.wnd_drive)
        seen.gridChildren = dialog.wnd_drive->Children().size();
    return seen;
}

class SelDriveDialogTest : public ::testing::Test {
protected:
    void SetUp() override { testsupport::ToolkitApp(NamedControlIds()); }
    void TearDown() override
    {
        testsupport::StopDialogSteps();
        uikit::SetMessageBoxHook(nullptr);
    }

    // Runs a dialog over the given drives; `step` drives it from inside its modal loop.
    INT_PTR Run(CSelDriveDlg& dialog, Letters all, Letters preChecked, std::wstring system,
                std::function<void(CSelDriveDlg&)> step)
    {
        dialog.allDrives = std::move(all);
        dialog.preCheckedDrives = std::move(preChecked);
        dialog.systemDrive = std::move(system);
        WhenOpen(std::move(step));
        return dialog.DoModal(nullptr);
    }
};

TEST_F(SelDriveDialogTest, SystemAndTwoLocalDisks_LabelledTwoPerRowOnlyPreCheckedTicked)
{
    CSelDriveDlg dialog;
    DialogSeen seen;
    bool shotSaved = false;
    HWND driverWindow = nullptr, window = nullptr;
    const INT_PTR code = Run(dialog, {L"C", L"D", L"E"}, {L"D"}, L"C", [&](CSelDriveDlg& d) {
        seen = Look(d);
        driverWindow = d.hWnd;
        window = d.Hwnd();
        RedrawWindow(d.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        testsupport::PumpFor(std::chrono::milliseconds(150));
        shotSaved = !testsupport::SaveScreenshot(d.Hwnd(), "discovery_seldrive_3").empty();
        d.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(code, IDCANCEL);
    EXPECT_TRUE(shotSaved);
    EXPECT_EQ(driverWindow, window);
    EXPECT_EQ(dialog.hWnd, nullptr);
    EXPECT_EQ(seen.gridChildren, 3u);
    ASSERT_EQ(seen.boxes.size(), 3u);
    EXPECT_EQ(seen.boxes[0].label, L"C盘(系统磁盘)");
    EXPECT_EQ(seen.boxes[1].label, L"D盘(本地磁盘)");
    EXPECT_EQ(seen.boxes[2].label, L"E盘(本地磁盘)");
    EXPECT_FALSE(seen.boxes[0].checked);
    EXPECT_TRUE(seen.boxes[1].checked);
    EXPECT_FALSE(seen.boxes[2].checked);
    // C and D share the first row, E starts the second below C.
    EXPECT_EQ(seen.boxes[0].rect.top, seen.boxes[1].rect.top);
    EXPECT_GT(seen.boxes[1].rect.left, seen.boxes[0].rect.right);
    EXPECT_EQ(seen.boxes[2].rect.left, seen.boxes[0].rect.left);
    EXPECT_GT(seen.boxes[2].rect.top, seen.boxes[0].rect.bottom);
    EXPECT_TRUE(dialog.selectedDrives.empty());
}

TEST_F(SelDriveDialogTest, HeightGrowsByOneRowForEveryTwoDrives)
{
    const Letters letters = {L"C", L"D", L"E", L"F", L"G", L"H"};
    const int expected[] = {112, 112, 134, 134, 156, 156};
    for (size_t n = 1; n <= letters.size(); ++n) {
        CSelDriveDlg dialog;
        DialogSeen seen;
        const INT_PTR code = Run(dialog, Letters(letters.begin(), letters.begin() + n), {}, L"C", [&](CSelDriveDlg& d) {
            seen = Look(d);
            d.EndDialog(IDCANCEL);
        });
        EXPECT_EQ(code, IDCANCEL) << n << " drives";
        EXPECT_EQ(seen.width, 260) << n << " drives";
        EXPECT_EQ(seen.height, expected[n - 1]) << n << " drives";
        ASSERT_EQ(seen.boxes.size(), n);
        // Every box inside the window, none cut off at the bottom.
        for (const BoxSeen& box : seen.boxes) {
            EXPECT_GT(box.rect.bottom, box.rect.top) << n << " drives";
            EXPECT_LE(box.rect.bottom, seen.window.bottom) << n << " drives";
        }
    }
}

TEST_F(SelDriveDialogTest, TickingEThenC_AcceptsCAndEInDriveOrder)
{
    CSelDriveDlg dialog;
    bool clicked = false;
    const INT_PTR code = Run(dialog, {L"C", L"D", L"E"}, {}, L"C", [&](CSelDriveDlg& d) {
        clicked = uikit::ClickControl(d, "ck_E") && uikit::ClickControl(d, "ck_C") && uikit::ClickControl(d, "but_ok");
    });
    EXPECT_TRUE(clicked);
    EXPECT_EQ(code, IDOK);
    EXPECT_EQ(dialog.selectedDrives, (Letters{L"C", L"E"}));
}

TEST_F(SelDriveDialogTest, OkWithNothingTicked_WarnsAndStaysOpenUntilCancelled)
{
    struct Shown {
        HWND owner;
        std::wstring text, caption;
        UINT type;
    };
    std::vector<Shown> shown;
    uikit::SetMessageBoxHook([&](HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
        shown.push_back({owner, text, caption, type});
        return IDOK;
    });

    CSelDriveDlg dialog;
    bool openAfterOk = false, cancelled = false;
    HWND window = nullptr;
    const INT_PTR code = Run(dialog, {L"C", L"D"}, {L"D"}, L"C", [&](CSelDriveDlg& d) {
        window = d.Hwnd();
        uikit::ClickControl(d, "ck_D");  // clears the one pre-checked box
        uikit::ClickControl(d, "but_ok");
        openAfterOk = d.IsModalRunning() && IsWindowVisible(d.Hwnd());
        cancelled = uikit::ClickControl(d, "btn_cancel");
    });
    EXPECT_EQ(code, IDCANCEL);
    EXPECT_TRUE(openAfterOk);
    EXPECT_TRUE(cancelled);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].owner, window);
    EXPECT_EQ(shown[0].text, L"请至少勾选一个盘符!");
    EXPECT_EQ(shown[0].caption, L"温馨提示");
    EXPECT_EQ(shown[0].type, static_cast<UINT>(MB_ICONWARNING | MB_OK));
    EXPECT_TRUE(dialog.selectedDrives.empty());
}

TEST_F(SelDriveDialogTest, CloseButtonAndClosingTheWindowCancel)
{
    {
        CSelDriveDlg dialog;
        const INT_PTR code =
            Run(dialog, {L"C", L"D"}, {L"C"}, L"C", [](CSelDriveDlg& d) { uikit::ClickControl(d, "btn_close"); });
        EXPECT_EQ(code, IDCANCEL);
        EXPECT_TRUE(dialog.selectedDrives.empty());
    }
    {
        CSelDriveDlg dialog;
        const INT_PTR code =
            Run(dialog, {L"C", L"D"}, {L"C"}, L"C", [](CSelDriveDlg& d) { SendMessageW(d.Hwnd(), WM_CLOSE, 0, 0); });
        EXPECT_EQ(code, IDCANCEL);
    }
}

// Whatever text stands in for a letter, its box is built from well-formed markup and
// carries the text unchanged; no system drive labels every box a local disk.
TEST_F(SelDriveDialogTest, LettersWithMarkupCharactersOrLongTextStillGetTheirBoxes)
{
    const std::wstring longLetter(400, L'Q');
    CSelDriveDlg dialog;
    DialogSeen seen;
    const INT_PTR code = Run(dialog, {L"&", L"\"<'>", longLetter}, {L"\"<'>"}, L"", [&](CSelDriveDlg& d) {
        seen = Look(d);
        uikit::ClickControl(d, "but_ok");
    });
    EXPECT_EQ(code, IDOK);
    ASSERT_EQ(seen.boxes.size(), 3u);
    EXPECT_EQ(seen.boxes[0].label, L"&盘(本地磁盘)");
    EXPECT_EQ(seen.boxes[1].label, L"\"<'>盘(本地磁盘)");
    EXPECT_EQ(seen.boxes[2].label, longLetter + L"盘(本地磁盘)");
    EXPECT_FALSE(seen.boxes[0].checked);
    EXPECT_TRUE(seen.boxes[1].checked);
    EXPECT_EQ(dialog.selectedDrives, (Letters{L"\"<'>"}));
}

TEST_F(SelDriveDialogTest, ChooseScanDrives_ReturnsTheChoiceOnOkAndNothingOnCancel)
{
    const Letters fixed = {L"C", L"D", L"E"};
    WhenOpen([](CSelDriveDlg& d) {
        uikit::ClickControl(d, "ck_E");
        uikit::ClickControl(d, "but_ok");
    });
    EXPECT_EQ(ChooseScanDrives(nullptr, fixed, L"C", {L"D"}), (Letters{L"D", L"E"}));

    WhenOpen([](CSelDriveDlg& d) {
        uikit::ClickControl(d, "ck_E");
        uikit::ClickControl(d, "btn_cancel");
    });
    EXPECT_EQ(ChooseScanDrives(nullptr, fixed, L"C", {L"D"}), std::nullopt);
}

TEST_F(SelDriveDialogTest, ChooseScanDrives_OffersNetworkDrivesAfterTheFixedOnesLabelledAsSuch)
{
    DialogSeen seen;
    WhenOpen([&](CSelDriveDlg& d) {
        seen = Look(d);
        uikit::ClickControl(d, "ck_N");
        RedrawWindow(d.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        testsupport::PumpFor(std::chrono::milliseconds(150));
        testsupport::SaveScreenshot(d.Hwnd(), "discovery_seldrive_network");
        uikit::ClickControl(d, "but_ok");
    });
    // A letter the system reports as both is offered once, as the fixed disk it was first.
    EXPECT_EQ(ChooseScanDrives(nullptr, {L"C", L"D"}, L"C", {L"D"}, {L"D", L"N", L"Z"}), (Letters{L"D", L"N"}));
    ASSERT_EQ(seen.boxes.size(), 4u);
    EXPECT_EQ(seen.boxes[0].label, L"C盘(系统磁盘)");
    EXPECT_EQ(seen.boxes[1].label, L"D盘(本地磁盘)");
    EXPECT_EQ(seen.boxes[2].label, L"N盘(网络磁盘)");
    EXPECT_EQ(seen.boxes[3].label, L"Z盘(网络磁盘)");
    EXPECT_FALSE(seen.boxes[2].checked);
    EXPECT_EQ(seen.boxes[2].rect.top, seen.boxes[3].rect.top) << "two per row, as the fixed disks";
}

std::string FocusedName()
{
    const uikit::SControl* control = uikit::SControl::FromHwnd(GetFocus());
    return control ? control->Name() : std::string();
}

TEST_F(SelDriveDialogTest, KeysTickBoxesTabThroughTheDialogAcceptWithEnterAndCancelWithEscOrAltF4)
{
    CSelDriveDlg dialog;
    std::vector<std::string> order;
    const INT_PTR code = Run(dialog, {L"C", L"D", L"E"}, {L"D"}, L"C", [&](CSelDriveDlg& d) {
        order.push_back(FocusedName());
        testsupport::PressKey(VK_SPACE);
        for (int i = 0; i < 5; ++i) {
            testsupport::PressKey(VK_TAB);
            order.push_back(FocusedName());
        }
        RedrawWindow(d.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        testsupport::SaveScreenshot(d.Hwnd(), "discovery_seldrive_keys");
        testsupport::PressKey(VK_RETURN);  // on a box: the default button, OK
    });
    EXPECT_EQ(code, IDOK);
    EXPECT_EQ(order, (std::vector<std::string>{"ck_C", "ck_D", "ck_E", "but_ok", "btn_cancel", "ck_C"}));
    EXPECT_EQ(dialog.selectedDrives, (Letters{L"C", L"D"}));

    for (const auto& [key, modifiers] : {std::pair{VK_ESCAPE, 0}, std::pair{VK_F4, int{testsupport::kAlt}}}) {
        CSelDriveDlg cancelled;
        const INT_PTR answer =
            Run(cancelled, {L"C", L"D"}, {L"D"}, L"C", [&](CSelDriveDlg&) { testsupport::PressKey(key, modifiers); });
        EXPECT_EQ(answer, IDCANCEL) << key;
        EXPECT_TRUE(cancelled.selectedDrives.empty()) << key;
    }
}

TEST(DriveCheckMarkup, NamesLabelsAndChecksTheBox)
{
    EXPECT_EQ(DriveCheckMarkup(L"C", DriveLabel::System, false), "<check name=\"ck_C\" text=\"C盘(系统磁盘)\" />");
    EXPECT_EQ(DriveCheckMarkup(L"D", DriveLabel::Local, true),
              "<check name=\"ck_D\" text=\"D盘(本地磁盘)\" checked=\"true\"/>");
    EXPECT_EQ(DriveCheckMarkup(L"a&\"", DriveLabel::Local, false),
              "<check name=\"ck_a&amp;&quot;\" text=\"a&amp;&quot;盘(本地磁盘)\" />");
    EXPECT_EQ(DriveCheckMarkup(L"N", DriveLabel::Network, false), "<check name=\"ck_N\" text=\"N盘(网络磁盘)\" />");
}

}  // namespace
