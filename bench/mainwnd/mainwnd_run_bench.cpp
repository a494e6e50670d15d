// Times a whole run as an operator starts it, the real main window on this thread, against
// bare loops of the same file operations over the same pairs, in the same run:
//   overwrite:          the run without backup  | copy to a temporary name + rename over the target
//   overwrite, backup:  the run with backup     | copy to a temporary name + hard link of the old
//                                                 target to a backup name + rename over the target
//   new:                the run into version directories without the files
//                                               | copy to a temporary name + rename to the new name
// and against the floor that the write protocol itself sets: the bare loop plus, per pair, a
// first look at the target (whose state the run's journal records) and a journal line of
// about the real one's length written before the rename;
// for 500 files of 4 KiB into 20 version directories (10,000 pairs), placement into Mir200,
// skip and verify off. A run is timed from the click on "开始同步" to its summary line in the
// day's log file; meanwhile the longest time the window thread spent on one message (or in
// one look for messages, which runs the messages other threads send) is kept, and the
// window thread's time is summed by message. Rounds are interleaved, which of the two goes
// first alternating; the figures are medians of the rounds, the ratios medians of the
// ratios within each round.
//
// Given `name=pid` pairs, the processor time of those Linux processes (the Wine server, the
// X server) is read from /proc through drive Z: around each timed part, and shown beside
// this process's own and its window thread's (the rest of the process is the run's worker
// and the log engine's channel): pinned to one processor, the parts add up to the wall time.
//
//   mainwnd_run_bench.exe <scratch directory> [rounds] [name=pid ...]
//
// Under Wine pin everything to one processor: bench/mainwnd/run-under-wine.sh.

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench/mainwnd/benchwindow.h"
#include "bench/sync/benchsupport.h"
#include "common/fileutil.h"
#include "common/textutil.h"
#include "syncfolderapp/discovery/scanmessages.h"
#include "syncfolderapp/mainwnd/uitexts.h"
#include "syncfolderapp/namedids.h"
#include "syncfolderapp/popups/popuplayouts.h"
#include "syncfolderapp/sync/syncmessages.h"
#include "tests/gui/support/toolkitenv.h"
#include "uikit/checkbox_win.h"
#include "uikit/tabctrl_win.h"

