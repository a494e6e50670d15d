#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What a run leaves behind where an operator can look: the dated log files and the
// copied and backed-up files on the drives.
namespace demo {

// The newest day's full log ("YYYYMMDD.log") in the folder, or empty when there is none.
std::wstring NewestDayLog(const std::wstring& logDir);
// The size of a file in bytes, 0 when it does not exist.
uint64_t FileSize(const std::wstring& path);
// The lines written to the file after `offset`, decoded from the ANSI code page, each
// without its time stamp and its ", LINE:" tag.
std::vector<std::wstring> LogMessagesFrom(const std::wstring& path, uint64_t offset);

struct CopiedFile {
    std::wstring source;
    std::wstring target;
};
// The pairs of the success lines ("同步文件成功:" source " >> " target) among messages.
std::vector<CopiedFile> CopiedFiles(const std::vector<std::wstring>& messages);

bool SameContent(const std::wstring& a, const std::wstring& b);
// Backups of `target` ("<target>_<stamp>.bak") whose stamp is not older than `since`,
// a stamp of the same form (two-digit year, month, day, hour, minute, second).
std::vector<std::wstring> BackupsOf(const std::wstring& target, const std::wstring& since);
// The current local time in the backup stamp's form.
std::wstring StampNow();

// The Linux path of a Windows path when running under Wine, else empty.
std::wstring HostPath(const std::wstring& windowsPath);

}  // namespace demo
