#include <gtest/gtest.h>

#include "tests/gui/uikit/uikitenv.h"
#include "tests/support/pump.h"
#include "tests/support/screenshot.h"
#include "uikit/automation_win.h"
#include "uikit/diaglog_win.h"
#include "uikit/hostdialog_win.h"
#include "uikit/messagebox_win.h"
#include "uikit/tabctrl_win.h"
#include "uikit/toolkit_win.h"

namespace uikittest {
namespace {

using namespace uikit;

TEST(HostWindow, MalformedOrMissingLayoutsAreRefusedAndReported)
{
    App();
    ClearDiagLines();
    for (const char* xml : {"<window><broken", "<window size=\"100,100\"><page src=\"LAYOUT:NOWHERE\"/></window>"}) {
        TestHost host("LAYOUT:TEST_INLINE", xml);
        EXPECT_EQ(host.Create(nullptr), nullptr) << xml;
    }
    TestHost missing("LAYOUT:NOT_THERE");
    EXPECT_EQ(missing.Create(nullptr), nullptr);
    const auto lines = RecentDiagLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[1].find(L"LAYOUT:NOWHERE"), std::wstring::npos);
    EXPECT_NE(lines[2].find(L"LAYOUT:NOT_THERE"), std::wstring::npos);
}

// True when `upper` lies above `lower` among the windows of one parent.
bool Above(HWND upper, HWND lower)
{
    for (HWND w = GetWindow(upper, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == lower)
            return true;
    }
    return false;
}

RECT PlaceIn(HWND window, HWND parent)
{
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST(HostWindow, PlainGroupsPagesOnDemandStackingAndOneLayoutPerBatch)
{
    App();
    TestHost host("LAYOUT:TEST_INLINE", R"(<window size="300,200" colorBkgnd="#FFFFFF">
      <window pos="10,10,-10,60" layout="hbox" gap="4">
        <button name="b1" size="60,24" text="one"/>
        <window width="fit" layout="vbox"><button name="b2" size="60,24" text="two"/></window>
        <text name="fit" width="fit" text="x"/>
      </window>
      <button name="under" pos="10,10" size="40,40" text="u"/>
      <tabctrl name="tabs" pos="10,70,-10,-10" cursel="0">
        <page><text name="t0" pos="0,0" size="50,20" text="page 0"/></page>
        <page><button name="p1" pos="5,5" size="50,20" text="p1"/><button name="p2" pos="5,5" size="50,20" text="p2"/></page>
      </tabctrl>
    </window>)");
    const HWND hwnd = host.Create(nullptr);
    ASSERT_NE(hwnd, nullptr);
    host.ShowNormal();
    testsupport::PumpFor(std::chrono::milliseconds(50));
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(GetActiveWindow(), hwnd);

    // Groups that show nothing have no window: their controls lie in the host, in place.
    SControl* b1 = host.FindControl("b1");
    SControl* b2 = host.FindControl("b2");
    ASSERT_TRUE(b1 && b2 && b1->Hwnd() && b2->Hwnd());
    EXPECT_EQ(GetParent(b1->Hwnd()), hwnd);
    EXPECT_EQ(GetParent(b2->Hwnd()), hwnd);
    EXPECT_EQ(b1->Parent()->Hwnd(), nullptr);
    EXPECT_EQ(PlaceIn(b1->Hwnd(), hwnd).left, 10);
    EXPECT_EQ(PlaceIn(b2->Hwnd(), hwnd).left, 74);
    // Later controls lie above earlier ones, as in the layout, through the groups too.
    SControl* under = host.FindControl("under");
    EXPECT_TRUE(Above(b2->Hwnd(), b1->Hwnd()));
    EXPECT_TRUE(Above(under->Hwnd(), b2->Hwnd()));

    // The hidden page is built when looked up, not before, and stacked like the rest.
    auto* tabs = host.FindControlAs<STabCtrl>("tabs");
    ASSERT_NE(tabs, nullptr);
    LayoutNode& page1 = *tabs->Node().children[1];
    EXPECT_EQ(host.ControlOf(&page1), nullptr);
    SControl* p2 = host.FindControl("p2");
    ASSERT_TRUE(p2 && p2->Hwnd());
    EXPECT_FALSE(IsWindowVisible(p2->Hwnd()));
    ASSERT_TRUE(tabs->SetCurSel(1));
    EXPECT_TRUE(IsWindowVisible(p2->Hwnd()));
    const RECT p2Place = PlaceIn(p2->Hwnd(), hwnd);
    EXPECT_EQ(p2Place.left, 15);
    EXPECT_EQ(p2Place.top, 75);
    EXPECT_TRUE(Above(p2->Hwnd(), host.FindControl("p1")->Hwnd()));

    // Inside a batch a change that needs a new layout waits for the batch's end.
    SControl* fit = host.FindControl("fit");
    const LONG before = PlaceIn(fit->Hwnd(), hwnd).right;
    {
        const SHostWnd::LayoutBatch batch(host);
        fit->SetText(L"a much longer text than before");
        EXPECT_EQ(PlaceIn(fit->Hwnd(), hwnd).right, before);
    }
    EXPECT_GT(PlaceIn(fit->Hwnd(), hwnd).right, before);
}

TEST(HostWindow, MinimumSizeSizingMarginAndCaptionDrag)
{
    auto host = OpenGallery();
    ASSERT_TRUE(host);
    SetWindowPos(host->Hwnd(), nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER);
    MINMAXINFO info{};
    SendMessageW(host->Hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 680);
    EXPECT_EQ(info.ptMinTrackSize.y, 300);
    SetWindowPos(host->Hwnd(), nullptr, 0, 0, 900, 600, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(host->FrameHitTest({2, 300}), HTLEFT);
    EXPECT_EQ(host->FrameHitTest({897, 597}), HTBOTTOMRIGHT);
    EXPECT_EQ(host->FrameHitTest({200, 20}), HTCAPTION);
    EXPECT_EQ(host->FrameHitTest({200, 300}), HTCLIENT);
    // Over a caption button the button takes the mouse, elsewhere in the caption it drags.
    RECT close = host->FindControl("btn_close")->ScreenRect();
    const LRESULT overButton = SendMessageW(host->FindControl("btn_close")->Hwnd(), WM_NCHITTEST, 0,
                                            MAKELPARAM(close.left + 3, close.top + 3));
    EXPECT_EQ(overButton, HTCLIENT);
}

TEST(HostWindow, WindowButtonsWithoutHandlersDoTheirUsualJob)
{
    auto host = OpenGallery();
    ASSERT_TRUE(host);
    HWND hwnd = host->Hwnd();
    EXPECT_TRUE(ClickControl(*host, "btn_max"));
    EXPECT_TRUE(IsZoomed(hwnd));
    ShowWindow(hwnd, SW_RESTORE);
    EXPECT_TRUE(ClickControl(*host, "btn_close"));
    EXPECT_TRUE(testsupport::PumpUntil([&] { return !IsWindow(hwnd); }));
    EXPECT_EQ(host->Hwnd(), nullptr);
}

TEST(HostWindow, MessageLoopEndsWhenTheMainWindowIsDestroyed)
{
    auto host = OpenGallery();
    ASSERT_TRUE(host);
    HWND hwnd = host->Hwnd();
    // Close from inside the loop, as the operator would.
    SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        PostMessageW(App().MainWnd(), WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(App().Run(hwnd), 0);
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(HostWindow, RepeatedCreateAndDestroyLeaksNoGdiObjects)
{
    App();
    {
        auto warm = OpenGallery();
    }
    testsupport::PumpFor(std::chrono::milliseconds(50));
    const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    for (int i = 0; i < 10; ++i) {
        auto host = OpenGallery();
        ASSERT_TRUE(host);
    }
    testsupport::PumpFor(std::chrono::milliseconds(50));
    const DWORD after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (before == 0 && after == 0)
        GTEST_SKIP() << "GDI object counts are not reported here";
    EXPECT_LE(after, before + 5);
}

class Popup : public SHostWnd {
public:
    Popup() : SHostWnd("LAYOUT:XML_GTOAST") {}
};

TEST(Popups, TranslucentPopupSizesItselfToItsTextAndNeverTakesActivation)
{
    auto owner = OpenGallery();
    ASSERT_TRUE(owner);
    SetForegroundWindow(owner->Hwnd());
    testsupport::PumpFor(std::chrono::milliseconds(50));
    Popup popup;
    ASSERT_TRUE(popup.Create(nullptr));
    const LONG_PTR ex = GetWindowLongPtrW(popup.Hwnd(), GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_LAYERED);
    EXPECT_TRUE(ex & WS_EX_NOACTIVATE);
    RECT small;
    GetWindowRect(popup.Hwnd(), &small);
    popup.FindControl("txt_tip", "text")->SetText(L"文件同步中,不支持此操作!");
    RECT wide;
    GetWindowRect(popup.Hwnd(), &wide);
    EXPECT_GT(wide.right - wide.left, small.right - small.left);
    EXPECT_LE(wide.right - wide.left, 20 + 18 + 10 + 500 + 20);
    // Much longer text wraps at 500 pixels and grows downwards instead.
    popup.FindControl("txt_tip")->SetText(std::wstring(200, L'长'));
    RECT wrapped;
    GetWindowRect(popup.Hwnd(), &wrapped);
    EXPECT_LE(wrapped.right - wrapped.left, 20 + 18 + 10 + 500 + 20);
    EXPECT_GT(wrapped.bottom - wrapped.top, wide.bottom - wide.top);

    popup.FindControl("txt_tip")->SetText(L"文件同步中,不支持此操作!");
    SetWindowPos(popup.Hwnd(), HWND_TOPMOST, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    testsupport::PumpFor(std::chrono::milliseconds(150));
    EXPECT_TRUE(GetWindowLongPtrW(popup.Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_NE(GetActiveWindow(), popup.Hwnd());
    EXPECT_FALSE(testsupport::SaveScreenshot(popup.Hwnd(), "uikit_toast").empty());
}

class SelfClosingToast : public SHostWnd {
public:
    static int alive;
    SelfClosingToast() : SHostWnd("LAYOUT:XML_GTOAST") { ++alive; }
    ~SelfClosingToast() override { --alive; }

protected:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM, BOOL& handled) override
    {
        // Destroys itself and lets the default handling follow, as a toast does.
        if (msg == WM_TIMER && wParam == 100)
            DestroyWindow(hwnd_);
        handled = FALSE;
        return 0;
    }
};
int SelfClosingToast::alive = 0;

TEST(Popups, PopupThatDestroysItselfFromItsTimerIsReleasedAfterwards)
{
    App();
    for (int i = 0; i < 3; ++i) {
        auto* toast = new SelfClosingToast;
        toast->SetAutoDelete(true);
        ASSERT_TRUE(toast->Create(nullptr));
        toast->FindControl("txt_tip")->SetText(L"文件同步中,不支持此操作!");
        SetWindowPos(toast->Hwnd(), HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        toast->SetTimer(100, 50 + i * 20);
    }
    EXPECT_EQ(SelfClosingToast::alive, 3);
    EXPECT_TRUE(testsupport::PumpUntil([] { return SelfClosingToast::alive == 0; }));
}

class DriveDialog : public SHostDialog {
    static constexpr UINT_PTR kClickTimer = 0x5A;

public:
    DriveDialog() : SHostDialog("LAYOUT:XML_GDIALOG") {}
    HWND owner = nullptr;
    bool ownerEnabledWhileOpen = true;
    bool initialised = false;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM, BOOL& handled) override
    {
        handled = FALSE;
        if (msg == WM_INITDIALOG) {
            initialised = true;
            OnCommand("but_ok", [this] {
                ownerEnabledWhileOpen = IsWindowEnabled(owner) != FALSE;
                RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                testsupport::SaveScreenshot(hwnd_, "uikit_dialog");
                EndDialog(IDOK);
            });
            // Clicked once the modal loop runs and the dialog has been on screen a moment,
            // so that the screenshot shows it painted.
            ::SetTimer(hwnd_, kClickTimer, 300, nullptr);
        }
        if (msg == WM_TIMER && wParam == kClickTimer) {
            ::KillTimer(hwnd_, kClickTimer);
            ClickControl(*this, "but_ok");
            handled = TRUE;
        }
        return 0;
    }
};

TEST(Dialogs, ModalDialogDisablesItsOwnerAndEndsWithTheCode)
{
    auto owner = OpenGallery();
    ASSERT_TRUE(owner);
    DriveDialog dialog;
    dialog.owner = owner->Hwnd();
    EXPECT_EQ(dialog.DoModal(owner->Hwnd()), IDOK);
    EXPECT_TRUE(dialog.initialised);
    EXPECT_FALSE(dialog.ownerEnabledWhileOpen);
    EXPECT_TRUE(IsWindowEnabled(owner->Hwnd()));
    EXPECT_EQ(dialog.Hwnd(), nullptr);
}

TEST(Dialogs, ClosingTheDialogEndsItWithCancel)
{
    App();
    class Closing : public SHostDialog {
    public:
        Closing() : SHostDialog("LAYOUT:XML_GDIALOG") {}

    protected:
        LRESULT OnMessage(UINT msg, WPARAM, LPARAM, BOOL& handled) override
        {
            handled = FALSE;
            if (msg == WM_INITDIALOG)
                PostMessageW(hwnd_, WM_CLOSE, 0, 0);
            return 0;
        }
    } dialog;
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

TEST(MessageBoxes, TheHookAnswersInsteadOfTheBox)
{
    App();
    std::wstring seenText, seenCaption;
    UINT seenType = 0;
    SetMessageBoxHook([&](HWND, const std::wstring& text, const std::wstring& caption, UINT type) {
        seenText = text;
        seenCaption = caption;
        seenType = type;
        return IDOK;
    });
    EXPECT_EQ(uikit::MessageBox(nullptr, L"请至少选择一个同步文件!", L"温馨提示", MB_ICONWARNING), IDOK);
    SetMessageBoxHook(nullptr);
    EXPECT_EQ(seenText, L"请至少选择一个同步文件!");
    EXPECT_EQ(seenCaption, L"温馨提示");
    EXPECT_EQ(seenType, static_cast<UINT>(MB_ICONWARNING));
}

TEST(MessageBoxes, ButtonsFollowTheType)
{
    const auto texts = [](UINT type) {
        std::vector<std::wstring> out;
        for (const auto& b : MessageBoxButtons(type))
            out.push_back(b.text);
        return out;
    };
    EXPECT_EQ(texts(MB_OK | MB_ICONWARNING), (std::vector<std::wstring>{L"确定(&O)"}));
    EXPECT_EQ(texts(MB_OKCANCEL), (std::vector<std::wstring>{L"确定(&O)", L"取消(&C)"}));
    EXPECT_EQ(texts(MB_ABORTRETRYIGNORE), (std::vector<std::wstring>{L"中止(&A)", L"重试(&R)", L"忽略(&I)"}));
    EXPECT_EQ(texts(MB_YESNOCANCEL), (std::vector<std::wstring>{L"是(&Y)", L"否(&N)", L"取消(&C)"}));
    EXPECT_EQ(texts(MB_YESNO), (std::vector<std::wstring>{L"是(&Y)", L"否(&N)"}));
    EXPECT_EQ(texts(MB_RETRYCANCEL), (std::vector<std::wstring>{L"重试(&R)", L"取消(&C)"}));
}

struct BoxProbe {
    HWND owner = nullptr;
    bool ownerEnabled = true;
    int width = 0, height = 0;
    std::wstring text;
    bool clicked = false;
};
BoxProbe g_probe;

TEST(MessageBoxes, RealBoxShowsTextAndButtonsAndAnswersTheClickedButton)
{
    auto owner = OpenGallery();
    ASSERT_TRUE(owner);
    g_probe = {};
    g_probe.owner = owner->Hwnd();
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND box = FindWindowW(App().HostClassName().c_str(), L"温馨提示");
        SHostWnd* host = SHostWnd::FromHwnd(box);
        if (!host)
            return;
        KillTimer(nullptr, id);
        RECT r;
        GetWindowRect(box, &r);
        g_probe.width = r.right - r.left;
        g_probe.height = r.bottom - r.top;
        g_probe.ownerEnabled = IsWindowEnabled(g_probe.owner) != FALSE;
        g_probe.text = host->FindControl("msgbox_text", "text")->GetText();
        testsupport::SaveScreenshot(box, "uikit_messagebox");
        g_probe.clicked = ClickControl(*host, "msgbox_btn_2");  // 取消(&C)
    });
    const std::wstring text = L"请至少选择一个待同步的游戏版本目录!这一行足够长，会在三百像素处换行显示。";
    const int answer = uikit::MessageBox(owner->Hwnd(), text, L"温馨提示", MB_OKCANCEL | MB_ICONWARNING);
    EXPECT_TRUE(g_probe.clicked);
    EXPECT_EQ(answer, IDCANCEL);
    EXPECT_EQ(g_probe.text, text);
    EXPECT_FALSE(g_probe.ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner->Hwnd()));
    EXPECT_GE(g_probe.width, 300);
    EXPECT_GE(g_probe.height, 135);
    // The text wraps at 300 pixels, so the box stays narrow.
    EXPECT_LE(g_probe.width, 2 + 20 + 32 + 12 + 300 + 20);
}

TEST(Pickers, TheHookAnswersInsteadOfTheSystemDialog)
{
    bool realCalled = false;
    const PickerFunction real = [&](const PickerRequest&) {
        realCalled = true;
        return std::vector<std::wstring>{};
    };
    SetPickerHook([](const PickerRequest& request) {
        return request.kind == PickerRequest::Folder ? std::vector<std::wstring>{L"D:\\"}
                                                     : std::vector<std::wstring>{L"D:\\a.txt", L"D:\\b.txt"};
    });
    EXPECT_EQ(RunPicker({PickerRequest::Folder, nullptr, L"", L""}, real), (std::vector<std::wstring>{L"D:\\"}));
    EXPECT_EQ(RunPicker({PickerRequest::Files, nullptr, L"Korvel文件同步工具", L""}, real).size(), 2u);
    EXPECT_FALSE(realCalled);
    SetPickerHook(nullptr);
    RunPicker({PickerRequest::Files, nullptr, L"", L""}, real);
    EXPECT_TRUE(realCalled);
}

TEST(Startup, DecoderIsChosenByNameAndUnknownNamesFail)
{
    EXPECT_NE(CreateImgDecoderFactory(L"imgdecoder-stb"), nullptr);
    EXPECT_EQ(CreateImgDecoderFactory(L"imgdecoder-png"), nullptr);
    EXPECT_EQ(CreateImgDecoderFactory(L""), nullptr);
    EXPECT_STREQ(kLoadRenderFailed, L"load interface [render] failed!");
    App();
    ClearDiagLines();
    EXPECT_EQ(SToolkit::Start(GetModuleHandleW(nullptr), L"imgdecoder-png", L"SearchHostProbe", {}), nullptr);
    EXPECT_EQ(RecentDiagLines().back(), L"load interface [imgdecoder] failed!");
    EXPECT_EQ(SApplication::Get(), &App()) << "a failed start leaves the running toolkit alone";
}

}  // namespace
}  // namespace uikittest
