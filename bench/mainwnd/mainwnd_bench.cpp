// Times the main window under load, under Wine:
//  1. adding a folder of 10,000 and of 100,000 files to the sync file list: the whole add
//     against the bare walk of the same folder (ListFilesRecursive), so the difference is
//     what the list itself costs the window thread;
//  2. a run of 10,000 copies (1,000 files into 10 version directories): the longest time
//     a message posted to the window waited before the window thread took it, against the
//     same probe while the window is idle;
//  3. the preview of 100,000 pairs (1,000 files in directories of 200 into 100 version
//     directories, half of the targets existing): from the click to the shown plan, with
//     the longest single message and the longest probe wait meanwhile, against the idle
//     window's.
// Prints one line per figure.
// Usage: mainwnd_bench.exe <scratch directory> [adds|run|preview]   (all when not given)

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "bench/mainwnd/benchwindow.h"
#include "bench/sync/benchsupport.h"
#include "common/fileutil.h"
#include "syncfolderapp/discovery/scanmessages.h"
#include "syncfolderapp/mainwnd/mainframewnd.h"
#include "syncfolderapp/namedids.h"
#include "syncfolderapp/popups/popuplayouts.h"
#include "tests/gui/support/toolkitenv.h"
#include "uikit/automation_win.h"
#include "uikit/checkbox_win.h"
#include "uikit/containers_win.h"
#include "uikit/listctrl_win.h"
#include "uikit/messagebox_win.h"
#include "uikit/tabctrl_win.h"

namespace {

using benchwnd::AddByDialog;
using benchwnd::Clock;
using benchwnd::MsSince;
using benchwnd::OpenWindow;
using benchwnd::Pump;
constexpr UINT kProbe = WM_APP + 77;

void WriteSmallFile(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, "data", 4, &written, nullptr);
    CloseHandle(file);
}

// `count` files in sub-directories of 1,000.
std::wstring MakeFolder(const std::wstring& root, int count)
{
    const std::wstring folder = root + L"\\files" + std::to_wstring(count);
    CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < count; ++i) {
        const std::wstring dir = folder + L"\\d" + std::to_wstring(i / 1000);
        if (i % 1000 == 0)
            CreateDirectoryW(dir.c_str(), nullptr);
        WriteSmallFile(dir + L"\\f" + std::to_wstring(i) + L".txt");
    }
    return folder;
}

void TimeFolderAdds(const std::wstring& scratch)
{
    std::printf("# adding a folder to the sync file list (median of 3)\n");
    double uiTime[2] = {};
    const int counts[2] = {10000, 100000};
    for (int k = 0; k < 2; ++k) {
        const std::wstring folder = MakeFolder(scratch, counts[k]);
        std::vector<double> walks, adds;
        for (int rep = 0; rep < 3; ++rep) {
            auto start = Clock::now();
            std::vector<std::wstring> files;
            ListFilesRecursive(folder, files);
            walks.push_back(MsSince(start));

            CMainFrameWnd* wnd = OpenWindow(scratch + L"\\datadb");
            start = Clock::now();
            AddByDialog(*wnd, {folder});
            Pump();
            UpdateWindow(wnd->Hwnd());
            adds.push_back(MsSince(start));
            const int rows = wnd->FindControlAs<uikit::SListCtrl>("lv_file")->GetItemCount();
            if (rows != counts[k])
                std::printf("unexpected row count %d\n", rows);
            SendMessageW(wnd->Hwnd(), WM_CLOSE, 0, 0);
            delete wnd;
        }
        const double walk = Median(walks), add = Median(adds);
        uiTime[k] = add - walk;
        std::printf("files=%d walk_ms=%.1f add_ms=%.1f list_ms=%.1f\n", counts[k], walk, add, uiTime[k]);
    }
    std::printf("list_ms ratio 100000/10000 = %.2f (limit 12)\n", uiTime[1] / uiTime[0]);
}

// Posts a stamped probe to the window every 5 ms until `stop`.
struct Prober {
    explicit Prober(HWND target) : window(target) {}
    HWND window;
    std::atomic<bool> stop{false};
    std::thread thread;
    void Start()
    {
        thread = std::thread([this] {
            while (!stop) {
                const auto now = Clock::now().time_since_epoch().count();
                PostMessageW(window, kProbe, 0, static_cast<LPARAM>(now));
                Sleep(5);
            }
        });
    }
    void Stop()
    {
        stop = true;
        thread.join();
    }
};

