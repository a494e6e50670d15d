#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/winhandle.h"
#include "tests/gui/uikit/uikitenv.h"
#include "tests/support/pump.h"
#include "tests/support/screenshot.h"
#include "uikit/listctrl_win.h"

namespace uikittest {
namespace {

using namespace uikit;
using namespace std::chrono_literals;

// The gallery's file list: check boxes, two columns, multiple selection.
class FileList : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = OpenGallery();
        ASSERT_TRUE(host);
        list = host->FindControlAs<SListCtrl>("lv_file");
        ASSERT_NE(list, nullptr);
        SetForegroundWindow(host->Hwnd());
    }

    // Rows "f0".."f<n-1>" with "path\f<i>" in column 1; rows in `checked` are checked.
    void Fill(int n, const std::vector<int>& checked = {})
    {
        for (int i = 0; i < n; ++i) {
            const int row = list->InsertItem(list->GetItemCount(), L"f" + std::to_wstring(i));
            list->SetItemText(row, 1, L"path\\f" + std::to_wstring(i));
        }
        for (int row : checked)
            list->SetCheckState(row, true);
    }

    std::vector<std::wstring> Column(int column) const
    {
        std::vector<std::wstring> texts;
        for (int row = 0; row < list->GetItemCount(); ++row)
            texts.push_back(list->GetItemText(row, column));
        return texts;
    }

    std::vector<int> CheckedRows() const
    {
        std::vector<int> rows;
        for (int row = 0; row < list->GetItemCount(); ++row) {
            if (list->GetCheckState(row))
                rows.push_back(row);
        }
        return rows;
    }

    // The middle of the row's check box, in list client coordinates, found by the list's
    // own hit test along the row.
    POINT BoxPoint(int row) const
    {
        RECT bounds{LVIR_BOUNDS, 0, 0, 0};
        SendMessageW(list->Hwnd(), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&bounds));
        const int y = (bounds.top + bounds.bottom) / 2;
        int first = -1, last = -1;
        for (int x = bounds.left; x < bounds.left + 60; ++x) {
            LVHITTESTINFO hit{};
            hit.pt = {x, y};
            if (ListView_SubItemHitTest(list->Hwnd(), &hit) == row && hit.iSubItem == 0 &&
                (hit.flags & LVHT_ONITEM) == LVHT_ONITEMSTATEICON) {
                if (first < 0)
                    first = x;
                last = x;
            }
        }
        return {(first + last) / 2, first < 0 ? -1 : y};
    }

    // A press and release of the left button at `at`, queued as the mouse would deliver them.
    void Click(POINT at) const
    {
        const LPARAM where = MAKELPARAM(at.x, at.y);
        PostMessageW(list->Hwnd(), WM_MOUSEMOVE, 0, where);
        PostMessageW(list->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, where);
        PostMessageW(list->Hwnd(), WM_LBUTTONUP, 0, where);
        testsupport::PumpFor(100ms);
    }

    void Key(WPARAM key) const
    {
        PostMessageW(list->Hwnd(), WM_KEYDOWN, key, 1);
        PostMessageW(list->Hwnd(), WM_CHAR, key == VK_SPACE ? L' ' : 0, 1);
        PostMessageW(list->Hwnd(), WM_KEYUP, key, 0xC0000001);
        testsupport::PumpFor(100ms);
    }

    std::unique_ptr<TestHost> host;
    SListCtrl* list = nullptr;
};

TEST_F(FileList, HoldsRowsInOrderAndTheNativeListSeesThemAtOnce)
{
    Fill(3);
    EXPECT_EQ(list->InsertItem(1, L"mid"), 1);
    EXPECT_EQ(list->InsertItem(-5, L"top"), 0);  // clamped to the start
    EXPECT_EQ(Column(0), (std::vector<std::wstring>{L"top", L"f0", L"mid", L"f1", L"f2"}));
    EXPECT_EQ(list->GetItemText(2, 1), L"");
    EXPECT_EQ(list->GetItemText(3, 1), L"path\\f1");
    EXPECT_EQ(list->GetItemText(3, 2), L"");  // no such column
    EXPECT_FALSE(list->SetItemText(3, 2, L"x"));
    EXPECT_FALSE(list->SetItemText(-1, 0, L"x"));
    EXPECT_FALSE(list->GetCheckState(-1));
    EXPECT_FALSE(list->SetCheckState(5, true));

    // Without a turn of the message loop the native list already measures the last row.
    RECT last{LVIR_BOUNDS, 0, 0, 0};
    EXPECT_TRUE(SendMessageW(list->Hwnd(), LVM_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&last)));
    EXPECT_EQ(ListView_GetItemCount(list->Hwnd()), 5);

    EXPECT_TRUE(list->SetCheckState(3, true));
    EXPECT_TRUE(list->DeleteItem(1));
    EXPECT_FALSE(list->DeleteItem(4));
    EXPECT_EQ(Column(0), (std::vector<std::wstring>{L"top", L"mid", L"f1", L"f2"}));
    EXPECT_EQ(CheckedRows(), (std::vector<int>{2}));  // the check moved with its row
    testsupport::PumpFor(50ms);
    EXPECT_EQ(ListView_GetItemCount(list->Hwnd()), 4);
    list->DeleteAllItems();
    EXPECT_EQ(list->GetItemCount(), 0);
    testsupport::PumpFor(50ms);
    EXPECT_EQ(ListView_GetItemCount(list->Hwnd()), 0);
}

