// Version directories on network drives, in a prefix where N: is a network drive and
// \\srv\share a UNC share (run-network.sh): the drive dialog and the scan, a drive that
// goes offline, the drives remembered across a restart, the share keys, and a run into a
// share whose server goes while two lanes write into it.

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <windows.h>

#include "common/drives.h"
#include "common/sharekey.h"
#include "common/textutil.h"
#include "common/winhandle.h"
#include "syncfolderapp/discovery/seldrivedlg.h"
#include "syncfolderapp/sync/syncfiledriver.h"
#include "tests/gui/mainwnd/mainwndenv.h"
#include "tests/gui/support/modalstep.h"
#include "tests/support/files.h"
#include "tests/support/pump.h"
#include "tests/win/sync/recordingsink.h"
#include "uikit/automation_win.h"
#include "uikit/button_win.h"
#include "uikit/checkbox_win.h"

namespace fs = std::filesystem;

namespace mainwndtest {
namespace {

using Paths = std::vector<std::wstring>;

// The Linux folder that the runner named in `variable`, reached through Z:, Wine's drive
// for the Linux root (the folder's own Windows name would be the drive it backs).
std::wstring FolderFromEnvironment(const char* variable)
{
    const char* unixPath = std::getenv(variable);
    if (!unixPath || unixPath[0] != '/')
        return {};
    std::wstring path = L"Z:";
    for (const char* c = unixPath; *c != 0; ++c)
        path += *c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c));
    return path;
}

// N: goes offline when the folder behind it moves away, and comes back with it.
class NetworkDrive {
public:
    NetworkDrive() : folder_(FolderFromEnvironment("SF_NETWORK_FOLDER")) {}
    ~NetworkDrive() { Online(); }
    NetworkDrive(const NetworkDrive&) = delete;
    NetworkDrive& operator=(const NetworkDrive&) = delete;

    bool Known() const { return !folder_.empty(); }
    void Offline() const { EXPECT_TRUE(MoveFileExW(folder_.c_str(), Away().c_str(), 0)) << GetLastError(); }
    void Online() const { MoveFileExW(Away().c_str(), folder_.c_str(), 0); }

private:
    std::wstring Away() const { return folder_ + L".offline"; }

    std::wstring folder_;
};

class NetworkDriveTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(network.Known()) << "run by run-network.sh";
        ASSERT_EQ(GetDriveTypeW(L"N:\\"), static_cast<UINT>(DRIVE_REMOTE)) << "N: must be a network drive";
        MainWindowTest::SetUp();
        ClearDrive(L"N:\\");
        MakeEngineFolder(L"N:\\net\\v1");
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        network.Online();
        ClearDrive(L"N:\\");
    }

    std::wstring ConfigPath() const { return DataDir() + L"\\syncfile.config"; }

    // Opens the drive dialog from the drive button and answers it from inside its loop:
    // notes the boxes offered (letter -> label), runs `meanwhile`, ticks `tick`, accepts.
    std::map<std::wstring, std::wstring> ChooseDrives(const std::vector<std::wstring>& tick,
                                                      const std::function<void()>& meanwhile = {})
    {
        std::map<std::wstring, std::wstring> offered;
        std::vector<std::wstring> order;
        testsupport::WhenDialogRuns([&](uikit::SHostDialog& dialog) {
            auto* drives = dynamic_cast<CSelDriveDlg*>(&dialog);
            if (!drives)
                return;
            order = drives->allDrives;
            for (const std::wstring& letter : order) {
                if (auto* box = drives->FindControlAs<uikit::SCheck>("ck_" + ToUtf8(letter)))
                    offered[letter] = box->GetText();
            }
            Snapshot(drives->Hwnd(), "network-drive-dialog");
            if (meanwhile)
                meanwhile();
            for (const std::wstring& letter : tick) {
                if (auto* box = drives->FindControlAs<uikit::SCheck>("ck_" + ToUtf8(letter)))
                    box->SetCheck(true);
            }
            uikit::ClickControl(*drives, "but_ok");
        });
        EXPECT_TRUE(Click("but_sel_drive"));
        testsupport::StopDialogSteps();
        EXPECT_TRUE(WaitForScanEnd());
        EXPECT_FALSE(order.empty()) << "the dialog did not open";
        if (!order.empty()) {
            EXPECT_EQ(order.back(), L"N") << "network drives come after the fixed disks";
        }
        return offered;
    }

    std::wstring Caption() const { return Control<uikit::SButton>("but_sel_drive")->GetText(); }

    NetworkDrive network;
};

