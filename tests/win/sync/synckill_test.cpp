// A run killed (TerminateProcess, as Task Manager does) at several points of its writes
// leaves every target with its old or its new contents, keeps old contents that were to
// be backed up, and the next run clears its leftovers up.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

#include "common/winhandle.h"
#include "syncfolderapp/sync/syncfiledriver.h"
#include "tests/support/process.h"
#include "tests/support/tempdir.h"
#include "tests/support/wine.h"
#include "tests/win/sync/recordingsink.h"
#include "tests/win/sync/synctestutil.h"

namespace {

constexpr int kFiles = 2;
constexpr std::size_t kNewSize = 24u << 20;
constexpr std::size_t kOldSize = 16u << 20;

std::string NewContents(int i)
{
    return std::string(kNewSize, static_cast<char>('a' + i));
}

std::string OldContents(int i)
{
    return std::string(kOldSize, static_cast<char>('A' + i));
}

std::wstring FileName(int i)
{
    return L"f" + std::to_wstring(i) + L".bin";
}

// What the test waits for before the kill, besides a held step.
enum class Catch {
    Held,        // the helper holds at its step
    NewCopy,     // a temporary file of new contents is being written
    BackupCopy,  // the copy of old contents for a backup is being written
};

struct KillPoint {
    const char* name;
    bool backup;
    const wchar_t* hold;  // the helper's step to hold at, or "none"
    bool refuseLinks;
    Catch when;
};

std::vector<std::uint64_t> TempSizes(const std::wstring& dir)
{
    std::vector<std::uint64_t> sizes;
    for (const std::wstring& name : TempFilesIn(dir)) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (GetFileAttributesExW((dir + L"\\" + name).c_str(), GetFileExInfoStandard, &data))
            sizes.push_back((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    }
    return sizes;
}

bool CopyUnderWay(const std::wstring& dir, Catch when)
{
    const std::vector<std::uint64_t> sizes = TempSizes(dir);
    if (when == Catch::NewCopy)
        return sizes.size() == 1 && sizes[0] < kNewSize;
    // The complete new file waits beside the growing copy of the old one.
    return sizes.size() == 2 &&
           ((sizes[0] == kNewSize && sizes[1] < kOldSize) || (sizes[1] == kNewSize && sizes[0] < kOldSize));
}

// Watches the version folder until a copy is seen under way; false when the helper ended
// first (the deadline only guards against hangs).
bool WaitForCopyUnderWay(const std::wstring& dir, Catch when, testsupport::ChildProcess& helper)
{
    const ULONGLONG deadline = GetTickCount64() + 60000;
    DWORD exitCode = 0;
    while (GetTickCount64() < deadline) {
        if (CopyUnderWay(dir, when))
            return true;
        if (helper.Wait(exitCode, std::chrono::milliseconds(0)))
            return false;
    }
    return false;
}

bool SomeBackupHolds(const std::wstring& dir, int i, const std::string& contents)
{
    for (const std::wstring& name : BackupsIn(dir)) {
        if (name.rfind(FileName(i) + L"_", 0) == 0 && Get(dir + L"\\" + name) == contents)
            return true;
    }
    return false;
}

class SyncKill : public ::testing::TestWithParam<KillPoint> {};

TEST_P(SyncKill, EveryTargetIsOldOrNewAndTheNextRunClearsUp)
{
    if (testsupport::MappedDriveRoot(L'D').empty() || testsupport::MappedDriveRoot(L'E').empty())
        GTEST_SKIP() << "needs the test drives D: and E:";
    const KillPoint& point = GetParam();
    testsupport::TempDir sourceDrive(L"D:\\");
    testsupport::TempDir versionDrive(L"E:\\");
    const std::wstring ver = versionDrive.wpath(L"ver");
    std::vector<std::wstring> files;
    for (int i = 0; i < kFiles; ++i) {
        files.push_back(sourceDrive.wpath(L"src\\" + FileName(i)));
        Put(files.back(), NewContents(i));
        Put(ver + L"\\" + FileName(i), OldContents(i));
    }

    const std::string name = point.name;
    const std::wstring eventName =
        L"Local\\sf_kill_" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::wstring(name.begin(), name.end());
    KernelHandle ready(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
    ASSERT_TRUE(ready);
    // Kept until the end: while its handle is open, the killed helper's process id is not
    // given to another process.
    testsupport::ChildProcess helper(testsupport::ProgramBesideThisOne(L"sync_kill_helper.exe"),
                                     {sourceDrive.wpath(L"src"), ver, point.backup ? L"1" : L"0", point.hold,
                                      point.refuseLinks ? L"1" : L"0", eventName});
    ASSERT_TRUE(helper.Started());
    ASSERT_EQ(WaitForSingleObject(ready.Get(), 60000), WAIT_OBJECT_0);
    if (point.when != Catch::Held && !WaitForCopyUnderWay(ver, point.when, helper))
        GTEST_SKIP() << "the copy ended before it could be caught under way";
    if (point.when == Catch::Held) {
        // A second instance writing into the same folder meanwhile leaves the held
        // writer's complete temporary file alone.
        const std::vector<std::wstring> held = TempFilesIn(ver);
        Put(sourceDrive.wpath(L"more\\other.txt"), "other");
        CSyncFileDriver other;
        EXPECT_EQ(other.StartSync({sourceDrive.wpath(L"more\\other.txt")}, {ver}, SameLevel, false), 1);
        EXPECT_EQ(TempFilesIn(ver), held);
    }
    helper.Kill();

    for (int i = 0; i < kFiles; ++i) {
        const std::string now = Get(ver + L"\\" + FileName(i));
        EXPECT_TRUE(now == OldContents(i) || now == NewContents(i)) << "target " << i << " torn: " << now.size();
        if (point.backup && now != OldContents(i)) {
            EXPECT_TRUE(SomeBackupHolds(ver, i, OldContents(i))) << "old contents of target " << i << " lost";
        }
    }

    RecordingSink sink;
    CSyncFileDriver next(&sink);
    EXPECT_EQ(next.StartSync(files, {ver}, SameLevel, point.backup), kFiles);
    EXPECT_EQ(sink.Lines().size(), static_cast<std::size_t>(kFiles)) << "leftovers are never counted or reported";
    EXPECT_TRUE(TempFilesIn(ver).empty());
    for (int i = 0; i < kFiles; ++i) {
        EXPECT_TRUE(Get(ver + L"\\" + FileName(i)) == NewContents(i)) << "target " << i;
        if (point.backup) {
            EXPECT_TRUE(SomeBackupHolds(ver, i, OldContents(i))) << "old contents of target " << i << " lost";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Points, SyncKill,
                         ::testing::Values(KillPoint{"DuringTheCopy", false, L"none", false, Catch::NewCopy},
                                           KillPoint{"BetweenCopyAndRename", false, L"copied", false, Catch::Held},
                                           KillPoint{"BeforeTheBackupLink", true, L"link", false, Catch::Held},
                                           KillPoint{"BetweenLinkAndRename", true, L"commit", false, Catch::Held},
                                           KillPoint{"DuringTheBackupCopy", true, L"none", true, Catch::BackupCopy},
                                           KillPoint{"BetweenBackupCopyAndRename", true, L"commit", true, Catch::Held}),
                         [](const ::testing::TestParamInfo<KillPoint>& point) {
                             return std::string(point.param.name);
                         });

}  // namespace
