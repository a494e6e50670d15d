#include "uikit/diaglog_win.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <deque>
#include <mutex>

#include <windows.h>

namespace uikit {
namespace {

constexpr size_t kKeptLines = 256;

struct DiagState {
    std::mutex lock;
    std::deque<std::wstring> lines;
    std::function<void(const std::wstring&)> sink;
};

DiagState& State()
{
    static DiagState state;
    return state;
}

}  // namespace

void DiagLog(const std::wstring& line)
{
    std::function<void(const std::wstring&)> sink;
    {
        DiagState& state = State();
        std::lock_guard<std::mutex> guard(state.lock);
        state.lines.push_back(line);
        if (state.lines.size() > kKeptLines)
            state.lines.pop_front();
        sink = state.sink;
    }
    OutputDebugStringW((L"[uikit] " + line + L"\n").c_str());
    if (sink)
        sink(line);
}

void DiagLogf(const wchar_t* format, ...)
{
    wchar_t buffer[1024];
    va_list args;
    va_start(args, format);
    // The system's own formatter: "%s" takes a wide string, as in every wide Win32 format.
    const int n = _vsnwprintf(buffer, sizeof(buffer) / sizeof(buffer[0]) - 1, format, args);
    va_end(args);
    // vswprintf fails on overlong output: keep what fits rather than dropping the line.
    buffer[sizeof(buffer) / sizeof(buffer[0]) - 1] = L'\0';
    DiagLog(n >= 0 ? std::wstring(buffer) : std::wstring(buffer) + L"...");
}

void SetDiagSink(std::function<void(const std::wstring&)> sink)
{
    DiagState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    state.sink = std::move(sink);
}

std::vector<std::wstring> RecentDiagLines()
{
    DiagState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    return {state.lines.begin(), state.lines.end()};
}

void ClearDiagLines()
{
    DiagState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    state.lines.clear();
}

}  // namespace uikit
