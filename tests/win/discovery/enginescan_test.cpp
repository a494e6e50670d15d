#include "syncfolderapp/discovery/enginescan.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "common/winhandle.h"
#include "syncfolderapp/discovery/enginefolders.h"
#include "tests/support/files.h"
#include "tests/support/pump.h"
#include "tests/win/sync/recordingsink.h"

namespace fs = std::filesystem;
using Paths = std::vector<std::wstring>;

namespace {

void ClearDrive(const wchar_t* root)
{
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(root, ec))
        fs::remove_all(entry.path(), ec);
}

// Makes `dir` a version directory: dir\Mir200\!Setup.txt.
void MakeEngineFolder(const std::wstring& dir)
{
    testsupport::WriteFile(fs::path(dir) / L"Mir200" / L"!Setup.txt", "[Setup]\r\n");
}

Paths Find(const std::wstring& directory)
{
    Paths results;
    uint64_t counter = 0;
    FindMarkedFolders(directory, results, kEngineMarkerPath, 0, counter);
    return results;
}

Paths Sorted(Paths paths)
{
    std::sort(paths.begin(), paths.end());
    return paths;
}

class EngineScanTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearDrive(L"D:\\");
        ClearDrive(L"E:\\");
    }
    void TearDown() override { SetUp(); }
};

// What a main window sees of a scan: the codes in order and the lists of SCAN_RESULTS.
struct ScanRecord {
    std::vector<WPARAM> codes;
    std::vector<Paths> lists;
    DWORD senderThread = 0;
    bool ended = false;
};
ScanRecord* g_record = nullptr;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == UM_SCAN_NOTIFY && g_record != nullptr) {
        g_record->codes.push_back(wParam);
        if (wParam == SCAN_RESULTS)
            g_record->lists.push_back(*reinterpret_cast<const ScanResultList*>(lParam));
        if (wParam == SCAN_END)
            g_record->ended = true;
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Runs the scan task on a thread of its own, as the worker does, while this thread
// handles the window's messages.
ScanRecord RunScan(const std::vector<std::wstring>& drives, const NetworkScan& network = {})
{
    static const wchar_t kClass[] = L"EngineScanTestWindow";
    WNDCLASSW wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    EXPECT_NE(window, nullptr);

    ScanRecord record;
    g_record = &record;
    std::thread worker([&] { ScanEngineFolders(window, drives, network); });
    const bool ended = testsupport::PumpUntil([&] { return record.ended; }, std::chrono::seconds(60));
    worker.join();
    g_record = nullptr;
    DestroyWindow(window);
    EXPECT_TRUE(ended) << "the scan never sent SCAN_END";
    return record;
}

}  // namespace

TEST_F(EngineScanTest, FindsVersionDirectoriesOneToThreeLevelsDownButNotFour)
{
    MakeEngineFolder(L"D:\\one");
    MakeEngineFolder(L"D:\\games\\two");
    MakeEngineFolder(L"D:\\a\\b\\three");
    MakeEngineFolder(L"D:\\a\\b\\c\\four");
    EXPECT_EQ(Sorted(Find(L"D:\\")), (Paths{L"D:\\a\\b\\three", L"D:\\games\\two", L"D:\\one"}));
}

TEST_F(EngineScanTest, NestedVersionDirectoriesComeOuterFirst)
{
    MakeEngineFolder(L"D:\\srv");
    MakeEngineFolder(L"D:\\srv\\copy");
    MakeEngineFolder(L"D:\\srv\\copy\\deeper");
    EXPECT_EQ(Find(L"D:\\"), (Paths{L"D:\\srv", L"D:\\srv\\copy", L"D:\\srv\\copy\\deeper"}));
}

TEST_F(EngineScanTest, MarkerThatIsADirectoryDoesNotCount)
{
    fs::create_directories(L"D:\\fake\\Mir200\\!Setup.txt");
    fs::create_directories(L"D:\\half\\Mir200");
    testsupport::WriteFile(L"D:\\wrongname\\Mir200\\Setup.txt", "x");
    EXPECT_TRUE(Find(L"D:\\").empty());
}

TEST_F(EngineScanTest, RecycleBinsAreNeitherTestedNorEntered)
{
    for (const wchar_t* bin : {L"D:\\$Recycle.Bin", L"D:\\RECYCLER", L"D:\\recycled"}) {
        MakeEngineFolder(bin);
        MakeEngineFolder(std::wstring(bin) + L"\\S-1-5-21\\srv");
    }
    MakeEngineFolder(L"D:\\RecyclerOld");
    EXPECT_EQ(Find(L"D:\\"), (Paths{L"D:\\RecyclerOld"}));
}

TEST_F(EngineScanTest, StartsBelowAnyDirectoryAndCountsEveryEntry)
{
    MakeEngineFolder(L"D:\\base\\srv");
    testsupport::WriteFile(L"D:\\base\\f1.txt", "1");
    testsupport::WriteFile(L"D:\\base\\f2.txt", "2");
    Paths results;
    uint64_t counter = 0;
    FindMarkedFolders(L"D:\\base", results, kEngineMarkerPath, 0, counter);
    EXPECT_EQ(results, (Paths{L"D:\\base\\srv"}));
    // base: . .. f1.txt f2.txt srv; srv: . .. Mir200; Mir200: . .. !Setup.txt
    EXPECT_EQ(counter, 11u);

    Paths none;
    FindMarkedFolders(L"D:\\no such dir", none, kEngineMarkerPath, 0, counter);
    FindMarkedFolders(L"", none, kEngineMarkerPath, 0, counter);
    EXPECT_TRUE(none.empty());
}

