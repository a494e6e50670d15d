#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// The few operating-system services the engine needs beyond the C and C++ libraries.
namespace FNLog::platform {

// The executable's file name without directory and extension; "process" when unknown.
std::string ProcessName();
unsigned ProcessId();

bool IsDirectory(const std::string& path);
bool MakeDirectory(const std::string& path);
bool FileExists(const std::string& path);
// Size of an open file in bytes; -1 when it cannot be read.
int64_t FileSize(std::FILE* file);

// Console input: quick-edit, insert and mouse modes off, so that a click into the
// console cannot freeze the process while it prints.
void PrepareConsoleInput();

// Prints a record's text to standard output in the colour of its priority when standard
// output is a console; plainly otherwise. The caller holds the console lock.
void PrintToConsole(const char* text, size_t length, int priority);

}  // namespace FNLog::platform
