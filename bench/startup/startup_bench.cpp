// Start-up time of Windows programs under Wine: from the creation of the process to the
// end of the first WM_PAINT of its main window, measured inside the started program by a
// message hook (painthook.dll) that the system loads into it. Each program is started
// `rounds` times, the programs taking turns and the first in line changing every round;
// a warm-up round before is not counted. The first program is the baseline: the others'
// minimum and median are also given as multiples of its own.
//
//   startup_bench.exe <hook dll> <rounds> <label>=<exe> [<label>=<exe> ...]
//
// Run by hand under Wine with a display (bench/startup/run-under-wine.sh); prints a table.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "bench/startup/painthook.h"
#include "common/winhandle.h"

namespace {

constexpr DWORD kPaintDeadlineMs = 60000;  // only against a program that never paints

struct Program {
    std::wstring label;
    std::wstring path;
    std::vector<double> ms;
};

// Starts `path` with the hook on its main thread, waits for the hook's report of the
// first paint and ends the program; false when it could not be started or did not paint.
bool StartUntilPainted(const std::wstring& path, HOOKPROC hook, HMODULE hookModule, HANDLE painted)
{
    ResetEvent(painted);
    const std::wstring folder = path.substr(0, path.find_last_of(L'\\') + 1);
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    // Suspended, so that the hook is in place before the program takes its first message.
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        folder.c_str(), &startup, &info))
        return false;
    const KernelHandle process(info.hProcess);
    const KernelHandle thread(info.hThread);
    HHOOK installed = SetWindowsHookExW(WH_GETMESSAGE, hook, hookModule, info.dwThreadId);
    ResumeThread(thread.Get());
    const bool paintedInTime = installed && WaitForSingleObject(painted, kPaintDeadlineMs) == WAIT_OBJECT_0;
    if (installed)
        UnhookWindowsHookEx(installed);
    TerminateProcess(process.Get(), 0);
    WaitForSingleObject(process.Get(), kPaintDeadlineMs);
    return paintedInTime;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

unsigned long long FileSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: startup_bench <hook dll> <rounds> <label>=<exe> [<label>=<exe> ...]\n");
        return 2;
    }
    const int rounds = std::max(1, _wtoi(argv[2]));
    std::vector<Program> programs;
    for (int i = 3; i < argc; ++i) {
        const std::wstring arg = argv[i];
        const size_t equals = arg.find(L'=');
        if (equals == std::wstring::npos) {
            std::fprintf(stderr, "expected <label>=<exe>, got %ls\n", arg.c_str());
            return 2;
        }
        programs.push_back({arg.substr(0, equals), arg.substr(equals + 1), {}});
    }

    HMODULE hookModule = LoadLibraryW(argv[1]);
    auto hook = hookModule
                    ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(hookModule, kPaintHookProc)))
                    : nullptr;
    if (!hook) {
        std::fprintf(stderr, "cannot load the paint hook from %ls\n", argv[1]);
        return 1;
    }
    const KernelHandle mapping(
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(PaintReport), kPaintReportMapping));
    const KernelHandle painted(CreateEventW(nullptr, TRUE, FALSE, kPaintedEvent));
    auto* report = mapping ? static_cast<PaintReport*>(MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0)) : nullptr;
    if (!report || !painted) {
        std::fprintf(stderr, "cannot create the shared report\n");
        return 1;
    }

    // Round 0 warms the file cache and is not counted.
    for (int round = 0; round <= rounds; ++round) {
        for (size_t turn = 0; turn < programs.size(); ++turn) {
            Program& program = programs[(turn + static_cast<size_t>(round)) % programs.size()];
            if (!StartUntilPainted(program.path, hook, hookModule, painted.Get())) {
                std::fprintf(stderr, "%ls: no first paint (%ls)\n", program.label.c_str(), program.path.c_str());
                return 1;
            }
            if (round > 0)
                program.ms.push_back(report->msSinceCreation);
            Sleep(100);  // let the ended process's windows and threads go
        }
    }

    std::printf("%-16s %12s %10s %10s %10s %12s %12s\n", "program", "file bytes", "min ms", "median ms", "max ms",
                "min ratio", "median ratio");
    const double baseMin = *std::min_element(programs[0].ms.begin(), programs[0].ms.end());
    const double baseMedian = Median(programs[0].ms);
    for (const Program& program : programs) {
        const double low = *std::min_element(program.ms.begin(), program.ms.end());
        const double high = *std::max_element(program.ms.begin(), program.ms.end());
        const double median = Median(program.ms);
        std::printf("%-16ls %12llu %10.1f %10.1f %10.1f %12.2f %12.2f\n", program.label.c_str(), FileSize(program.path),
                    low, median, high, low / baseMin, median / baseMedian);
    }
    std::printf("%d rounds after one warm-up round\n", rounds);
    UnmapViewOfFile(report);
    return 0;
}
