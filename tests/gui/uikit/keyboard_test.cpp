// The keyboard: tab order, radio groups, keys that press buttons, and message boxes
// answered from the keyboard.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/gui/support/keys.h"
#include "tests/gui/support/modalstep.h"
#include "tests/gui/uikit/uikitenv.h"
#include "tests/support/pump.h"
#include "tests/support/screenshot.h"
#include "tests/support/wine.h"
#include "uikit/automation_win.h"
#include "uikit/checkbox_win.h"
#include "uikit/image_win.h"
#include "uikit/messagebox_win.h"

namespace uikittest {
namespace {

using namespace uikit;
using testsupport::kAlt;
using testsupport::kShift;
using testsupport::PressKey;

// Two rows of buttons, boxes (one without text) and radios above a list, one button of
// which lies under an overlay.
constexpr char kKeysLayout[] = R"xml(<window size="420,220" layout="vbox" padding="5" gap="5">
  <window height="30" layout="hbox" gap="5">
    <button name="open" size="80,24" class="cls_btn_def" text="打开(&amp;O)"/>
    <button name="off" size="60,24" class="cls_btn_def" text="停用" enable="0"/>
    <check name="box" text="选中"/>
    <check name="bare" size="16,16"/>
    <button name="gone" size="60,24" class="cls_btn_def" text="隐藏" visible="0"/>
    <button name="refresh" size="60,24" class="cls_btn_def" text="刷新" accel="F5"/>
  </window>
  <window height="30" layout="hbox" gap="5">
    <radio name="r1" group="g" text="甲"/>
    <radio name="r2" group="g" checked="1" text="乙"/>
    <radio name="r3" group="g" text="丙"/>
    <check name="quiet" text="不停" focusable="0"/>
  </window>
  <window height="share">
    <listbox name="lines" multiSelect="1"/>
    <button name="covered" pos="10,10" size="60,24" class="cls_btn_def" text="盖住"/>
    <window name="overlay" pos="5,5,80,40" colorBkgnd="#DDDDDDAA"/>
  </window>
</window>)xml";

class Keyboard : public ::testing::Test {
protected:
    void SetUp() override
    {
        App();
        ASSERT_TRUE(host.Create(nullptr));
        host.CenterWindow();
        ShowWindow(host.Hwnd(), SW_SHOWNORMAL);
        SetForegroundWindow(host.Hwnd());
        testsupport::PumpFor(std::chrono::milliseconds(50));
        for (const char* name : {"open", "off", "refresh", "covered"})
            host.OnCommand(name, [this, name] { ++presses[name]; });
    }
    void TearDown() override { DestroyWindow(host.Hwnd()); }

    std::string Focused() const
    {
        for (HWND at = GetFocus(); at; at = GetParent(at)) {
            if (const SControl* control = SControl::FromHwnd(at))
                return control->Name();
        }
        return {};
    }
    void Focus(const char* name) const { SetFocus(host.FindControl(name)->Hwnd()); }
    bool Checked(const char* name) const { return host.FindControlAs<SCheck>(name)->IsChecked(); }

