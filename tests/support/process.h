#pragma once

#include <chrono>
#include <string>
#include <vector>

#include <windows.h>

#include "common/winhandle.h"

namespace testsupport {

// A program that a test starts; killed when the object goes while it still runs.
class ChildProcess {
public:
    // Starts `program` with `args` (each passed as one argument); Started() tells whether
    // it could be started.
    ChildProcess(const std::wstring& program, const std::vector<std::wstring>& args);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return process_.Valid(); }
    // The program's process identifier (0 when it did not start).
    DWORD Id() const { return process_ ? GetProcessId(process_.Get()) : 0; }
    // Waits for the program's end; true (and its exit code) when it ended within the
    // deadline, which only guards against hangs.
    bool Wait(DWORD& exitCode, std::chrono::milliseconds deadline = std::chrono::seconds(120));
    // Ends it at once, as Task Manager does (TerminateProcess), and waits until it is gone.
    void Kill();

private:
    KernelHandle process_;
};

// The full path of a program in the folder of the running test program.
std::wstring ProgramBesideThisOne(const std::wstring& fileName);

}  // namespace testsupport
