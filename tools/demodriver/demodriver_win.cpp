// The scripted demo: drives the running program through its windows as an operator
// would (find the window, wait for the start-up scan, add files through the open-file
// dialog, choose the mode and the backup, start a run, wait for its end), takes
// screenshots along the way and checks on disk that the run copied and backed up.
//
// It runs as a separate process in the program's Wine prefix and uses only windows,
// dialogs, window messages and the files the program writes.
//
//   demodriver --strings <strings.xml> --shots <dir> --logdir <dir>
//              --folder <dir> --file <name> [--file <name> ...] [--timeout-scale <n>]
//
// Exit code 0 when the run copied at least one file that now equals its source and
// left a backup of an overwritten target; 1 for a failed step (with the reason), 2 for
// bad arguments.

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tools/demodriver/console_win.h"
#include "tools/demodriver/evidence_win.h"
#include "tools/demodriver/screenshot_win.h"
#include "tools/demodriver/strings_win.h"
#include "tools/demodriver/windows_win.h"

using namespace std::chrono_literals;

namespace demo {
namespace {

// Control identifiers the program registers for its named controls.
constexpr int kBtnClose = 65536;
constexpr int kImgBtnAddFile = 65542;
constexpr int kBtnAddFile = 65543;
constexpr int kLvFile = 65544;
constexpr int kLvLog = 65552;

constexpr wchar_t kMainClass[] = L"SearchHost";
constexpr wchar_t kControlClass[] = L"SUiControl";
// The program's buttons are system buttons that it draws itself.
constexpr wchar_t kButtonClass[] = L"Button";
constexpr wchar_t kDialogTitle[] = L"Korvel文件同步工具";
constexpr wchar_t kSummaryPrefix[] = L"文件同步完成,共同步了 ";

struct Options {
    std::wstring strings;
    std::wstring shots;
    std::wstring logDir;
    std::wstring folder;
    std::vector<std::wstring> files;
    double timeoutScale = 1.0;
};

class Demo {
public:
    explicit Demo(Options options) : opt_(std::move(options)) {}
    int Run();

private:
    bool Fail(const std::wstring& why)
    {
        Err(L"demodriver: " + why + L"\n");
        return false;
    }
    std::chrono::milliseconds Limit(std::chrono::milliseconds base) const
    {
        return std::chrono::milliseconds(static_cast<long long>(base.count() * opt_.timeoutScale));
    }
    bool Wait(std::chrono::milliseconds base, const std::function<bool()>& ready, const std::wstring& what)
    {
        // Once found, the main window going away ends every wait at once.
        bool gone = false;
        const bool ok = WaitUntil(Limit(base), [&] {
            gone = main_ && !IsWindow(main_);
            return gone || ready();
        });
        if (gone)
            return Fail(L"the main window went away (did the program end?) while waiting for " + what);
        if (ok)
            return true;
        return Fail(L"timed out after " + std::to_wstring(Limit(base).count() / 1000) + L" s waiting for " + what);
    }
    RECT ShotArea(const std::vector<HWND>& extra) const;
    void SaveShot(const std::wstring& name, const ScreenImage& image);
    void Shot(const std::wstring& name, const std::vector<HWND>& extra = {});
    bool ShootRunningBar(HWND stop, const RECT& area, const ScreenImage& idle);

    bool LoadTexts();
    bool FindMainWindow();
    bool WaitForStartupScan();
    bool AddFilesThroughDialog();
    bool AnswerOpenDialog(HWND dialog);
    bool ChooseModeAndBackup();
    bool StartAndWaitForEnd();
    bool Report();
    void CloseProgram();

    HWND VersionDirList() const;
    HWND LoadingText() const { return FindChild(main_, {kControlClass, Text(L"loading"), 0, false}); }
    HWND StartButton() const { return FindChild(main_, {kButtonClass, Text(L"btn_startsync"), 0, false}); }
    HWND StopButton() const { return FindChild(main_, {kButtonClass, Text(L"but_stop"), 0, false}); }
    std::wstring Text(const wchar_t* key) const { return texts_.Get(key); }