namespace {

using benchwnd::Clock;
using benchwnd::MsSince;

constexpr int kFiles = 500;
constexpr int kFolders = 20;
constexpr int kPairs = kFiles * kFolders;
constexpr std::size_t kFileBytes = 4096;
constexpr double kRunLimitMs = 180000;

enum Scenario { Overwrite, OverwriteBackup, NewPairs, kScenarios };
// The timed parts of a round.
enum Part { WindowPart, BarePart, FloorPart, kParts };
const wchar_t* const kPartNames[] = {L"run", L"bare", L"floor"};
const wchar_t* const kScenarioNames[] = {L"overwrite", L"overwrite, backup", L"new pairs"};

// Processor time of a Linux process, from its /proc/<pid>/stat (utime + stime, in ticks of
// 10 ms); -1 when it cannot be read.
double LinuxCpuMs(const std::wstring& pid)
{
    FileHandle file(CreateFileW((L"Z:\\proc\\" + pid + L"\\stat").c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    char text[1024] = {};
    DWORD got = 0;
    if (!file || !ReadFile(file.Get(), text, sizeof(text) - 1, &got, nullptr))
        return -1;
    const char* fields = std::strrchr(text, ')');
    unsigned long long utime = 0;
    unsigned long long stime = 0;
    // After the name: state, ppid, pgrp, session, tty, tpgid, flags, 4 fault counts, utime, stime.
    if (!fields ||
        std::sscanf(fields + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime, &stime) != 2)
        return -1;
    return static_cast<double>(utime + stime) * 10.0;
}

double Ms(const FILETIME& kernel, const FILETIME& user)
{
    const auto value = [](const FILETIME& t) {
        return static_cast<double>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    return (value(kernel) + value(user)) / 10000.0;
}

double OwnCpuMs()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return Ms(kernel, user);
}

// This thread's: the window's during a run, the bare loop's during a loop.
double ThisThreadCpuMs()
{
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    return Ms(kernel, user);
}

// The processor time of this process, of its window thread, and of the named Linux
// processes, in that order.
struct CpuMeter {
    std::vector<std::pair<std::wstring, std::wstring>> others;  // name, pid
    std::vector<double> Read() const
    {
        std::vector<double> now{OwnCpuMs(), ThisThreadCpuMs()};
        for (const auto& other : others)
            now.push_back(LinuxCpuMs(other.second));
        return now;
    }
};

// One timed part of a round: its wall time, the processor time of each process, and for a
// run what the window thread did.
struct Sample {
    double ms = 0;
    std::vector<double> cpuMs;
    double longestMs = 0;
    UINT longestMessage = 0;
    std::map<UINT, double> byMessageMs;  // 0: the looks for messages
    std::map<UINT, int> byMessageCount;
};

// The window thread's loop during a run, timing each look for messages and each dispatch.
class MeasuredPump {
public:
    explicit MeasuredPump(Sample& into) : sample(into) {}
    // Handles what is there; false when nothing was.
    bool Turn()
    {
        MSG msg;
        auto start = Clock::now();
        const bool got = PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) != FALSE;
        Note(0, MsSince(start));
        if (!got)
            return false;
        start = Clock::now();
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        Note(msg.message, MsSince(start));
        return true;
    }
    void Note(UINT message, double ms)
    {
        sample.byMessageMs[message] += ms;
        ++sample.byMessageCount[message];
        if (ms > sample.longestMs) {
            sample.longestMs = ms;
            sample.longestMessage = message;
        }
    }

private:
    Sample& sample;
};

// Where a line can be found in a growing log file: only what was added since `from` is read.
class LogTail {
public:
    LogTail(std::wstring file, const std::string& needle) : path(std::move(file)), text(needle) { from = Size(); }
    bool Holds()
    {
        const long long size = Size();
        if (size < from)
            from = 0;  // rolled over
        if (size <= seen)
            return false;
        seen = size;
        const long long start = std::max(from, size - 4096);
        FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
        LARGE_INTEGER at;
        at.QuadPart = start;
        std::string bytes(static_cast<std::size_t>(size - start), '\0');
        DWORD got = 0;
        if (!file || !SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN) ||
            !ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
            return false;
        bytes.resize(got);
        return bytes.find(text) != std::string::npos;
    }

private:
    long long Size() const
    {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
            return 0;
        return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    std::wstring path;
    std::string text;
    long long from = 0;
    long long seen = 0;
};

// The day's full log, relative to the working folder, as the log engine names it.
std::wstring DayLogPath()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t name[64];
    swprintf(name, 64, L"datadb\\log\\%04u%02u%02u.log", now.wYear, now.wMonth, now.wDay);
    return name;
}

std::string AnsiText(const std::wstring& text)
{
    std::vector<char> buffer;
    const int length = ToAnsi(text, buffer);
    return length > 0 ? std::string(buffer.data(), static_cast<std::size_t>(length)) : std::string();
}

class RunBench {
public:
    RunBench(std::wstring scratch, CpuMeter meter) : root(std::move(scratch)), cpu(std::move(meter)) {}
    bool Prepare();
    bool Round(int round, std::vector<Sample> (&samples)[kParts][kScenarios]);

private:
    bool WindowRun(Scenario scenario, Sample& sample);
    // The bare loop, or with `protocol` the floor loop.
    bool Loop(Scenario scenario, bool protocol, Sample& sample);
    // Gives every target directory the state the scenario starts from.
    void Reset(Scenario scenario);

    std::wstring root;
    CpuMeter cpu;
    std::vector<std::wstring> sources;
    std::vector<std::wstring> folders;
    std::vector<Pair> pairs;
    std::vector<std::wstring> targetDirs;
    CMainFrameWnd* wnd = nullptr;
    const uikit::STabCtrl* bar = nullptr;
};

bool RunBench::Prepare()
{
    sources = WriteSourceFiles(root + L"\\src\\Mir200", kFiles, kFileBytes, 1000);
    if (sources.empty())
        return false;
    for (int v = 0; v < kFolders; ++v) {
        folders.push_back(root + L"\\ver" + std::to_wstring(10 + v));
        targetDirs.push_back(folders.back() + L"\\Mir200");
        EnsureDirectory(targetDirs.back());
        for (int i = 0; i < kFiles; ++i)
            pairs.emplace_back(sources[static_cast<std::size_t>(i)],
                               targetDirs.back() + L"\\f" + std::to_wstring(1000 + i) + L".bin");
    }

    wnd = benchwnd::OpenWindow(root + L"\\datadb");
    bar = wnd->FindControlAs<uikit::STabCtrl>("tab_sync_bar");
    benchwnd::AddByDialog(*wnd, sources);
    uikit::ClickControl(*wnd, "but_clear_engine");
    ScanResultList found = folders;
    SendMessageW(wnd->Hwnd(), UM_SCAN_NOTIFY, SCAN_RESULTS, reinterpret_cast<LPARAM>(&found));
    wnd->FindControlAs<uikit::SRadio>("radio_sync_mir200_file")->SetCheck(true);
    wnd->FindControlAs<uikit::SCheck>("check_skip_same")->SetCheck(false);
    wnd->FindControlAs<uikit::SCheck>("check_verify_copy")->SetCheck(false);
    // A first run makes every target, and builds the log page; then the floor loop once.
    Sample warm;
    Reset(NewPairs);
    if (!WindowRun(NewPairs, warm))
        return false;
    Reset(NewPairs);
    return Loop(NewPairs, true, warm);
}

void RunBench::Reset(Scenario scenario)
{
    RemoveBackups(targetDirs);
    if (scenario != NewPairs)
        return;
    for (const auto& pair : pairs)
        DeleteFileW(pair.second.c_str());
}

bool RunBench::WindowRun(Scenario scenario, Sample& sample)
{
    wnd->FindControlAs<uikit::SCheck>("check_sync_backup")->SetCheck(scenario == OverwriteBackup);
    LogTail log(DayLogPath(), AnsiText(kRunSummaryHead + std::to_wstring(kPairs) + kRunSummaryTail));
    MeasuredPump pump(sample);
    const std::vector<double> cpuBefore = cpu.Read();
    const auto start = Clock::now();
    // The click is a message of its own: the run starts in its handler.
    uikit::ClickControl(*wnd, "btn_startsync");
    pump.Note(WM_LBUTTONUP, MsSince(start));
    bool ended = false;
    while (MsSince(start) < kRunLimitMs) {
        if (pump.Turn())
            continue;
        // The summary line goes out when the window has the run's end.
        if (bar->GetCurSel() == 0 && log.Holds()) {
            ended = true;
            break;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, bar->GetCurSel() == 0 ? 1 : 20, QS_ALLINPUT);
    }
    sample.ms = MsSince(start);
    const std::vector<double> cpuAfter = cpu.Read();
    for (std::size_t k = 0; k < cpuAfter.size(); ++k)
        sample.cpuMs.push_back(cpuAfter[k] - cpuBefore[k]);
    if (!ended)
        std::wprintf(L"%ls: no summary line of %d copies within %.0f s\n", kScenarioNames[scenario], kPairs,
                     kRunLimitMs / 1000);
    return ended;
}

bool RunBench::Loop(Scenario scenario, bool protocol, Sample& sample)
{
    FileHandle journal;
    if (protocol) {
        journal = FileHandle(CreateFileW((root + L"\\floor-journal.txt").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                         nullptr, CREATE_ALWAYS, 0, nullptr));
        if (!journal)
            return false;
    }
    const std::vector<double> cpuBefore = cpu.Read();
    const auto start = Clock::now();
    const int done =
        TempRenameLoop(pairs, scenario == OverwriteBackup, scenario != NewPairs, protocol ? journal.Get() : nullptr);
    sample.ms = MsSince(start);
    const std::vector<double> cpuAfter = cpu.Read();
    for (std::size_t k = 0; k < cpuAfter.size(); ++k)
        sample.cpuMs.push_back(cpuAfter[k] - cpuBefore[k]);
    if (done != kPairs)
        std::wprintf(L"%ls: the %ls loop did %d of %d pairs\n", kScenarioNames[scenario], protocol ? L"floor" : L"bare",
                     done, kPairs);
    return done == kPairs;
}

bool RunBench::Round(int round, std::vector<Sample> (&samples)[kParts][kScenarios])
{
    for (int s = 0; s < kScenarios; ++s) {
        const auto scenario = static_cast<Scenario>(s);
        // Which part goes first turns with the rounds.
        for (int k = 0; k < kParts; ++k) {
            const auto part = static_cast<Part>((k + round) % kParts);
            Reset(scenario);
            Sample sample;
            if (!(part == WindowPart ? WindowRun(scenario, sample) : Loop(scenario, part == FloorPart, sample)))
                return false;
            samples[part][s].push_back(std::move(sample));
        }
    }
    return true;
}

std::vector<double> Each(const std::vector<Sample>& samples, double (*of)(const Sample&))
{
    std::vector<double> values;
    for (const Sample& sample : samples)
        values.push_back(of(sample));
    return values;
}

// The median over the rounds of `part`'s wall time divided by `base`'s, and each round's.
void PrintRatio(const std::vector<Sample>& part, const std::vector<Sample>& base, const wchar_t* name)
{
    std::vector<double> ratios;
    for (std::size_t r = 0; r < part.size(); ++r)
        ratios.push_back(part[r].ms / base[r].ms);
    std::wprintf(L"  %-13ls %.3f   (rounds:", name, Median(ratios));
    for (double ratio : ratios)
        std::wprintf(L" %.3f", ratio);
    std::wprintf(L")\n");
}

void Report(const CpuMeter& cpu, const std::vector<Sample> (&samples)[kParts][kScenarios])
{
    std::vector<std::wstring> names{L"this process", L"of it the window thread"};
    for (const auto& other : cpu.others)
        names.push_back(other.first);
    for (int s = 0; s < kScenarios; ++s) {
        const std::vector<Sample>& run = samples[WindowPart][s];
        std::wprintf(L"\n%ls: %d pairs of %zu bytes, medians of %zu rounds\n", kScenarioNames[s], kPairs, kFileBytes,
                     run.size());
        for (int p = 0; p < kParts; ++p) {
            const std::vector<Sample>& part = samples[p][s];
            std::wprintf(L"  %-6ls %8.0f ms   runs:", kPartNames[p],
                         Median(Each(part, [](const Sample& x) { return x.ms; })));
            for (const Sample& x : part)
                std::wprintf(L" %.0f", x.ms);
            std::wprintf(L"\n         processor:");
            for (std::size_t k = 0; k < names.size(); ++k) {
                std::vector<double> values;
                for (const Sample& x : part)
                    values.push_back(x.cpuMs[k]);
                std::wprintf(L" %ls %.0f ms;", names[k].c_str(), Median(values));
            }
            std::wprintf(L"\n");
        }
        PrintRatio(run, samples[BarePart][s], L"run / bare");
        PrintRatio(samples[FloorPart][s], samples[BarePart][s], L"floor / bare");
        PrintRatio(run, samples[FloorPart][s], L"run / floor");
        std::map<UINT, std::vector<double>> byMessage;
        std::map<UINT, std::vector<double>> countByMessage;
        for (const Sample& x : run) {
            for (const auto& [message, ms] : x.byMessageMs)
                byMessage[message].push_back(ms);
            for (const auto& [message, count] : x.byMessageCount)
                countByMessage[message].push_back(count);
        }
        std::wprintf(L"  window thread, longest message %.1f ms (rounds:",
                     Median(Each(run, [](const Sample& x) { return x.longestMs; })));
        for (const Sample& x : run)
            std::wprintf(L" %.1f/0x%04x", x.longestMs, x.longestMessage);
        std::wprintf(L")\n  window thread by message (median ms / times):");
        for (auto& [message, values] : byMessage) {
            values.resize(run.size(), 0.0);
            std::vector<double>& counts = countByMessage[message];
            counts.resize(run.size(), 0.0);
            std::wprintf(L" 0x%04x %.0f/%.0f;", message, Median(values), Median(counts));
        }
        std::wprintf(L"\n");
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::printf("usage: mainwnd_run_bench.exe <scratch directory> [rounds] [name=pid ...]\n");
        return 2;
    }
    const std::wstring scratch = argv[1];
    const int rounds = argc > 2 ? std::max(1, _wtoi(argv[2])) : 5;
    CpuMeter cpu;
    for (int i = 3; i < argc; ++i) {
        const std::wstring arg = argv[i];
        const std::size_t equals = arg.find(L'=');
        if (equals != std::wstring::npos)
            cpu.others.emplace_back(arg.substr(0, equals), arg.substr(equals + 1));
    }
    EnsureDirectory(scratch);
    // The log engine writes below the working folder, as beside the program.
    SetCurrentDirectoryW(scratch.c_str());
    testsupport::ToolkitApp(NamedControlIds());
    SetPopupLayouts("LAYOUT:XML_TOAST", "LAYOUT:XML_TOOLTIP");
    uikit::SetMessageBoxHook([](HWND, const std::wstring&, const std::wstring&, UINT) { return IDOK; });

    RunBench bench(scratch, cpu);
    std::vector<Sample> samples[kParts][kScenarios];
    bool ok = bench.Prepare();
    for (int round = 0; ok && round < rounds; ++round)
        ok = bench.Round(round, samples);
    if (ok)
        Report(cpu, samples);
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), ok ? 0 : 1);
    return ok ? 0 : 1;
}
