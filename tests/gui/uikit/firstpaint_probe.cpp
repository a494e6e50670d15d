// Measures the time from process start to the first paint of a host window built from a
// layout of 150 controls, and prints it. Run by hand under Wine; not a test.
#include <chrono>
#include <cstdio>
#include <string>

#include <windows.h>

#include "common/textutil.h"
#include "uikit/hostwnd_win.h"
#include "uikit/toolkit_win.h"

namespace {

std::string ManyControls()
{
    std::string xml =
        R"(<window size="900,600" padding="1" skin="_skin.user.dlgbk"><window layout="vbox" gap="2" padding="4">)";
    // 10 rows of 14 controls each, plus the row containers and a list: about 150 controls.
    for (int row = 0; row < 10; ++row) {
        xml += R"(<window height="share" layout="hbox" gap="3" valign="center" colorBkgnd="#F8F8F8">)";
        for (int i = 0; i < 14; ++i) {
            const std::string name = std::to_string(row) + "_" + std::to_string(i);
            switch (i % 5) {
            case 0:
                xml += "<text name=\"t" + name + "\" class=\"cls_txt_def\" text=\"文本" + name + "\"/>";
                break;
            case 1:
                xml += "<button name=\"b" + name + "\" size=\"60,24\" class=\"cls_btn_def\" text=\"按钮\"/>";
                break;
            case 2:
                xml += "<check name=\"c" + name + "\" text=\"选项\"/>";
                break;
            case 3:
                xml += "<img name=\"i" + name + "\" size=\"14,14\" skin=\"_skin.user.questiontip\"/>";
                break;
            default:
                xml += "<progress name=\"p" + name + "\" width=\"share\" height=\"18\" value=\"40\"/>";
                break;
            }
        }
        xml += "</window>";
    }
    xml +=
        R"(<listctrl name="lv" height="120" checkBox="1" rowHeight="20"><header height="22"><column text="A" width="150"/><column text="B" width="share"/></header></listctrl>)";
    xml += "</window></window>";
    return xml;
}

double MillisecondsSinceProcessStart()
{
    FILETIME created, exited, kernel, user, now;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(now) - ticks(created)) / 10000.0;
}

class ProbeHost : public uikit::SHostWnd {
public:
    using uikit::SHostWnd::SHostWnd;
    int controls = 0;

protected:
    LRESULT OnMessage(UINT msg, WPARAM, LPARAM, BOOL& handled) override
    {
        handled = FALSE;
        if (msg == WM_PAINT && !painted_) {
            painted_ = true;
            std::printf("first paint after %.1f ms (%d controls)\n", MillisecondsSinceProcessStart(), controls);
            std::fflush(stdout);
            PostQuitMessage(0);
        }
        return 0;
    }

private:
    bool painted_ = false;
};

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    HINSTANCE self = GetModuleHandleW(nullptr);
    const auto toolkit = uikit::SToolkit::Start(self, L"imgdecoder-stb", L"SearchHost", {});
    if (!toolkit || !toolkit->LoadResources(self, "uidef:xml_init"))
        return 1;
    const auto start = std::chrono::steady_clock::now();
    // An optional argument names a layout resource to measure instead of the generated one.
    ProbeHost host(argc > 1 ? ToUtf8(argv[1]) : "LAYOUT:PROBE", argc > 1 ? std::string() : ManyControls());
    if (!host.Create(nullptr))
        return 1;
    const auto built = std::chrono::steady_clock::now();
    host.ForEachControl([&host](uikit::SControl&) { ++host.controls; });
    RECT wr, cr;
    GetWindowRect(host.Hwnd(), &wr);
    GetClientRect(host.Hwnd(), &cr);
    POINT origin{0, 0};
    ClientToScreen(host.Hwnd(), &origin);
    std::printf("window %ld,%ld-%ld,%ld client %ldx%ld at %ld,%ld\n", wr.left, wr.top, wr.right, wr.bottom, cr.right,
                cr.bottom, origin.x, origin.y);
    std::printf("built in %.1f ms\n", std::chrono::duration<double, std::milli>(built - start).count());
    SendMessageW(host.Hwnd(), WM_INITDIALOG, 0, 0);
    host.CenterWindow();
    host.ShowNormal();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    const auto closing = std::chrono::steady_clock::now();
    DestroyWindow(host.Hwnd());
    std::printf("destroyed in %.1f ms\n",
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - closing).count());
    return 0;
}
