// Filling the file list with 10,000 and 100,000 rows in a real window, as the main window
// adds a folder: InsertItem, the path in column 1, the check box set, then the repaint.
// The list control is timed against a plain report list view filled natively in the same
// run (one insert, one text and one check-state message per row). Times are wall-clock
// milliseconds on the UI thread. Run by hand under Wine with a display; prints a table.
//
//   listctrl_bench [rows...]      default: 10000 100000
//   listctrl_bench --no-baseline  skips the native list view
//   listctrl_bench --cap N        stops filling the native list view after N seconds
//                                 (default 900) and reports how far it got
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "uikit/hostwnd_win.h"
#include "uikit/listctrl_win.h"
#include "uikit/toolkit_win.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Runs the UI thread's messages until none is left, paints included.
void Drain()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

const char kLayout[] = R"(<window size="900,600" layout="vbox" padding="4">
  <listctrl name="lv_file" height="share" checkBox="1" multiSelect="1" rowHeight="20">
    <header height="22"><column text="Name" width="150"/><column text="Path" width="share"/></header>
  </listctrl>
</window>)";

std::wstring Name(int i)
{
    return L"file" + std::to_wstring(i) + L".txt";
}

std::wstring Path(int i)
{
    return L"D:\\MirServer\\Mir200\\Envir\\folder" + std::to_wstring(i / 100) + L"\\" + Name(i);
}

struct Timing {
    double fill = 0;   // rows added
    double paint = 0;  // message queue drained afterwards (count update and repaint)
    double Total() const { return fill + paint; }
};

Timing FillControl(uikit::SListCtrl& list, int rows)
{
    list.DeleteAllItems();
    Drain();
    Timing t;
    auto start = Clock::now();
    for (int i = 0; i < rows; ++i) {
        const int row = list.InsertItem(list.GetItemCount(), Name(i));
        list.SetItemText(row, 1, Path(i));
        list.SetCheckState(row, i % 3 != 0);
    }
    t.fill = Since(start);
    start = Clock::now();
    Drain();
    t.paint = Since(start);
    if (list.GetItemCount() != rows || ListView_GetItemCount(list.Hwnd()) != rows)
        std::printf("  !! list holds %d rows, native list %d, expected %d\n", list.GetItemCount(),
                    ListView_GetItemCount(list.Hwnd()), rows);
    return t;
}

// Fills the native list; `done` receives the rows added before the time cap ran out.
Timing FillNative(HWND list, int rows, double capMs, int& done)
{
    ListView_DeleteAllItems(list);
    Drain();
    Timing t;
    auto start = Clock::now();
    done = rows;
    for (int i = 0; i < rows; ++i) {
        if (i % 256 == 0 && Since(start) > capMs) {
            done = i;
            break;
        }
        std::wstring name = Name(i), path = Path(i);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = ListView_GetItemCount(list);
        item.pszText = name.data();
        const int row = ListView_InsertItem(list, &item);
        LVITEMW sub{};
        sub.iSubItem = 1;
        sub.pszText = path.data();
        SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&sub));
        ListView_SetCheckState(list, row, i % 3 != 0);
    }
    t.fill = Since(start);
    start = Clock::now();
    Drain();
    t.paint = Since(start);
    return t;
}

HWND CreateNativeList(HWND parent)
{
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, 4, 4, 892,
                                592, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_CHECKBOXES);
    const wchar_t* captions[] = {L"Name", L"Path"};
    for (int i = 0; i < 2; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.cx = i == 0 ? 150 : 700;
        column.pszText = const_cast<wchar_t*>(captions[i]);
        column.iSubItem = i;
        ListView_InsertColumn(list, i, &column);
    }
    return list;
}