TEST_F(FileList, DeleteCheckedItemsKeepsTheOrderAndReturnsTheRemovedTexts)
{
    Fill(8, {0, 3, 4, 7});
    EXPECT_TRUE(list->DeleteCheckedItems(2).empty());  // no such column: nothing removed
    EXPECT_EQ(list->GetItemCount(), 8);
    EXPECT_EQ(list->CheckedItemTexts(0), (std::vector<std::wstring>{L"f0", L"f3", L"f4", L"f7"}));
    EXPECT_TRUE(list->CheckedItemTexts(2).empty());
    EXPECT_EQ(list->DeleteCheckedItems(1),
              (std::vector<std::wstring>{L"path\\f0", L"path\\f3", L"path\\f4", L"path\\f7"}));
    EXPECT_EQ(Column(0), (std::vector<std::wstring>{L"f1", L"f2", L"f5", L"f6"}));
    EXPECT_EQ(Column(1), (std::vector<std::wstring>{L"path\\f1", L"path\\f2", L"path\\f5", L"path\\f6"}));
    EXPECT_TRUE(CheckedRows().empty());
    EXPECT_TRUE(list->DeleteCheckedItems(0).empty());
    EXPECT_EQ(list->GetItemCount(), 4);
    list->SetAllChecks(true);
    EXPECT_EQ(list->DeleteCheckedItems(0), (std::vector<std::wstring>{L"f1", L"f2", L"f5", L"f6"}));
    EXPECT_EQ(list->GetItemCount(), 0);
}

TEST_F(FileList, SetAllChecksAndInvertChecksCountTheRows)
{
    EXPECT_EQ(list->InvertChecks(), 0);  // empty list
    Fill(6, {1, 2});
    EXPECT_EQ(list->SetAllChecks(true), 4);
    EXPECT_EQ(list->SetAllChecks(true), 0);
    EXPECT_EQ(list->InvertChecks(), 0);
    EXPECT_TRUE(CheckedRows().empty());
    list->SetCheckState(4, true);
    EXPECT_EQ(list->InvertChecks(), 5);
    EXPECT_EQ(CheckedRows(), (std::vector<int>{0, 1, 2, 3, 5}));
    EXPECT_EQ(list->SetAllChecks(false), 5);
}

TEST_F(FileList, DeletingOrInsertingAboveTheSelectionClearsItAppendingKeepsIt)
{
    Fill(6);
    EXPECT_TRUE(list->SetSelected(4, true));
    list->InsertItem(6, L"appended");
    EXPECT_TRUE(list->IsSelected(4));
    EXPECT_FALSE(list->IsSelected(6));
    list->InsertItem(0, L"first");
    for (int row = 0; row < list->GetItemCount(); ++row)
        EXPECT_FALSE(list->IsSelected(row)) << row;
    EXPECT_TRUE(list->SetSelected(5, true));
    EXPECT_TRUE(list->DeleteItem(1));
    for (int row = 0; row < list->GetItemCount(); ++row)
        EXPECT_FALSE(list->IsSelected(row)) << row;
    EXPECT_FALSE(list->SetSelected(list->GetItemCount(), true));

    // Far down a long list: the rows shown stay where they were.
    Fill(300);
    list->EnsureVisible(250);
    testsupport::PumpFor(50ms);
    const int top = ListView_GetTopIndex(list->Hwnd());
    ASSERT_GT(top, 200);
    for (int row = top; row < top + 5; ++row)
        list->SetSelected(row, true);
    ListView_SetItemState(list->Hwnd(), top + 2, LVIS_FOCUSED, LVIS_FOCUSED);
    EXPECT_TRUE(list->DeleteItem(top + 1));
    testsupport::PumpFor(50ms);
    EXPECT_EQ(ListView_GetTopIndex(list->Hwnd()), top);
    EXPECT_EQ(ListView_GetSelectedCount(list->Hwnd()), 0u);
    EXPECT_EQ(ListView_GetNextItem(list->Hwnd(), -1, LVNI_FOCUSED), -1);
    EXPECT_EQ(ListView_GetItemCount(list->Hwnd()), list->GetItemCount());
}

