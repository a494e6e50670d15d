#include "syncfolderapp/discovery/networkprobe.h"

#include <chrono>
#include <future>
#include <memory>
#include <system_error>
#include <thread>

#include <windows.h>

#include "common/winhandle.h"

std::uint32_t CallWithin(std::function<std::uint32_t()> call, std::uint32_t limitMs)
{
    // The task is shared with the helper, which may outlive this call.
    auto task = std::make_shared<std::packaged_task<std::uint32_t()>>(std::move(call));
    std::future<std::uint32_t> result = task->get_future();
    try {
        std::thread([task] { (*task)(); }).detach();
    } catch (const std::system_error&) {
        (*task)();  // no thread to spare: asked here, without a limit
    }
    if (result.wait_for(std::chrono::milliseconds(limitMs)) != std::future_status::ready)
        return ERROR_SEM_TIMEOUT;
    return result.get();
}

std::uint32_t ProbeRootListing(const std::wstring& root, std::uint32_t limitMs)
{
    return CallWithin(
        [pattern = root + L"*"]() -> std::uint32_t {
            WIN32_FIND_DATAW entry;
            FindHandle find(FindFirstFileW(pattern.c_str(), &entry));
            if (find)
                return ERROR_SUCCESS;
            // An empty root lists no entry at all (a root has no "." and ".."), which is an answer.
            const DWORD error = GetLastError();
            return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES ? ERROR_SUCCESS : error;
        },
        limitMs);
}