TEST_F(NetworkDriveTest, DialogOffersTheNetworkDriveScansItAfterTheLocalOnesAndARestartScansTheSameDrives)
{
    OpenWindow();
    ASSERT_EQ(Caption(), L"D:\\");
    const auto offered = ChooseDrives({L"N"});
    EXPECT_EQ(offered.at(L"N"), L"N盘(网络磁盘)");
    EXPECT_EQ(offered.at(L"D"), L"D盘(本地磁盘)");
    EXPECT_EQ(Caption(), L"[D][N]");
    EXPECT_EQ(EngineRows(), (Paths{L"D:\\games\\srv1", L"D:\\games\\srv2", L"N:\\net\\v1"}));
    EXPECT_TRUE(LogLines(true).empty());
    const std::string config = ReadText(ConfigPath());
    EXPECT_NE(config.find("ScanDrives: [D, N]"), std::string::npos) << config;

    // The next start scans the remembered drives.
    CloseWindow();
    OpenWindow();
    EXPECT_EQ(Caption(), L"[D][N]");
    EXPECT_EQ(EngineRows(), (Paths{L"D:\\games\\srv1", L"D:\\games\\srv2", L"N:\\net\\v1"}));

    // Drives the machine no longer has are dropped; when none is left, the default drive.
    // A file of an earlier release has no drives at all.
    const std::pair<const char*, const wchar_t*> starts[] = {
        {"SyncType: 1\nScanDrives: [Q, N]\n", L"N:\\"},
        {"SyncType: 1\nScanDrives: [Q]\n", L"D:\\"},
        {"SyncType: 1\nBackUp: false\n", L"D:\\"},
    };
    for (const auto& [text, caption] : starts) {
        CloseWindow();
        WriteText(ConfigPath(), text);
        OpenWindow();
        EXPECT_EQ(Caption(), caption) << text;
    }
    EXPECT_EQ(EngineRows(), (Paths{L"D:\\games\\srv1", L"D:\\games\\srv2"}));
}

TEST_F(NetworkDriveTest, OfflineNetworkDriveIsReportedAndTheOtherDrivesAreScanned)
{
    OpenWindow();
    // Listed when the dialog opened, gone by the time the scan reaches it.
    ChooseDrives({L"E", L"N"}, [this] { network.Offline(); });
    EXPECT_EQ(Caption(), L"[D][E][N]");
    EXPECT_EQ(EngineRows(), (Paths{L"D:\\games\\srv1", L"D:\\games\\srv2", L"E:\\mir\\s3"}));
    const std::wstring line = L"无法扫描网络磁盘:N:\\";
    EXPECT_EQ(LogLines(true), Paths{line});
    ASSERT_TRUE(Click("but_sync_log"));
    Snapshot(wnd->Hwnd(), "network-drive-offline");
    ASSERT_TRUE(testsupport::PumpUntil([&] { return ReadLogFiles().find(line + L", ERROR:") != std::wstring::npos; }));
    const std::wstring files = ReadLogFiles();
    const std::size_t code = files.rfind(line + L", ERROR:") + line.size() + 8;
    EXPECT_NE(files.substr(code, 2), L"0,") << "the system's error code";
    EXPECT_NE(files.find(L", LINE:150", code), std::wstring::npos);
}

TEST_F(NetworkDriveTest, RememberedNetworkDriveThatIsOfflineAtTheStartIsReported)
{
    WriteText(ConfigPath(), "SyncType: 1\nScanDrives: [E, N]\n");
    network.Offline();
    if (GetDriveTypeW(L"N:\\") != DRIVE_REMOTE)
        GTEST_SKIP() << "Wine stops reporting a drive as a network drive once its folder is gone";
    OpenWindow();
    EXPECT_EQ(Caption(), L"[E][N]");
    EXPECT_EQ(EngineRows(), Paths{L"E:\\mir\\s3"});
    EXPECT_EQ(LogLines(true), Paths{L"无法扫描网络磁盘:N:\\"});
}

TEST(ShareKeyOf, NetworkDrivesAndUncPathsHaveOneLocalPathsNone)
{
    EXPECT_EQ(ShareKeyOf(L"N:\\net\\v1"), L"N:\\") << "Wine names no share for this drive";
    EXPECT_EQ(ShareKeyOf(L"n:\\"), L"N:\\");
    EXPECT_EQ(ShareKeyOf(L"\\\\srv\\share\\games\\v3"), L"\\\\SRV\\SHARE");
    EXPECT_EQ(ShareKeyOf(L"D:\\games\\srv1"), L"");
    const std::vector<std::wstring> network = GetNetworkDrives();
    EXPECT_EQ(network, std::vector<std::wstring>{L"N"});
    const std::vector<std::wstring> fixed = GetFixedDrives();
    EXPECT_EQ(std::find(fixed.begin(), fixed.end(), L"N"), fixed.end());
}

