#include "logengine/platform.h"

#include <sys/stat.h>
#include <sys/types.h>

#include "logengine/logdefs.h"

#ifdef _WIN32
#include <direct.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace FNLog::platform {

namespace {

std::string ModulePath()
{
#ifdef _WIN32
    char buffer[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH - 1);
    if (n == 0 || n >= MAX_PATH - 1)
        return {};
    return std::string(buffer, n);
#else
    char buffer[260] = {};
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (n <= 0)
        return {};
    return std::string(buffer, static_cast<size_t>(n));
#endif
}

}  // namespace

std::string ProcessName()
{
    std::string path = ModulePath();
    if (path.empty())
        return "process";
    size_t slash = path.find_last_of("\\/");
    if (slash != std::string::npos)
        path.erase(0, slash + 1);
    size_t dot = path.rfind('.');
    if (dot != std::string::npos)
        path.erase(dot);
    return path;
}

unsigned ProcessId()
{
#ifdef _WIN32
    return static_cast<unsigned>(GetCurrentProcessId());
#else
    return static_cast<unsigned>(getpid());
#endif
}

bool IsDirectory(const std::string& path)
{
#ifdef _WIN32
    struct _stat64 st;
    return _stat64(path.c_str(), &st) == 0 && (st.st_mode & _S_IFDIR) != 0;
#else
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
#endif
}

bool MakeDirectory(const std::string& path)
{
#ifdef _WIN32
    return _mkdir(path.c_str()) == 0;
#else
    return mkdir(path.c_str(), 0777) == 0;
#endif
}

bool FileExists(const std::string& path)
{
#ifdef _WIN32
    struct _stat64 st;
    return _stat64(path.c_str(), &st) == 0;
#else
    struct stat st;
    return stat(path.c_str(), &st) == 0;
#endif
}

int64_t FileSize(std::FILE* file)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return -1;
#ifdef _WIN32
    return _ftelli64(file);
#else
    return static_cast<int64_t>(ftello(file));
#endif
}

void PrepareConsoleInput()
{
#ifdef _WIN32
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (input != nullptr && input != INVALID_HANDLE_VALUE && GetConsoleMode(input, &mode)) {
        mode &= ~static_cast<DWORD>(ENABLE_QUICK_EDIT_MODE | ENABLE_INSERT_MODE | ENABLE_MOUSE_INPUT);
        SetConsoleMode(input, mode | ENABLE_EXTENDED_FLAGS);
    }
#endif
}

void PrintToConsole(const char* text, size_t length, int priority)
{
#ifdef _WIN32
    // Console attribute colours by priority: INFO, WARN, ERROR, ALARM, FATAL.
    static const WORD kColours[] = {0, 0, 3, 6, 4, 2, 5};
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (priority > PRIORITY_DEBUG && output != nullptr && output != INVALID_HANDLE_VALUE &&
        GetConsoleScreenBufferInfo(output, &info)) {
        int index = priority > PRIORITY_FATAL ? PRIORITY_FATAL : priority;
        WORD attribute = static_cast<WORD>((info.wAttributes & ~0x7) | kColours[index]);
        std::fflush(stdout);
        SetConsoleTextAttribute(output, attribute);
        std::fwrite(text, 1, length, stdout);
        std::fflush(stdout);
        SetConsoleTextAttribute(output, info.wAttributes);
        return;
    }
#else
    (void)priority;
#endif
    std::fwrite(text, 1, length, stdout);
}

}  // namespace FNLog::platform
