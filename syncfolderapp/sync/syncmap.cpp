#include "syncfolderapp/sync/syncmap.h"

#include <algorithm>
#include <cstdio>
#include <cwctype>

#include "common/pathutil.h"

std::int32_t FindMir200Pos(const std::wstring& dir)
{
    std::wstring lower(dir);
    for (wchar_t& c : lower)
        c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));

    static const std::wstring needle = L"\\mir200";
    const std::size_t found = lower.rfind(needle);
    if (found == std::wstring::npos)
        return -1;
    // Only the last occurrence counts: "\Mir200\Mir2001" has no Mir200 component.
    const std::size_t end = found + needle.size();
    if (end == lower.size() || lower[end] == L'\\' || lower[end] == L'/')
        return static_cast<std::int32_t>(found);
    return -1;
}

std::vector<std::wstring> PathPieces(const std::wstring& path)
{
    static const std::wstring longPrefix = L"\\\\?\\";
    static const std::wstring longUncPrefix = L"\\\\?\\UNC\\";
    if (path.compare(0, longUncPrefix.size(), longUncPrefix) == 0)
        return SplitString(path.substr(longUncPrefix.size()), L"\\");
    if (path.compare(0, longPrefix.size(), longPrefix) == 0)
        return SplitString(path.substr(longPrefix.size()), L"\\");
    return SplitString(path, L"\\");
}

std::wstring RelativeTarget(const SyncFileItem& item, std::size_t folderPieceCount)
{
    if (item.mir200Pos > 0) {
        const auto pos = static_cast<std::size_t>(item.mir200Pos);
        return pos < item.sourcePath.size() ? item.sourcePath.substr(pos) : std::wstring();
    }
    const std::vector<std::wstring> dirParts = PathPieces(item.sourceDir);
    if (dirParts.size() < folderPieceCount)
        return {};
    std::wstring rel;
    for (std::size_t i = folderPieceCount; i < dirParts.size(); ++i) {
        rel += L'\\';
        rel += dirParts[i];
    }
    rel += L'\\';
    rel += item.fileName;
    return rel;
}

std::wstring MapTargetPath(const SyncFileItem& item, const std::wstring& folder)
{
    const std::wstring rel = RelativeTarget(item, PathPieces(folder).size());
    return rel.empty() ? std::wstring() : folder + rel;
}

std::wstring SourceUnreadableLine(const std::wstring& source)
{
    return L"获取文件信息失败:" + source;
}

std::wstring SyncSucceededLine(const std::wstring& source, const std::wstring& target)
{
    return L"同步文件成功:" + source + L" >> " + target;
}

std::wstring SyncFailedLine(const std::wstring& source, const std::wstring& target)
{
    return L"同步文件失败:" + source + L" >> " + target;
}

std::wstring SameSkippedLine(const std::wstring& source, const std::wstring& target)
{
    return L"文件相同,已跳过:" + source + L" >> " + target;
}

std::wstring VerifyFailedLine(const std::wstring& source, const std::wstring& target)
{
    return L"校验失败:" + source + L" >> " + target;
}

static int BackupYearBase(int year)
{
    if (year >= 3000 && year < 6000)
        return year / 1000 * 1000;
    return 2000;
}

std::wstring FormatBackupStamp(int year, int month, int day, int hour, int minute, int second)
{
    char buffer[100];
    const int yy = year - BackupYearBase(year);
    // The trailing constant 10 prints as the letter a: every stamp ends in a.
    const int written = std::snprintf(buffer, sizeof(buffer), "%02d%02d%02d%02d%02d%02d%lx", yy, month, day, hour,
                                      minute, second, 10ul);
    if (written <= 0)
        return {};
    return std::wstring(buffer, buffer + std::min<std::size_t>(static_cast<std::size_t>(written), sizeof(buffer) - 1));
}

std::wstring BackupFileName(const std::wstring& target, const std::wstring& stamp, int attempt)
{
    std::wstring name = target + L"_" + stamp;
    if (attempt > 1)
        name += L"_" + std::to_wstring(attempt);
    return name + L".bak";
}