TEST_F(FileList, AClickOnTheBoxTogglesItOnceAClickElsewhereOnlySelects)
{
    Fill(4, {2});
    std::vector<bool> reported;
    host->OnCheckChanged("lv_file", [&](bool checked) { reported.push_back(checked); });
    testsupport::PumpFor(50ms);

    const POINT box1 = BoxPoint(1);
    ASSERT_GE(box1.y, 0) << "no check box found on row 1";
    Click(box1);
    EXPECT_EQ(CheckedRows(), (std::vector<int>{1, 2}));
    EXPECT_FALSE(list->IsSelected(1));
    Click(BoxPoint(2));
    EXPECT_EQ(CheckedRows(), (std::vector<int>{1}));
    EXPECT_EQ(reported, (std::vector<bool>{true, false}));

    // The path column of row 3: selected, box untouched.
    RECT cell{};
    ListView_GetSubItemRect(list->Hwnd(), 3, 1, LVIR_BOUNDS, &cell);
    Click({(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2});
    EXPECT_EQ(CheckedRows(), (std::vector<int>{1}));
    EXPECT_TRUE(list->IsSelected(3));
    EXPECT_EQ(reported.size(), 2u);

    // Below the last row: nothing.
    Click({box1.x, cell.bottom + 40});
    EXPECT_EQ(CheckedRows(), (std::vector<int>{1}));

    // The same through the system's input queue: the cursor onto row 0's box, press, release.
    POINT screen = BoxPoint(0);
    ClientToScreen(list->Hwnd(), &screen);
    ASSERT_TRUE(SetCursorPos(screen.x, screen.y));
    INPUT input[2]{};
    input[0].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].type = INPUT_MOUSE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(2, input, sizeof(INPUT)), 2u);
    testsupport::PumpUntil([&] { return list->GetCheckState(0); }, 3s);
    testsupport::PumpFor(100ms);
    EXPECT_EQ(CheckedRows(), (std::vector<int>{0, 1}));
    EXPECT_EQ(reported, (std::vector<bool>{true, false, true}));
}

TEST_F(FileList, TheSpaceBarTogglesTheSelectedRows)
{
    Fill(5, {3});
    SetFocus(list->Hwnd());
    list->SetSelected(0, true);
    list->SetSelected(2, true);
    Key(VK_SPACE);
    EXPECT_EQ(CheckedRows(), (std::vector<int>{0, 2, 3}));
    Key(VK_SPACE);
    EXPECT_EQ(CheckedRows(), (std::vector<int>{3}));
    // The key's auto-repeat while held down changes nothing.
    PostMessageW(list->Hwnd(), WM_KEYDOWN, VK_SPACE, 1 | (1 << 30));
    testsupport::PumpFor(50ms);
    EXPECT_EQ(CheckedRows(), (std::vector<int>{3}));

    // A mixed selection takes the opposite of the focused row's state, together.
    list->SetSelected(0, false);
    list->SetSelected(2, false);
    list->SetSelected(3, true);
    list->SetSelected(4, true);
    ListView_SetItemState(list->Hwnd(), 4, LVIS_FOCUSED, LVIS_FOCUSED);
    Key(VK_SPACE);
    EXPECT_EQ(CheckedRows(), (std::vector<int>{3, 4}));
    ListView_SetItemState(list->Hwnd(), 3, LVIS_FOCUSED, LVIS_FOCUSED);
    list->SetCheckState(4, false);
    Key(VK_SPACE);
    EXPECT_TRUE(CheckedRows().empty());
    // The selection stays where it was (the space is no type-ahead key).
    EXPECT_FALSE(list->IsSelected(0));
    EXPECT_TRUE(list->IsSelected(3));
    EXPECT_TRUE(list->IsSelected(4));
}

// Dark pixels (text, tick marks) of `area` of the list window as it is painted now.
int DarkPixels(HWND window, const RECT& area)
{
    const WindowDc screen(window);
    const int w = area.right - area.left, h = area.bottom - area.top;
    const MemoryDc memory(CreateCompatibleDC(screen.Get()));
    const GdiObject bitmap(CreateCompatibleBitmap(screen.Get(), w, h));
    const SelectedObject selected(memory.Get(), bitmap.Get());
    BitBlt(memory.Get(), 0, 0, w, h, screen.Get(), area.left, area.top, SRCCOPY);
    int dark = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const COLORREF c = GetPixel(memory.Get(), x, y);
            if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 110)
                ++dark;
        }
    }
    return dark;
}