struct Gaps {
    double maxMs = 0;
    int probes = 0;
    double longestDispatchMs = 0;  // the longest single message handled meanwhile
    UINT longestMessage = 0;
};

// Runs the message loop until `done`, measuring each probe's wait.
template <typename Done>
Gaps PumpMeasuring(HWND window, Done done)
{
    Prober prober(window);
    prober.Start();
    Gaps gaps;
    MSG msg;
    while (!done()) {
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            continue;
        }
        if (msg.message == kProbe) {
            const Clock::time_point sent{Clock::duration(msg.lParam)};
            gaps.maxMs = std::max(gaps.maxMs, std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
            ++gaps.probes;
            continue;
        }
        const auto start = Clock::now();
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        const double took = MsSince(start);
        if (took > gaps.longestDispatchMs) {
            gaps.longestDispatchMs = took;
            gaps.longestMessage = msg.message;
        }
    }
    prober.Stop();
    return gaps;
}

void TimeRunGaps(const std::wstring& scratch)
{
    std::printf("# window thread during a run of 10,000 copies\n");
    const std::wstring source = scratch + L"\\run\\src\\Mir200";
    CreateDirectoryW((scratch + L"\\run").c_str(), nullptr);
    CreateDirectoryW((scratch + L"\\run\\src").c_str(), nullptr);
    CreateDirectoryW(source.c_str(), nullptr);
    std::vector<std::wstring> files;
    for (int i = 0; i < 1000; ++i) {
        files.push_back(source + L"\\f" + std::to_wstring(i) + L".txt");
        WriteSmallFile(files.back());
    }
    std::vector<std::wstring> targets;
    for (int i = 0; i < 10; ++i) {
        targets.push_back(scratch + L"\\run\\t" + std::to_wstring(i));
        CreateDirectoryW(targets.back().c_str(), nullptr);
        CreateDirectoryW((targets.back() + L"\\Mir200").c_str(), nullptr);
    }

    CMainFrameWnd* wnd = OpenWindow(scratch + L"\\datadb");
    AddByDialog(*wnd, files);
    uikit::ClickControl(*wnd, "but_clear_engine");
    ScanResultList found = targets;
    SendMessageW(wnd->Hwnd(), UM_SCAN_NOTIFY, SCAN_RESULTS, reinterpret_cast<LPARAM>(&found));
    wnd->FindControlAs<uikit::SRadio>("radio_sync_mir200_file")->SetCheck(true);

    // One drain of a full batch of sync-log lines on the idle window.
    std::vector<double> drains;
    for (int rep = 0; rep < 5; ++rep) {
        for (int i = 0; i < 1000; ++i)
            wnd->SyncReceiver().OnSyncLog(L"同步文件成功:" + files[static_cast<size_t>(i)] + L" >> " + targets[0] +
                                              L"\\Mir200\\f.txt",
                                          136);
        const auto start = Clock::now();
        SendMessageW(wnd->Hwnd(), UM_LOG_NOTIFY, LOG_NOTIFY_SYNC, 0);
        drains.push_back(MsSince(start));
        Pump();
    }
    std::printf("drain of 1000 queued lines: median %.1f ms\n", Median(drains));

    auto idleStart = Clock::now();
    const Gaps idle = PumpMeasuring(wnd->Hwnd(), [&] { return MsSince(idleStart) > 3000; });

    const auto* bar = wnd->FindControlAs<uikit::STabCtrl>("tab_sync_bar");
    const auto runStart = Clock::now();
    uikit::ClickControl(*wnd, "btn_startsync");
    const Gaps run = PumpMeasuring(wnd->Hwnd(), [bar] { return bar->GetCurSel() == 0; });
    const double runMs = MsSince(runStart);
    std::printf("idle: probes=%d longest_wait_ms=%.1f\n", idle.probes, idle.maxMs);
    std::printf("run: copies=10000 run_ms=%.0f probes=%d longest_wait_ms=%.1f (limit 100)\n", runMs, run.probes,
                run.maxMs);
    std::printf("run: longest single message %.1f ms (message 0x%04x)\n", run.longestDispatchMs, run.longestMessage);
    SendMessageW(wnd->Hwnd(), WM_CLOSE, 0, 0);
}