// A run into version directories on N: whose server goes during the first pair there, one
// on D: and one on another share, each in a lane of its own. The other lane on N: is in
// the middle of its first pair when the share is found gone, and gives that pair up
// instead of retrying it. N: is back by the time the next pairs come: only the probe's
// verdict keeps the run from trying them.
TEST(ShareThatGoes, RestOfItsPairsInEveryLaneFailAtOnceWithTheProbesCodeAndOtherSharesGoOn)
{
    NetworkDrive network;
    ASSERT_TRUE(network.Known());
    ClearDrive(L"N:\\");
    const std::wstring unc = L"\\\\srv\\share\\v4";
    for (const std::wstring& dir : {std::wstring(L"N:\\v1"), std::wstring(L"N:\\v2"), std::wstring(L"D:\\v3"), unc})
        ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr)) << testing::PrintToString(dir);
    testsupport::WriteFile(fs::path(L"D:\\src\\Mir200\\a.txt"), "a");
    testsupport::WriteFile(fs::path(L"D:\\src\\Mir200\\b.txt"), "b");

    RecordingSink sink;
    CSyncFileDriver engine(&sink);
    engine.Retry().SetWaits({0, 0, 0});
    const KernelHandle secondLaneWrites(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const KernelHandle verdict(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::atomic<int> firstPairAttempts = 0;
    std::atomic<int> secondLaneAttempts = 0;
    std::atomic<int> laterAttemptsOnN = 0;
    std::atomic<bool> waitedTooLong = false;
    std::atomic<std::uint32_t> gone = 0;
    const auto await = [&](const KernelHandle& event) {
        if (WaitForSingleObject(event.Get(), 30000) != WAIT_OBJECT_0)
            waitedTooLong = true;
    };
    engine.Writer().SetStepHook([&](WriteStep step, const PairWrite& pair) -> std::uint32_t {
        if (step != WriteStep::Copied || !pair.target.starts_with(L"N:"))
            return ERROR_SUCCESS;
        if (pair.target == L"N:\\v1\\Mir200\\a.txt") {
            // The server goes while the other lane on N: is writing too; on the last
            // attempt of this pair it is gone.
            if (++firstPairAttempts == 1)
                await(secondLaneWrites);
            if (firstPairAttempts == 4) {
                network.Offline();
                gone = GetFileAttributesW(L"N:\\") == INVALID_FILE_ATTRIBUTES ? GetLastError() : 0;
            }
            return ERROR_NETNAME_DELETED;
        }
        if (pair.target == L"N:\\v2\\Mir200\\a.txt" && ++secondLaneAttempts == 1) {
            SetEvent(secondLaneWrites.Get());
            await(verdict);  // the server drops this write as well
            return ERROR_NETNAME_DELETED;
        }
        ++laterAttemptsOnN;
        return ERROR_SUCCESS;
    });
    sink.onLine = [&](const ResultLine& line) {
        if (line.code == ERROR_NETNAME_DELETED) {
            network.Online();
            SetEvent(verdict.Get());
        }
    };
    const std::int32_t copied = engine.StartSync({L"D:\\src\\Mir200\\a.txt", L"D:\\src\\Mir200\\b.txt"},
                                                 {L"N:\\v1", L"N:\\v2", L"D:\\v3", unc}, Mir200Only, false);

    EXPECT_FALSE(waitedTooLong.load()) << "the two lanes on N: did not write at the same time";
    EXPECT_EQ(copied, 4);
    EXPECT_EQ(firstPairAttempts.load(), 4);
    EXPECT_EQ(secondLaneAttempts.load(), 1) << "a lane waiting to retry gives up once the share is found gone";
    EXPECT_EQ(laterAttemptsOnN.load(), 0) << "no attempt after the probe failed";
    ASSERT_NE(gone.load(), 0u) << "the drive did not go offline";
    std::map<std::wstring, std::vector<std::uint32_t>> codes;  // by version directory
    for (const ResultLine& line : sink.Lines()) {
        if (line.error)
            codes[line.text.substr(line.text.find(L">> ") + 3, 5)].push_back(line.code);
    }
    EXPECT_EQ(codes[L"N:\\v1"], (std::vector<std::uint32_t>{ERROR_NETNAME_DELETED, gone.load()}));
    EXPECT_EQ(codes[L"N:\\v2"], (std::vector<std::uint32_t>{gone.load(), gone.load()}));
    EXPECT_EQ(codes.size(), 2u);
    EXPECT_FALSE(fs::exists(L"N:\\v2\\Mir200\\a.txt"));
    EXPECT_EQ(testsupport::ReadFile(fs::path(unc) / "Mir200" / "a.txt"), "a");
    EXPECT_EQ(testsupport::ReadFile(fs::path(L"D:\\v3\\Mir200\\b.txt")), "b");
    ASSERT_EQ(engine.unfinishedFolders.size(), 2u);
    EXPECT_EQ(engine.unfinishedFolders[0].folder, L"N:\\v1");
    EXPECT_EQ(engine.unfinishedFolders[0].failed, 2);
    EXPECT_EQ(engine.unfinishedFolders[1].folder, L"N:\\v2");
    EXPECT_EQ(engine.unfinishedFolders[1].failed, 2);
    ClearDrive(L"N:\\");
    ClearDrive(L"D:\\");
    fs::remove_all(unc);
}

}  // namespace
}  // namespace mainwndtest