    TestHost host{"LAYOUT:TEST_KEYS", kKeysLayout};
    std::map<std::string, int> presses;
};

TEST_F(Keyboard, TabVisitsWhatTheMouseCouldReachInLayoutOrderWithARadioGroupAsOneStop)
{
    std::vector<std::string> visited;
    for (int i = 0; i < 6; ++i) {
        PressKey(VK_TAB);
        visited.push_back(Focused());
    }
    PressKey(VK_TAB);
    EXPECT_EQ(Focused(), "open");
    // Not the disabled, the hidden, the unfocusable or the covered control; of the radios
    // only the checked one.
    EXPECT_EQ(visited, (std::vector<std::string>{"open", "box", "bare", "refresh", "r2", "lines"}));
    PressKey(VK_TAB, kShift);
    EXPECT_EQ(Focused(), "lines");
    PressKey(VK_TAB, kShift);
    EXPECT_EQ(Focused(), "r2");

    // The arrows move the check and the focus through the group, round at its ends.
    PressKey(VK_RIGHT);
    EXPECT_EQ(Focused(), "r3");
    EXPECT_TRUE(Checked("r3"));
    EXPECT_FALSE(Checked("r2"));
    PressKey(VK_DOWN);
    EXPECT_EQ(Focused(), "r1");
    EXPECT_TRUE(Checked("r1"));
    PressKey(VK_LEFT);
    EXPECT_EQ(Focused(), "r3");
    PressKey(VK_TAB);
    EXPECT_EQ(Focused(), "lines");

    // Once the overlay is gone, its button is a stop too.
    host.FindControl("overlay")->SetVisible(false);
    PressKey(VK_TAB);
    EXPECT_EQ(Focused(), "covered");
}

TEST_F(Keyboard, SpaceEnterMnemonicAndFunctionKeyPressButtonsTheMouseCouldClick)
{
    Focus("open");
    PressKey(VK_SPACE);
    PressKey(VK_RETURN);
    EXPECT_EQ(presses["open"], 2);
    Focus("lines");
    PressKey('O', kAlt);
    PressKey('O');  // a letter typed into a list is no mnemonic
    EXPECT_EQ(presses["open"], 3);
    Focus("box");
    PressKey('O');
    EXPECT_EQ(presses["open"], 4);
    PressKey(VK_F5);
    EXPECT_EQ(presses["refresh"], 1);
    EXPECT_TRUE(IsWindowVisible(host.Hwnd()));

    // A click sent by another program counts only where the mouse could click.
    for (const char* name : {"off", "covered"})
        SendMessageW(host.FindControl(name)->Hwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(presses["off"], 0);
    EXPECT_EQ(presses["covered"], 0);
    host.FindControl("overlay")->SetVisible(false);
    SendMessageW(host.FindControl("covered")->Hwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(presses["covered"], 1);
}

// Sets the system's "always show focus frames and access keys" for the test and restores
// it afterwards.
void SetKeyboardCuesAlways(BOOL always)
{
    SystemParametersInfoW(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(always)), 0);
}

// Dark pixels on the bottom row of a control as it is drawn now.
int DottedPixelsAlongBottom(HWND control)
{
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT client;
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    int dark = 0;
    for (int x = 0; x < client.right; ++x) {
        const COLORREF pixel = GetPixel(dc, x, client.bottom - 1);
        dark += GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel) < 3 * 128;
    }
    ReleaseDC(control, dc);
    return dark;
}

TEST(FocusFrames, ShowOnceTheKeyboardIsUsedOrFromTheStartWhenTheSystemShowsThemAlways)
{
    App();
    BOOL saved = FALSE;
    SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &saved, 0);
    std::vector<bool> ours, native;
    for (const BOOL always : {FALSE, TRUE}) {
        SetKeyboardCuesAlways(always);
        TestHost host{"LAYOUT:TEST_KEYS", kKeysLayout};
        ASSERT_TRUE(host.Create(nullptr));
        ShowWindow(host.Hwnd(), SW_SHOWNORMAL);
        SetForegroundWindow(host.Hwnd());
        SetFocus(host.FindControl("box")->Hwnd());
        for (const bool keyed : {false, true}) {
            if (keyed)
                PressKey(VK_SHIFT);
            ours.push_back(host.FocusCuesShown());
            native.push_back(!(SendMessageW(GetFocus(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS));
        }
        // A box without text, which the system gives no frame, is framed all round.
        const HWND bare = host.FindControl("bare")->Hwnd();
        EXPECT_EQ(DottedPixelsAlongBottom(bare), 0);
        SetFocus(bare);
        EXPECT_GT(DottedPixelsAlongBottom(bare), 0);
        DestroyWindow(host.Hwnd());
    }
    SetKeyboardCuesAlways(saved);
    const std::vector<bool> expected{false, true, true, true};
    EXPECT_EQ(ours, expected);
    SF_SKIP_UNDER_WINE("system check boxes keep no UI state and always draw their focus frame");
    EXPECT_EQ(native, expected);
}

struct KeyAnswer {
    UINT type;
    std::vector<std::pair<UINT, int>> keys;  // key and modifiers, pressed in order
    int expected;
};

TEST(MessageBoxes, KeysAnswerTheBox)
{
    auto owner = OpenGallery();
    ASSERT_TRUE(owner);
    // A second default button has the focus, so that Enter and Space answer with it while
    // Alt+Y still says yes; a default the box does not have is its first button.
    const KeyAnswer cases[] = {
        {MB_OK | MB_ICONWARNING, {{VK_RETURN, 0}}, IDOK},
        {MB_OK | MB_ICONWARNING, {{VK_ESCAPE, 0}}, IDOK},
        {MB_OK | MB_ICONWARNING, {{'O', kAlt}}, IDOK},
        {MB_OKCANCEL, {{VK_ESCAPE, 0}}, IDCANCEL},
        {MB_OKCANCEL, {{VK_TAB, 0}, {VK_SPACE, 0}}, IDCANCEL},
        {MB_YESNO | MB_ICONQUESTION, {{VK_RETURN, 0}}, IDYES},
        {MB_YESNO | MB_ICONQUESTION, {{VK_ESCAPE, 0}}, IDNO},
        {MB_YESNO | MB_ICONQUESTION, {{'N', kAlt}}, IDNO},
        {MB_YESNO | MB_ICONQUESTION, {{VK_F4, kAlt}}, IDNO},
        {MB_YESNO | MB_DEFBUTTON2, {{VK_RETURN, 0}}, IDNO},
        {MB_YESNO | MB_DEFBUTTON2, {{'Y', kAlt}}, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, {{VK_SPACE, 0}}, IDNO},
        {MB_OKCANCEL | MB_DEFBUTTON2, {{VK_RETURN, 0}}, IDCANCEL},
        {MB_OKCANCEL | MB_DEFBUTTON3, {{VK_RETURN, 0}}, IDOK},
    };
    for (const KeyAnswer& c : cases) {
        testsupport::WhenDialogRuns([&c](SHostDialog&) {
            for (const auto& [key, modifiers] : c.keys)
                PressKey(key, modifiers);
        });
        EXPECT_EQ(uikit::MessageBox(owner->Hwnd(), L"请至少选择一个同步文件!", L"温馨提示", c.type), c.expected)
            << "type " << c.type << ", first key " << c.keys.front().first;
    }
    testsupport::StopDialogSteps();
}

TEST(MessageBoxes, YesNoFormAsksWithTheQuestionIconAndTheCloseButtonSaysNo)
{
    auto owner = OpenGallery();
    ASSERT_TRUE(owner);
    std::vector<std::wstring> captions;
    int iconFrame = -1;
    std::string focused;
    testsupport::WhenDialogRuns([&](SHostDialog& box) {
        for (const char* name : {"msgbox_btn_6", "msgbox_btn_7"}) {
            if (const SControl* button = box.FindControl(name, "button"))
                captions.push_back(button->GetText());
        }
        iconFrame = box.FindControlAs<SImage>("msgbox_icon")->GetFrame();
        if (const SControl* control = SControl::FromHwnd(GetFocus()))
            focused = control->Name();
        PressKey(VK_TAB);  // the focus frame shows from now on
        PressKey(VK_TAB, kShift);
        RedrawWindow(box.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        testsupport::SaveScreenshot(box.Hwnd(), "uikit_messagebox_yesno");
        ClickControl(box, "btn_close");
    });
    EXPECT_EQ(uikit::MessageBox(owner->Hwnd(), L"要撤销上次同步吗?", L"温馨提示", MB_YESNO | MB_ICONQUESTION), IDNO);
    testsupport::StopDialogSteps();
    EXPECT_EQ(captions, (std::vector<std::wstring>{L"是(&Y)", L"否(&N)"}));
    EXPECT_EQ(iconFrame, 1);
    EXPECT_EQ(focused, "msgbox_btn_6");

    // A test's hook sees the type and answers for the box.
    UINT seen = 0;
    SetMessageBoxHook([&seen](HWND, const std::wstring&, const std::wstring&, UINT type) {
        seen = type;
        return IDYES;
    });
    EXPECT_EQ(uikit::MessageBox(owner->Hwnd(), L"要撤销上次同步吗?", L"温馨提示", MB_YESNO | MB_ICONQUESTION), IDYES);
    SetMessageBoxHook(nullptr);
    EXPECT_EQ(seen, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
}

}  // namespace
}  // namespace uikittest