TEST_F(EngineScanTest, LinkBackToAnEnclosingDirectoryIsNotFollowed)
{
    MakeEngineFolder(L"D:\\loop");
    if (!CreateSymbolicLinkW(L"D:\\loop\\back", L"D:\\loop", SYMBOLIC_LINK_FLAG_DIRECTORY) ||
        !(GetFileAttributesW(L"D:\\loop\\back") & FILE_ATTRIBUTE_REPARSE_POINT))
        GTEST_SKIP() << "directory links cannot be made here";
    CreateSymbolicLinkW(L"D:\\loop\\root", L"D:\\", SYMBOLIC_LINK_FLAG_DIRECTORY);
    EXPECT_EQ(Find(L"D:\\"), (Paths{L"D:\\loop"}));
}

TEST_F(EngineScanTest, ScanSendsOneListPerDriveInDriveOrderThenEnd)
{
    MakeEngineFolder(L"D:\\d1");
    MakeEngineFolder(L"D:\\d1\\x\\d2");
    MakeEngineFolder(L"E:\\e1");

    const ScanRecord record = RunScan({L"E", L"Q", L"D"});
    EXPECT_EQ(record.codes, (std::vector<WPARAM>{SCAN_RESULTS, SCAN_RESULTS, SCAN_END}));
    ASSERT_EQ(record.lists.size(), 2u);
    EXPECT_EQ(record.lists[0], (Paths{L"E:\\e1"}));
    EXPECT_EQ(record.lists[1], (Paths{L"D:\\d1", L"D:\\d1\\x\\d2"}));
}

TEST_F(EngineScanTest, DriveWithoutResultsSendsNothing)
{
    MakeEngineFolder(L"E:\\only");
    testsupport::WriteFile(L"D:\\plain\\file.txt", "x");

    const ScanRecord record = RunScan({L"D", L"E"});
    EXPECT_EQ(record.codes, (std::vector<WPARAM>{SCAN_RESULTS, SCAN_END}));
    ASSERT_EQ(record.lists.size(), 1u);
    EXPECT_EQ(record.lists[0], (Paths{L"E:\\only"}));

    EXPECT_EQ(RunScan({L"D"}).codes, (std::vector<WPARAM>{SCAN_END}));
}

TEST_F(EngineScanTest, NetworkDrivesAreProbedFirstAndOneThatFailsIsReportedAndLeftOut)
{
    MakeEngineFolder(L"D:\\d1");
    MakeEngineFolder(L"E:\\e1");
    RecordingSink reports;
    // D answers the probe; Q, no drive at all, stands for a share that is gone.
    const ScanRecord record = RunScan({L"D", L"Q", L"E"}, NetworkScan{{L"D", L"Q"}, &reports});
    EXPECT_EQ(record.lists, (std::vector<Paths>{{L"D:\\d1"}, {L"E:\\e1"}}));
    const std::vector<ResultLine> lines = reports.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].error);
    EXPECT_EQ(lines[0].text, L"无法扫描网络磁盘:Q:\\");
    EXPECT_EQ(lines[0].tag, 150u);
    EXPECT_NE(lines[0].code, 0u);
}

TEST(CallWithin, GivesTheCallsResultOrTheTimeOutCodeAndLeavesAStuckCallToEnd)
{
    EXPECT_EQ(CallWithin([] { return 7u; }, 10000), 7u);
    EXPECT_EQ(ProbeRootListing(L"D:\\", 10000), 0u) << "an empty root answers";

    // A call held past the limit, as by an offline server; it ends after the probe gave up.
    auto release = std::make_shared<KernelHandle>(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    auto ended = std::make_shared<std::atomic<bool>>(false);
    EXPECT_EQ(CallWithin(
                  [release, ended] {
                      WaitForSingleObject(release->Get(), INFINITE);
                      *ended = true;
                      return 0u;
                  },
                  50),
              static_cast<std::uint32_t>(ERROR_SEM_TIMEOUT));
    SetEvent(release->Get());
    EXPECT_TRUE(testsupport::PumpUntil([&] { return ended->load(); }, std::chrono::seconds(10)));
}

TEST_F(EngineScanTest, HandAddedFoldersAreCheckedOnDisk)
{
    fs::create_directories(L"D:\\MirServer\\Mir200\\Envir");
    fs::create_directories(L"D:\\Other");
    fs::create_directories(L"D:\\mir200data");
    testsupport::WriteFile(L"D:\\FileServer\\Mir200", "a file, not a directory");

    Paths known;
    EngineFolderBatch batch = CollectEngineFolders({L"D:\\MirServer", L"D:\\MirServer"}, known, HasMir200Directory);
    EXPECT_EQ(batch.added, (Paths{L"D:\\MirServer"}));
    EXPECT_FALSE(batch.refused);

    batch = CollectEngineFolders({L"D:\\MirServer\\Mir200\\Envir", L"D:\\Other", L"D:\\mir200data", L"D:\\FileServer"},
                                 known, HasMir200Directory);
    EXPECT_TRUE(batch.added.empty());
    EXPECT_TRUE(batch.refused);
    EXPECT_EQ(known, (Paths{L"D:\\MirServer"}));
}
