#include "common/fileutil.h"

#include <set>

#include "common/pathutil.h"
#include "common/winhandle.h"

namespace {

const std::wstring kLongPathPrefix = L"\\\\?\\";

std::wstring JoinPath(const std::wstring& dir, const std::wstring& name)
{
    if (!dir.empty() && dir.back() == L'\\')
        return dir + name;
    return dir + L'\\' + name;
}

bool StartsWithDir(const std::wstring& path, const std::wstring& dir)
{
    return path == dir || (path.size() > dir.size() && path.compare(0, dir.size(), dir) == 0 &&
                           (dir.back() == L'\\' || path[dir.size()] == L'\\'));
}

// Remembers where directory links led, so that a cycle through links is walked once.
class LinkGuard {
public:
    explicit LinkGuard(const std::wstring& root) : rootFinal_(GetFinalPath(root)) {}

    bool ShouldFollow(const std::wstring& link)
    {
        const std::wstring target = GetFinalPath(link);
        if (target.empty())
            return true;  // unresolvable: listing it will simply fail
        if (!rootFinal_.empty() && StartsWithDir(rootFinal_, target))
            return false;  // leads to the root or one of its ancestors
        return visited_.insert(target).second;
    }

private:
    std::wstring rootFinal_;
    std::set<std::wstring> visited_;
};

}  // namespace

bool IsExistingDirectory(const std::wstring& path)
{
    if (path.empty())
        return false;
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW(path.c_str(), &data));
    return find && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateDirectoryTree(const std::wstring& path)
{
    const auto pos = path.rfind(L'\\');
    if (pos == std::wstring::npos) {
        if (path.empty())
            return false;
        return CreateDirectoryW(path.c_str(), nullptr) != FALSE;
    }
    CreateDirectoryTree(path.substr(0, pos));
    return CreateDirectoryW(path.c_str(), nullptr) != FALSE;
}

bool EnsureDirectory(const std::wstring& path)
{
    if (!path.empty() && IsExistingDirectory(path))
        return true;
    CreateDirectoryTree(ReplaceAll(path, L"/", L"\\"));
    return IsExistingDirectory(path);
}

void ListFilesRecursive(const std::wstring& root, std::vector<std::wstring>& files)
{
    if (root.empty())
        return;
    std::wstring start = root;
    if (start.size() >= MAX_PATH && start[1] == L':' && start.compare(0, kLongPathPrefix.size(), kLongPathPrefix) != 0)
        start = kLongPathPrefix + start;

    LinkGuard links(start);
    std::vector<std::wstring> pending{start};
    while (!pending.empty()) {
        const std::wstring dir = std::move(pending.back());
        pending.pop_back();

        WIN32_FIND_DATAW data;
        FindHandle find(FindFirstFileW(JoinPath(dir, L"*").c_str(), &data));
        if (!find)
            continue;
        do {
            if (IsDotEntry(data.cFileName))
                continue;
            std::wstring full = JoinPath(dir, data.cFileName);
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                files.push_back(std::move(full));
                continue;
            }
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && !links.ShouldFollow(full))
                continue;
            pending.push_back(std::move(full));
        } while (FindNextFileW(find.Get(), &data));
    }
}

std::wstring GetFinalPath(const std::wstring& path)
{
    FileHandle handle(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle)
        return {};
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFinalPathNameByHandleW(handle.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), 0);
        if (length == 0)
            return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(length + 1);
    }
}