    Options opt_;
    StringTable texts_;
    HWND main_ = nullptr;
    HWND modeRadio_ = nullptr;
    HWND backupBox_ = nullptr;
    DWORD pid_ = 0;
    int shotNumber_ = 0;
    std::wstring logPath_;
    uint64_t logOffset_ = 0;
    std::wstring runStamp_;
    std::vector<std::wstring> runMessages_;
};

RECT Demo::ShotArea(const std::vector<HWND>& extra) const
{
    std::vector<HWND> windows{main_};
    for (HWND w : TopLevelOfProcess(pid_, main_))
        windows.push_back(w);
    windows.insert(windows.end(), extra.begin(), extra.end());
    return AroundWindows(windows.data(), windows.size(), 8);
}

void Demo::SaveShot(const std::wstring& name, const ScreenImage& image)
{
    wchar_t prefix[8] = {};
    swprintf(prefix, 8, L"%02d-", ++shotNumber_);
    const std::wstring path = opt_.shots + L"\\" + prefix + name + L".bmp";
    if (image.SaveBmp(path))
        Out(L"  screenshot " + std::wstring(prefix) + name + L"\n");
    else
        Err(L"demodriver: could not save the screenshot " + path + L"\n");
}

void Demo::Shot(const std::wstring& name, const std::vector<HWND>& extra)
{
    // Let the last changes paint before the screen is read.
    std::this_thread::sleep_for(400ms);
    SaveShot(name, ScreenImage::Capture(ShotArea(extra)));
}

bool Demo::LoadTexts()
{
    if (!texts_.Load(opt_.strings))
        return Fail(L"cannot read the UI strings from " + opt_.strings);
    for (const wchar_t* key :
         {L"loading", L"btn_startsync", L"but_stop", L"radio_sync_mir200_file", L"check_sync_backup"}) {
        if (texts_.Get(key).empty())
            return Fail(L"the UI strings have no text for " + std::wstring(key));
    }
    return true;
}

bool Demo::FindMainWindow()
{
    Out(L"1. waiting for the main window\n");
    if (!Wait(
            60s, [&] { return (main_ = FindTopLevel(kMainClass, L"Korvel")) != nullptr; },
            L"the main window (class SearchHost, title containing Korvel)"))
        return false;
    GetWindowThreadProcessId(main_, &pid_);
    Out(L"  found \"" + TextOf(main_) + L"\"\n");
    return true;
}

HWND Demo::VersionDirList() const
{
    // The version-directory list is the list view in the right-hand pane: the one that
    // is not the file list and lies furthest to the right.
    HWND best = nullptr;
    LONG bestLeft = LONG_MIN;
    for (HWND lv : FindChildren(main_, {WC_LISTVIEWW, {}, 0, false})) {
        if (GetDlgCtrlID(lv) == kLvFile)
            continue;
        const RECT r = ScreenRect(lv);
        if (r.left > bestLeft) {
            bestLeft = r.left;
            best = lv;
        }
    }
    return best;
}

bool Demo::WaitForStartupScan()
{
    Out(L"  waiting for the start-up scan\n");
    HWND list = nullptr;
    if (!Wait(
            20s, [&] { return (list = VersionDirList()) != nullptr; }, L"the version-directory list"))
        return false;
    if (!Wait(
            20s, [&] { return LoadingText() != nullptr; }, L"the loading overlay's text \"" + Text(L"loading") + L"\""))
        return false;
    if (!Wait(
            120s, [&] { return ListViewRows(list) > 0 && !IsWindowVisible(LoadingText()); },
            L"the scan to end with version directories listed"))
        return Fail(L"the version-directory list has " + std::to_wstring(ListViewRows(list)) +
                    L" rows and the loading overlay is " + (IsWindowVisible(LoadingText()) ? L"shown" : L"hidden"));
    Out(L"  version directories found: " + std::to_wstring(ListViewRows(list)) + L"\n");
    Shot(L"main-window");
    return true;
}

bool Demo::AddFilesThroughDialog()
{
    Out(L"2. adding files through the open-file dialog\n");
    HWND add = FindChild(main_, {{}, {}, kBtnAddFile, true});
    if (!add)
        add = FindChild(main_, {{}, {}, kImgBtnAddFile, true});
    if (!add)
        return Fail(L"no visible add-file button (btn_addfile / imgbtn_addfile)");
    if (!Click(add))
        return Fail(L"the add-file button cannot be clicked");

    HWND dialog = nullptr;
    if (!Wait(
            30s,
            [&] {
                for (HWND w : TopLevelOfProcess(pid_, main_))
                    if (ClassOf(w) == L"#32770" && TextOf(w) == kDialogTitle)
                        return (dialog = w) != nullptr;
                return false;
            },
            L"the open-file dialog titled \"" + std::wstring(kDialogTitle) + L"\""))
        return false;
    if (!AnswerOpenDialog(dialog))
        return false;

    // The file list's page is built when the program first shows it, after the dialog.
    HWND files = nullptr;
    const int want = static_cast<int>(opt_.files.size());
    if (!Wait(
            20s,
            [&] {
                files = FindChild(main_, {WC_LISTVIEWW, {}, kLvFile, false});
                return ListViewRows(files) >= want;
            },
            L"lv_file to list " + std::to_wstring(want) + L" files"))
        return Fail(L"lv_file has " + std::to_wstring(ListViewRows(files)) + L" rows");
    Out(L"  sync files listed: " + std::to_wstring(ListViewRows(files)) + L"\n");
    Shot(L"file-list");
    return true;
}

// The file-name box of the open-file dialog: an edit of its own or the edit inside
// the file-name combo box, depending on the dialog's template.
HWND FileNameBox(HWND dialog)
{
    constexpr int kEdt1 = 0x480;
    constexpr int kCmb13 = 0x47c;
    if (HWND edit = FindChild(dialog, {L"Edit", {}, kEdt1, true}))
        return edit;
    if (HWND combo = FindChild(dialog, {{}, {}, kCmb13, true}))
        if (HWND edit = FindChild(combo, {L"Edit", {}, 0, false}))
            return edit;
    return FindChild(dialog, {L"Edit", {}, 0, true});
}

bool Demo::AnswerOpenDialog(HWND dialog)
{
    HWND name = nullptr;
    if (!Wait(
            10s, [&] { return (name = FileNameBox(dialog)) != nullptr; }, L"the dialog's file-name box"))
        return false;
    // An operator first goes to the folder: its path typed into the name box and Enter.
    std::this_thread::sleep_for(500ms);
    TypeText(name, opt_.folder);
    PressKey(name, VK_RETURN);
    if (!Wait(
            10s, [&] { return TextOf(name).empty(); }, L"the dialog to open the folder " + opt_.folder))
        return false;

    // Then the files, each name quoted, separated by blanks.
    std::wstring names;
    for (const std::wstring& file : opt_.files)
        names += (names.empty() ? L"\"" : L" \"") + file + L"\"";
    TypeText(name, names);
    if (!Wait(
            5s, [&] { return TextOf(name) == names; }, L"the typed names to reach the file-name box"))
        return false;
    Shot(L"open-dialog", {dialog});

    HWND open = FindChild(dialog, {L"Button", {}, IDOK, true});
    if (!open)
        return Fail(L"the dialog has no Open button");
    ClickButton(open);
    if (Wait(
            15s, [&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, L"the open-file dialog to close"))
        return true;
    // The dialog may have refused the names with a message of its own: say what it said.
    for (HWND w : TopLevelOfProcess(pid_, main_))
        if (w != dialog && ClassOf(w) == L"#32770")
            for (HWND s : FindChildren(w, {L"Static", {}, 0, false}))
                if (!TextOf(s).empty())
                    Err(L"  the dialog says: " + TextOf(s) + L"\n");
    return false;
}

bool Demo::ChooseModeAndBackup()
{
    Out(L"3. choosing the Mir200 mode and the backup, starting the run\n");
    HWND radio = modeRadio_ = FindChild(main_, {L"Button", Text(L"radio_sync_mir200_file"), 0, true});
    HWND backup = backupBox_ = FindChild(main_, {L"Button", Text(L"check_sync_backup"), 0, true});
    if (!radio)
        return Fail(L"no visible radio \"" + Text(L"radio_sync_mir200_file") + L"\"");
    if (!backup)
        return Fail(L"no visible check box \"" + Text(L"check_sync_backup") + L"\"");
    auto checked = [](HWND b) { return SendMessageW(b, BM_GETCHECK, 0, 0) == BST_CHECKED; };
    if (!checked(radio))
        ClickButton(radio);
    if (!Wait(
            5s, [&] { return checked(radio); }, L"the Mir200 radio to be checked"))
        return false;
    if (!checked(backup))
        ClickButton(backup);
    if (!Wait(
            5s, [&] { return checked(backup); }, L"the backup box to be ticked"))
        return false;
    Shot(L"mode-and-backup");
    return true;
}

bool Demo::ShootRunningBar(HWND stop, const RECT& area, const ScreenImage& idle)
{
    if (!WaitUntil(
            Limit(3s),
            [&] {
                if (!stop)
                    stop = StopButton();  // the bar is built when it is first shown
                return stop && IsWindowVisible(stop) != FALSE;
            },
            1ms))
        return false;
    // The bar is up; its picture follows once the program has painted it over the row
    // where the idle bar shows the mode radios and the backup box: that row then
    // differs from the idle picture and is not blank. Pictures are taken while the bar
    // stays up and the last good one is kept: later ones show more of the run's progress.
    const RECT radio = ScreenRect(modeRadio_);
    // The row starts inside the window's and the bar's borders, which never change.
    const RECT row{ScreenRect(main_).left + 8, radio.top, ScreenRect(backupBox_).right, radio.bottom};
    ScreenImage last;
    WaitUntil(
        Limit(10s),
        [&] {
            ScreenImage now = ScreenImage::Capture(area);
            if (!IsWindowVisible(stop))
                return true;
            if (!now.Empty() && now.DiffersIn(idle, row) && !now.UniformIn(row))
                last = std::move(now);
            return false;
        },
        10ms);
    if (last.Empty())
        return false;
    SaveShot(L"running", last);
    return true;
}

bool Demo::StartAndWaitForEnd()
{
    HWND start = StartButton();
    if (!start || !IsWindowVisible(start))
        return Fail(L"no visible start button \"" + Text(L"btn_startsync") + L"\"");
    logPath_ = NewestDayLog(opt_.logDir);
    logOffset_ = FileSize(logPath_);
    runStamp_ = StampNow();
    // The running bar may be up for only a moment: its stop button is looked up while
    // hidden, so that the wait below asks only whether it is visible, without pause. The
    // program builds the bar when it first shows it: before the first run there is none
    // yet, and the wait looks for it.
    HWND stop = StopButton();
    const RECT area = ShotArea({});
    const ScreenImage idle = ScreenImage::Capture(area);
    if (!Click(start))
        return Fail(L"the start button cannot be clicked");
    if (!ShootRunningBar(stop, area, idle))
        Out(L"  (the run ended before the running bar was on the screen: no screenshot of it)\n");

    // The summary line lands in the day's log file once the run has ended; the log may
    // only now have been created, on the program's first line of the day.
    auto ended = [&] {
        HWND again = StartButton();
        if (!again || !IsWindowVisible(again))
            return false;
        if (logPath_.empty() || NewestDayLog(opt_.logDir) != logPath_) {
            logPath_ = NewestDayLog(opt_.logDir);
            logOffset_ = 0;
        }
        runMessages_ = LogMessagesFrom(logPath_, logOffset_);
        for (const std::wstring& m : runMessages_)
            if (m.rfind(kSummaryPrefix, 0) == 0)
                return true;
        return false;
    };
    if (!Wait(180s, ended,
              L"the run to end (idle bar back and the summary line in the log file under " + opt_.logDir + L")"))
        return false;
    Shot(L"log-page");
    return true;
}

bool Demo::Report()
{
    Out(L"4. result\n");
    std::wstring summary;
    std::wstring from;
    const std::vector<std::wstring> lines = ListBoxLines(FindChild(main_, {L"ListBox", {}, kLvLog, false}));
    for (const std::wstring& line : lines)
        if (line.rfind(kSummaryPrefix, 0) == 0)
            summary = line, from = L"the sync log list";
    if (summary.empty())
        for (const std::wstring& m : runMessages_)
            if (m.rfind(kSummaryPrefix, 0) == 0)
                summary = m, from = L"the log file";
    Out(L"  summary (" + from + L"): " + summary + L"\n");
    Out(L"  log file: " + logPath_ + L"\n");
    if (const std::wstring host = HostPath(logPath_); !host.empty())
        Out(L"            " + host + L"\n");

    const std::vector<CopiedFile> copied = CopiedFiles(runMessages_);
    int equal = 0;
    int backups = 0;
    Out(L"  copied files (" + std::to_wstring(copied.size()) + L"):\n");
    for (const CopiedFile& c : copied) {
        const bool same = SameContent(c.source, c.target);
        equal += same ? 1 : 0;
        Out(L"    " + c.target + (same ? L"" : L"  (differs from its source!)") + L"\n");
        for (const std::wstring& bak : BackupsOf(c.target, runStamp_)) {
            ++backups;
            Out(L"      backup " + bak + L"\n");
        }
    }
    if (!copied.empty())
        if (const std::wstring host = HostPath(copied.front().target); !host.empty())
            Out(L"  (on Linux, e.g. " + host + L")\n");

    if (equal == 0)
        return Fail(L"no target file equals its source after the run");
    if (backups == 0)
        return Fail(L"the run left no backup (*_<stamp>.bak) of an overwritten target");
    Out(L"demo: the run copied " + std::to_wstring(equal) + L" file(s) and kept " + std::to_wstring(backups) +
        L" backup(s)\n");
    return true;
}

void Demo::CloseProgram()
{
    if (!main_ || !IsWindow(main_))
        return;
    Out(L"5. closing the program with its close button\n");
    if (!Click(FindChild(main_, {{}, {}, kBtnClose, true}))) {
        Err(L"demodriver: no visible close button (btn_close)\n");
        return;
    }
    if (!WaitUntil(Limit(30s), [&] { return !IsWindow(main_); }))
        Err(L"demodriver: the main window was still open 30 s after its close button was clicked\n");
}

int Demo::Run()
{
    CreateDirectoryW(opt_.shots.c_str(), nullptr);
    const bool ok = LoadTexts() && FindMainWindow() && WaitForStartupScan() && AddFilesThroughDialog() &&
                    ChooseModeAndBackup() && StartAndWaitForEnd() && Report();
    if (!ok && main_ && IsWindow(main_))
        Shot(L"failure");
    // A modal window left open would keep the close button from working: leave the
    // program to the caller then.
    if (ok || TopLevelOfProcess(pid_, main_).empty())
        CloseProgram();
    return ok ? 0 : 1;
}

bool ParseOptions(int argc, wchar_t** argv, Options& opt)
{
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (i + 1 >= argc)
            return false;
        const std::wstring value = argv[++i];
        if (arg == L"--strings")
            opt.strings = value;
        else if (arg == L"--shots")
            opt.shots = value;
        else if (arg == L"--logdir")
            opt.logDir = value;
        else if (arg == L"--folder")
            opt.folder = value;
        else if (arg == L"--file")
            opt.files.push_back(value);
        else if (arg == L"--timeout-scale")
            opt.timeoutScale = std::max(0.1, _wtof(value.c_str()));
        else
            return false;
    }
    return !opt.strings.empty() && !opt.shots.empty() && !opt.logDir.empty() && !opt.folder.empty() &&
           !opt.files.empty();
}

}  // namespace
}  // namespace demo

int wmain(int argc, wchar_t** argv)
{
    demo::Options options;
    if (!demo::ParseOptions(argc, argv, options)) {
        demo::Err(L"usage: demodriver --strings <strings.xml> --shots <dir> --logdir <dir> --folder <dir> "
                  L"--file <name> [--file <name> ...] [--timeout-scale <n>]\n");
        return 2;
    }
    return demo::Demo(std::move(options)).Run();
}
