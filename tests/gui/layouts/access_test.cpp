#include <gtest/gtest.h>

#include <map>
#include <string>

#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include "tests/gui/layouts/layoutsenv.h"
#include "tests/gui/support/toolkitenv.h"
#include "uikit/listctrl_win.h"

namespace layoutstest {
namespace {

using namespace uikit;

std::wstring HeaderItemText(const SListCtrl& list, int column)
{
    wchar_t text[64] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(list.Header(), HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item));
    return text;
}

TEST(Accessibility, SkinnedButtonsAreButtonsWithTheirTextAndListColumnsHaveNames)
{
    auto host = OpenMainWindow();
    ASSERT_TRUE(host);
    testsupport::BuildEveryPage(*host);
    int buttons = 0;
    std::map<std::string, std::wstring> names;
    host->ForEachControl([&](SControl& control) {
        if (control.Kind() != "button" && control.Kind() != "imgbtn" && control.Kind() != "link")
            return;
        ++buttons;
        wchar_t className[32] = {};
        GetClassNameW(control.Hwnd(), className, 32);
        EXPECT_STREQ(className, L"Button") << control.Name();
        EXPECT_EQ(GetWindowLongW(control.Hwnd(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW) << control.Name();
        wchar_t text[128] = {};
        GetWindowTextW(control.Hwnd(), text, 128);
        names[control.Name()] = text;
        if (!control.GetText().empty()) {
            EXPECT_EQ(text, control.GetText()) << control.Name();
        }
    });
    EXPECT_EQ(buttons, 26);
    // The buttons that show only a picture are named too.
    EXPECT_EQ(names["btn_min"], L"最小化");
    EXPECT_EQ(names["btn_restore"], L"还原");
    EXPECT_EQ(names["btn_close"], L"关闭");
    EXPECT_EQ(names["but_drop_drive"], L"选择盘符");
    EXPECT_EQ(names["imgbtn_addfile"], L"添加文件");
    const auto* folders = host->FindControlAs<SListCtrl>("lv_engine_folder");
    EXPECT_EQ(HeaderItemText(*folders, 0), L"全选");
    EXPECT_EQ(HeaderItemText(*folders, 1), L" 目录");
    const auto* files = host->FindControlAs<SListCtrl>("lv_file");
    EXPECT_EQ(HeaderItemText(*files, 0), L"文件名");
    EXPECT_EQ(HeaderItemText(*files, 1), L"路径");

    // What an accessibility client gets from the system's standard object of a button.
    CoInitialize(nullptr);
    IAccessible* accessible = nullptr;
    const HRESULT got = AccessibleObjectFromWindow(host->FindControl("btn_startsync")->Hwnd(), OBJID_CLIENT,
                                                   IID_IAccessible, reinterpret_cast<void**>(&accessible));
    if (FAILED(got))
        GTEST_SKIP() << "no standard accessible object for a button here (Wine's oleacc answers E_NOINTERFACE)";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role{};
    EXPECT_EQ(accessible->get_accRole(self, &role), S_OK);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_PUSHBUTTON);
    BSTR name = nullptr;
    EXPECT_EQ(accessible->get_accName(self, &name), S_OK);
    EXPECT_EQ(std::wstring(name ? name : L""), L"开始同步");
    SysFreeString(name);
    accessible->Release();
}

}  // namespace
}  // namespace layoutstest