TEST_F(FileList, PaintsRowsFromItsOwnData)
{
    const wchar_t* names[] = {L"Config.ini", L"QManage.txt", L"Mir200脚本.txt", L"物品数据.db"};
    for (int i = 0; i < 4; ++i) {
        const int row = list->InsertItem(i, names[i]);
        if (i != 1)
            list->SetItemText(row, 1, std::wstring(L"D:\\MirServer\\Mir200\\Envir\\") + names[i]);
        list->SetCheckState(row, i % 2 == 0);
    }
    testsupport::PumpFor(200ms);
    EXPECT_FALSE(testsupport::SaveScreenshot(host->Hwnd(), "uikit_listctrl_rows").empty());

    const auto box = [&](int row) {
        const POINT mid = BoxPoint(row);
        return RECT{mid.x - 5, mid.y - 5, mid.x + 6, mid.y + 6};
    };
    const auto path = [&](int row) {
        RECT cell{};
        ListView_GetSubItemRect(list->Hwnd(), row, 1, LVIR_BOUNDS, &cell);
        return cell;
    };
    // Checked boxes carry a tick, unchecked ones only their frame.
    EXPECT_GT(DarkPixels(list->Hwnd(), box(0)), DarkPixels(list->Hwnd(), box(1)) + 5);
    EXPECT_GT(DarkPixels(list->Hwnd(), box(2)), DarkPixels(list->Hwnd(), box(3)) + 5);
    // The second column shows the row's path; row 1 has none.
    EXPECT_GT(DarkPixels(list->Hwnd(), path(0)), 20);
    EXPECT_EQ(DarkPixels(list->Hwnd(), path(1)), 0);

    // After a change the list repaints from the new state without further calls.
    list->InvertChecks();
    testsupport::PumpFor(200ms);
    EXPECT_GT(DarkPixels(list->Hwnd(), box(1)), DarkPixels(list->Hwnd(), box(0)) + 5);
    EXPECT_FALSE(testsupport::SaveScreenshot(host->Hwnd(), "uikit_listctrl_inverted").empty());
}

// Messages sent to one window while alive.
struct SentMessages {
    static inline HWND window = nullptr;
    static inline int count = 0;
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HC_ACTION && reinterpret_cast<CWPSTRUCT*>(lParam)->hwnd == window)
            ++count;
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    explicit SentMessages(HWND target)
    {
        window = target;
        count = 0;
        hook = SetWindowsHookExW(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId());
    }
    ~SentMessages() { UnhookWindowsHookEx(hook); }
    HHOOK hook = nullptr;
};

TEST_F(FileList, ManyRowsCostTheNativeListNoMessagePerRow)
{
    {
        SentMessages sent(list->Hwnd());
        ASSERT_NE(sent.hook, nullptr);
        Fill(20000, {19999});
        list->SetAllChecks(true);
        list->InvertChecks();
        list->SetCheckState(19999, true);
        EXPECT_LT(sent.count, 5);
        // The count does see messages to the list.
        const int before = sent.count;
        EXPECT_EQ(ListView_GetItemCount(list->Hwnd()), 20000);
        EXPECT_GT(sent.count, before);
    }
    EXPECT_EQ(list->GetItemCount(), 20000);
    list->EnsureVisible(19999);
    testsupport::PumpFor(100ms);
    EXPECT_GT(ListView_GetTopIndex(list->Hwnd()), 19900);
    EXPECT_TRUE(list->GetCheckState(19999));
    EXPECT_EQ(list->GetItemText(19999, 1), L"path\\f19999");

    // Type-ahead over the rows' own texts: "f1234" finds that row.
    LVFINDINFOW find{};
    find.flags = LVFI_STRING | LVFI_PARTIAL | LVFI_WRAP;
    find.psz = L"F1234";
    EXPECT_EQ(ListView_FindItem(list->Hwnd(), -1, &find), 1234);
    find.flags = LVFI_STRING;
    find.psz = L"f12345";
    EXPECT_EQ(ListView_FindItem(list->Hwnd(), 20, &find), 12345);
    find.psz = L"nothing";
    EXPECT_EQ(ListView_FindItem(list->Hwnd(), -1, &find), -1);
}

}  // namespace
}  // namespace uikittest