void TimePreview(const std::wstring& scratch)
{
    std::printf("# preview of 100,000 pairs\n");
    const std::wstring root = scratch + L"\\plan";
    CreateDirectoryW(root.c_str(), nullptr);
    CreateDirectoryW((root + L"\\src").c_str(), nullptr);
    std::vector<std::wstring> files;
    for (int d = 0; d < 5; ++d) {
        const std::wstring dir = root + L"\\src\\d" + std::to_wstring(d);
        CreateDirectoryW(dir.c_str(), nullptr);
        for (int i = 0; i < 200; ++i) {
            files.push_back(dir + L"\\f" + std::to_wstring(i) + L".txt");
            WriteSmallFile(files.back());
        }
    }
    // Same-level placement: root\vNNN\dD\fI.txt, every other file present.
    std::vector<std::wstring> folders;
    for (int v = 0; v < 100; ++v) {
        folders.push_back(root + L"\\v" + std::to_wstring(v));
        CreateDirectoryW(folders.back().c_str(), nullptr);
        // The list takes a directory with a Mir200 folder as a version directory.
        CreateDirectoryW((folders.back() + L"\\Mir200").c_str(), nullptr);
        for (int d = 0; d < 5; ++d) {
            const std::wstring dir = folders.back() + L"\\d" + std::to_wstring(d);
            CreateDirectoryW(dir.c_str(), nullptr);
            for (int i = 0; i < 200; i += 2)
                WriteSmallFile(dir + L"\\f" + std::to_wstring(i) + L".txt");
        }
    }

    CMainFrameWnd* wnd = OpenWindow(scratch + L"\\datadb");
    AddByDialog(*wnd, files);
    uikit::ClickControl(*wnd, "but_clear_engine");
    ScanResultList found = folders;
    SendMessageW(wnd->Hwnd(), UM_SCAN_NOTIFY, SCAN_RESULTS, reinterpret_cast<LPARAM>(&found));
    wnd->FindControlAs<uikit::SRadio>("radio_sync_level_file")->SetCheck(true);
    wnd->FindControlAs<uikit::SCheck>("check_skip_same")->SetCheck(true);

    auto idleStart = Clock::now();
    const Gaps idle = PumpMeasuring(wnd->Hwnd(), [&] { return MsSince(idleStart) > 3000; });
    const auto* page = wnd->FindControlAs<uikit::STabCtrl>("tab_file");
    const auto* overlay = wnd->FindControlAs<uikit::SWindow>("win_loading");
    const auto* list = wnd->FindControlAs<uikit::SListCtrl>("lv_plan");
    const auto start = Clock::now();
    double shownMs = 0;
    uikit::ClickControl(*wnd, "btn_preview");
    const Gaps shown = PumpMeasuring(wnd->Hwnd(), [&] {
        if (shownMs == 0 && page->GetCurSel() == 3 && !overlay->IsVisible())
            shownMs = MsSince(start);
        return list->GetItemCount() == 100000 || MsSince(start) > 120000;
    });
    const double filledMs = MsSince(start);
    const int folderRows = wnd->FindControlAs<uikit::SListCtrl>("lv_engine_folder")->GetItemCount();
    if (list->GetItemCount() != 100000)
        std::printf("unexpected: %d plan rows, %d version directories listed\n", list->GetItemCount(), folderRows);
    std::printf("idle: probes=%d longest_wait_ms=%.1f longest_message_ms=%.1f\n", idle.probes, idle.maxMs,
                idle.longestDispatchMs);
    std::printf(
        "preview: click_to_page_ms=%.0f (limit 2000) click_to_all_rows_ms=%.0f probes=%d longest_wait_ms=%.1f\n",
        shownMs, filledMs, shown.probes, shown.maxMs);
    std::printf("preview: longest single message %.1f ms (message 0x%04x, limit 100)\n", shown.longestDispatchMs,
                shown.longestMessage);
    SendMessageW(wnd->Hwnd(), WM_CLOSE, 0, 0);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::printf("usage: mainwnd_bench.exe <scratch directory>\n");
        return 2;
    }
    const std::wstring scratch = argv[1];
    CreateDirectoryW(scratch.c_str(), nullptr);
    SetCurrentDirectoryW(scratch.c_str());
    testsupport::ToolkitApp(NamedControlIds());
    SetPopupLayouts("LAYOUT:XML_TOAST", "LAYOUT:XML_TOOLTIP");
    uikit::SetMessageBoxHook([](HWND, const std::wstring&, const std::wstring&, UINT) { return IDOK; });
    const std::wstring part = argc > 2 ? argv[2] : L"";
    if (part.empty() || part == L"adds")
        TimeFolderAdds(scratch);
    if (part.empty() || part == L"run")
        TimeRunGaps(scratch);
    if (part.empty() || part == L"preview")
        TimePreview(scratch);
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 0);
    return 0;
}
