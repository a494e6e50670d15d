#pragma once

// The toolkit's diagnostic log: what went wrong while loading layouts, resources or
// controls. Lines go to the debugger output and to an optional sink; the last lines are
// kept so that tests and callers can read them.

#include <functional>
#include <string>
#include <vector>

namespace uikit {

void DiagLog(const std::wstring& line);
// printf-style: DiagLogf(L"load interface [%s] failed!", L"imgdecoder").
void DiagLogf(const wchar_t* format, ...);

// Receives every line from now on (empty function: none).
void SetDiagSink(std::function<void(const std::wstring&)> sink);
// The most recent lines, oldest first (at most 256).
std::vector<std::wstring> RecentDiagLines();
void ClearDiagLines();

}  // namespace uikit