double Best(int runs, const std::function<double()>& run)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, run());
    return best;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::vector<int> sizes;
    bool baseline = true;
    double capMs = 900 * 1000.0;
    for (int i = 1; i < argc; ++i) {
        if (std::wcscmp(argv[i], L"--no-baseline") == 0)
            baseline = false;
        else if (std::wcscmp(argv[i], L"--cap") == 0 && i + 1 < argc)
            capMs = 1000.0 * _wtoi(argv[++i]);
        else if (const int n = _wtoi(argv[i]); n > 0)
            sizes.push_back(n);
    }
    if (sizes.empty())
        sizes = {10000, 100000};

    INITCOMMONCONTROLSEX common{sizeof(common), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&common);
    HINSTANCE self = GetModuleHandleW(nullptr);
    const auto toolkit = uikit::SToolkit::Start(self, L"imgdecoder-stb", L"SearchHost", {});
    if (!toolkit || !toolkit->LoadResources(self, "uidef:xml_init")) {
        std::printf("cannot start the toolkit\n");
        return 1;
    }

    uikit::SHostWnd host("LAYOUT:LISTBENCH", kLayout);
    if (!host.Create(nullptr)) {
        std::printf("cannot create the window\n");
        return 1;
    }
    ShowWindow(host.Hwnd(), SW_SHOWNORMAL);
    Drain();
    auto* list = host.FindControlAs<uikit::SListCtrl>("lv_file");
    if (!list) {
        std::printf("no list control in the layout\n");
        return 1;
    }

    std::printf("%-10s %12s %12s %12s   %12s %12s\n", "rows", "fill ms", "paint ms", "total ms", "native ms",
                "native/list");
    std::vector<double> totals, natives;
    bool nativeComplete = true;
    for (int rows : sizes) {
        Timing best{1e300, 0};
        for (int run = 0; run < 3; ++run) {
            const Timing t = FillControl(*list, rows);
            if (t.Total() < best.Total())
                best = t;
        }
        totals.push_back(best.Total());
        double native = 0;
        int nativeRows = rows;
        if (baseline) {
            ShowWindow(list->Hwnd(), SW_HIDE);
            HWND plain = CreateNativeList(host.Hwnd());
            native = FillNative(plain, rows, capMs, nativeRows).Total();
            DestroyWindow(plain);
            ShowWindow(list->Hwnd(), SW_SHOW);
            Drain();
        }
        natives.push_back(native);
        // A native fill cut short by the time cap gives lower bounds, marked with '>'.
        const char* bound = nativeRows < rows ? ">" : " ";
        std::printf("%-10d %12.1f %12.1f %12.1f   %s%11.1f %s%11.1f\n", rows, best.fill, best.paint, best.Total(),
                    bound, native, bound, baseline ? native / best.Total() : 0.0);
        nativeComplete = nativeComplete && nativeRows == rows;
        if (nativeRows < rows)
            std::printf("  native list view stopped at the time cap: %d of %d rows in %.1f ms (%.2f ms a row)\n",
                        nativeRows, rows, native, native / std::max(nativeRows, 1));
        std::fflush(stdout);
    }
    for (size_t i = 1; i < sizes.size(); ++i) {
        std::printf("ratio %d/%d rows: list %.2f", sizes[i], sizes[0], totals[i] / totals[0]);
        if (baseline && nativeComplete)
            std::printf(", native %.2f", natives[i] / natives[0]);
        std::printf("\n");
    }

    // Bulk changes on the largest list: every third row is unchecked after the fill.
    const int largest = sizes.back();
    FillControl(*list, largest);
    auto start = Clock::now();
    const int changed = list->SetAllChecks(true);
    Drain();
    std::printf("SetAllChecks on %d rows: %d changed, %.1f ms\n", largest, changed, Since(start));
    start = Clock::now();
    const int checked = list->InvertChecks();
    Drain();
    std::printf("InvertChecks on %d rows: %d checked, %.1f ms\n", largest, checked, Since(start));
    // The operator selects every row (Ctrl+A), toggles them with the space bar, then one row
    // is deleted (which drops the selection).
    FillControl(*list, largest);
    LVITEMW all{};
    all.state = LVIS_SELECTED;
    all.stateMask = LVIS_SELECTED;
    start = Clock::now();
    SendMessageW(list->Hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
    Drain();
    std::printf("select all %d rows: %.1f ms\n", largest, Since(start));
    start = Clock::now();
    SendMessageW(list->Hwnd(), WM_KEYDOWN, VK_SPACE, 1);
    Drain();
    int nowChecked = 0;
    for (int i = 0; i < list->GetItemCount(); ++i)
        nowChecked += list->GetCheckState(i) ? 1 : 0;
    std::printf("space over %d selected rows: %.1f ms (%d checked)\n", largest, Since(start), nowChecked);
    start = Clock::now();
    list->DeleteItem(0);
    Drain();
    std::printf("delete one row under a full selection: %.1f ms (%d selected left)\n", Since(start),
                static_cast<int>(SendMessageW(list->Hwnd(), LVM_GETSELECTEDCOUNT, 0, 0)));

    for (int rows : sizes) {
        const double ms = Best(3, [&] {
            FillControl(*list, rows);
            for (int i = 0; i < rows; ++i)
                list->SetCheckState(i, i % 2 == 0);
            Drain();
            const auto begin = Clock::now();
            const auto removed = list->DeleteCheckedItems(1);
            Drain();
            const double took = Since(begin);
            if (static_cast<int>(removed.size()) != (rows + 1) / 2 || list->GetItemCount() != rows / 2)
                std::printf("  !! removed %zu rows, %d left\n", removed.size(), list->GetItemCount());
            return took;
        });
        std::printf("DeleteCheckedItems, half of %d rows: %.1f ms\n", rows, ms);
    }
    std::fflush(stdout);
    DestroyWindow(host.Hwnd());
    return 0;
}
