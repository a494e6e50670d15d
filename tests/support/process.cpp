#include "tests/support/process.h"

#include "common/modulepath.h"

namespace testsupport {

namespace {

// One argument as the C runtime of the started program reads it back.
std::wstring Quoted(const std::wstring& arg)
{
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes in front of a quote are doubled, and the quote escaped.
        out.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(2 * backslashes, L'\\');
    return out + L"\"";
}

}  // namespace

ChildProcess::ChildProcess(const std::wstring& program, const std::vector<std::wstring>& args)
{
    std::wstring commandLine = Quoted(program);
    for (const std::wstring& arg : args)
        commandLine += L" " + Quoted(arg);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
        return;
    CloseHandle(info.hThread);
    process_.Reset(info.hProcess);
}

ChildProcess::~ChildProcess()
{
    if (process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT)
        Kill();
}

bool ChildProcess::Wait(DWORD& exitCode, std::chrono::milliseconds deadline)
{
    if (!process_ || WaitForSingleObject(process_.Get(), static_cast<DWORD>(deadline.count())) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(process_.Get(), &exitCode) != FALSE;
}

void ChildProcess::Kill()
{
    if (!process_)
        return;
    TerminateProcess(process_.Get(), 1);
    WaitForSingleObject(process_.Get(), INFINITE);
}

std::wstring ProgramBesideThisOne(const std::wstring& fileName)
{
    const std::wstring self = GetModulePath();
    return self.substr(0, self.rfind(L'\\') + 1) + fileName;
}

}  // namespace testsupport
