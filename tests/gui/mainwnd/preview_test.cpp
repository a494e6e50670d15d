// "预览同步" from the window: the plan of every action on real disks, what "确认同步" and
// "取消预览" write, and what discards a preview.

#include <filesystem>

#include "tests/gui/mainwnd/mainwndenv.h"
#include "tests/support/pump.h"
#include "uikit/checkbox_win.h"
#include "uikit/control_win.h"
#include "uikit/listctrl_win.h"
#include "uikit/text_win.h"

namespace fs = std::filesystem;

namespace mainwndtest {
namespace {

using Paths = std::vector<std::wstring>;

const std::wstring kSrc = L"D:\\games\\srv1";
const std::wstring kSrv2 = L"D:\\games\\srv2";
const std::wstring kS3 = L"E:\\mir\\s3";
const std::wstring kNew = kSrc + L"\\Mir200\\new.txt";
const std::wstring kB = kSrc + L"\\Mir200\\b.txt";
const std::wstring kSame = kSrc + L"\\Mir200\\same.txt";
const std::wstring kDir = kSrc + L"\\Mir200\\dir.txt";
const std::wstring kBlocked = kSrc + L"\\Mir200\\sub\\blocked.txt";
const std::wstring kGone = kSrc + L"\\Mir200\\gone.txt";
const std::wstring kReadme = kSrc + L"\\readme.txt";

class PreviewTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        for (const std::wstring& file : {kNew, kB, kSame, kDir, kBlocked, kReadme})
            WriteText(file, "new " + fs::path(file).filename().string());
        WriteText(kSrv2 + L"\\Mir200\\b.txt", "old b");
        // A copy keeps the source's size and last-write time.
        CopyFileW(kSame.c_str(), (kSrv2 + L"\\Mir200\\same.txt").c_str(), FALSE);
        fs::create_directories(kSrv2 + L"\\Mir200\\dir.txt");
        WriteText(kSrv2 + L"\\Mir200\\sub", "a file where a folder would be");
    }

    // The window with the seven files listed and the other copies and the source copy
    // itself as version directories; Mir200 mode, backup and skip on.
    void OpenPrepared()
    {
        OpenWindow();
        DropOnFileArea({kNew, kB, kSame, kDir, kBlocked, kGone, kReadme});
        ASSERT_TRUE(Click("but_clear_engine"));
        DropOnEngineList({kSrv2, kS3, kSrc});
        Control<uikit::SRadio>("radio_sync_mir200_file")->SetCheck(true);
        Control<uikit::SCheck>("check_sync_backup")->SetCheck(true);
        Control<uikit::SCheck>("check_skip_same")->SetCheck(true);
    }

    bool Preview()
    {
        return Click("btn_preview") && testsupport::PumpUntil([this] {
                   return FilePage() == 3 && !wnd->FindControl("win_loading")->IsVisible();
               });
    }

    // The rows of lv_plan as "action|source|target".
    Paths PlanRows() const
    {
        Paths rows;
        auto* list = wnd->FindControlAs<uikit::SListCtrl>("lv_plan");
        for (int i = 0; list && i < list->GetItemCount(); ++i)
            rows.push_back(list->GetItemText(i, 0) + L"|" + list->GetItemText(i, 1) + L"|" + list->GetItemText(i, 2));
        return rows;
    }

    std::wstring Summary() const { return Control<uikit::SText>("txt_plan_summary")->GetText(); }
};

std::wstring Row(const std::wstring& action, const std::wstring& source, const std::wstring& target)
{
    return action + L"|" + source + L"|" + target;
}

std::wstring Target(const std::wstring& folder, const std::wstring& source)
{
    return folder + source.substr(kSrc.size());
}

bool Contains(const Paths& lines, const std::wstring& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST_F(PreviewTest, PlanShowsEveryActionAndConfirmWritesExactlyTheNewAndOverwriteRows)
{
    OpenPrepared();
    ASSERT_TRUE(Preview());
    EXPECT_EQ(Summary(), L"共 21 项: 新增 6, 覆盖 1, 相同 1, 不同步 3, 无法写入 2, 无法读取 3");
    const Paths rows = PlanRows();
    ASSERT_EQ(rows.size(), 21u);
    const Paths sources = {kNew, kB, kSame, kDir, kBlocked, kGone, kReadme};
    const Paths srv2 = {L"新增", L"备份后覆盖", L"相同", L"无法写入", L"无法写入", L"无法读取", L"不同步"};
    const Paths s3 = {L"新增", L"新增", L"新增", L"新增", L"新增", L"无法读取", L"不同步"};
    const Paths self = {L"同一文件", L"同一文件", L"同一文件", L"同一文件", L"同一文件", L"无法读取", L"不同步"};
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const bool placed = sources[i] != kReadme;
        EXPECT_EQ(rows[i], Row(srv2[i], sources[i], placed ? Target(kSrv2, sources[i]) : L""));
        EXPECT_EQ(rows[7 + i], Row(s3[i], sources[i], placed ? Target(kS3, sources[i]) : L""));
        EXPECT_EQ(rows[14 + i], Row(self[i], sources[i], placed ? sources[i] : L""));
    }
    Snapshot(wnd->Hwnd(), "mainwnd-preview-page");
    EXPECT_FALSE(fs::exists(kS3 + L"\\Mir200\\new.txt")) << "the plan writes nothing";

    ASSERT_TRUE(Click("but_confirm_sync"));
    ASSERT_TRUE(WaitForRunEnd());
    for (const std::wstring& source : {kNew, kB, kSame, kDir, kBlocked})
        EXPECT_EQ(ReadText(Target(kS3, source)), ReadText(source));
    EXPECT_EQ(ReadText(kSrv2 + L"\\Mir200\\new.txt"), "new new.txt");
    EXPECT_EQ(ReadText(kSrv2 + L"\\Mir200\\b.txt"), "new b.txt");
    Paths backups;
    for (const auto& e : fs::directory_iterator(kSrv2 + L"\\Mir200")) {
        if (e.path().extension() == L".bak")
            backups.push_back(e.path().filename().wstring());
    }
    ASSERT_EQ(backups.size(), 1u) << "b.txt only: the same file is not backed up";
    EXPECT_TRUE(backups[0].starts_with(L"b.txt_"));

    const Paths log = LogLines(false);
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], L"文件同步完成,共同步了 7 个文件!");
    EXPECT_EQ(log.back(), L"相同文件 1 个,已跳过");
    EXPECT_TRUE(Contains(log, L"文件相同,已跳过:" + kSame + L" >> " + Target(kSrv2, kSame)));
    const Paths errors = LogLines(true);
    ASSERT_EQ(errors.size(), 4u);
    EXPECT_EQ(errors.back(), L"未完成的版本目录:" + kSrv2 + L" (失败 2 个)");
    EXPECT_TRUE(Contains(errors, L"获取文件信息失败:" + kGone));
    EXPECT_TRUE(Contains(errors, L"同步文件失败:" + kDir + L" >> " + Target(kSrv2, kDir)));
    EXPECT_TRUE(testsupport::PumpUntil(
        [] { return ReadLogFiles().find(L"相同文件 1 个,已跳过, LINE:419") != std::wstring::npos; }));
    EXPECT_NE(ReadLogFiles().find(L"文件相同,已跳过:" + kSame + L" >> " + Target(kSrv2, kSame) + L", LINE:140"),
              std::wstring::npos);
    const std::string config = ReadText(DataDir() + L"\\syncfile.config");
    EXPECT_NE(config.find("BackUp: true\nSkipSame: true\nVerifyCopy: false"), std::string::npos) << config;
}

TEST_F(PreviewTest, CancelWritesNothingAndChangedChoicesDiscardThePreview)
{
    OpenPrepared();
    Control<uikit::SCheck>("check_sync_backup")->SetCheck(false);
    ASSERT_TRUE(Preview());
    ASSERT_EQ(PlanRows().size(), 21u);
    EXPECT_EQ(PlanRows()[1], Row(L"覆盖", kB, Target(kSrv2, kB)));
    Snapshot(wnd->Hwnd(), "mainwnd-preview-page-without-backup");
    ASSERT_TRUE(Click("but_cancel_preview"));
    EXPECT_EQ(FilePage(), 1);
    EXPECT_TRUE(PlanRows().empty());
    EXPECT_FALSE(fs::exists(kS3 + L"\\Mir200\\new.txt"));
    EXPECT_EQ(ReadText(kSrv2 + L"\\Mir200\\b.txt"), "old b");
    EXPECT_TRUE(LogLines(false).empty());

    // A choice changed under a shown preview sends it away; it cannot be confirmed then.
    for (const char* change : {"check_verify_copy", "chk_engine_all", "radio_sync_level_file"}) {
        ASSERT_TRUE(Preview()) << change;
        ASSERT_TRUE(Click(change)) << change;
        EXPECT_EQ(FilePage(), 1) << change;
        FireCommand("but_confirm_sync");
        EXPECT_EQ(BarPage(), 0) << change;
        EXPECT_TRUE(LogLines(false).empty()) << change;
        Control<uikit::SRadio>("radio_sync_mir200_file")->SetCheck(true);
        Control<uikit::SListCtrl>("lv_engine_folder")->SetAllChecks(true);
    }
    EXPECT_FALSE(fs::exists(kS3 + L"\\Mir200\\new.txt"));
}

TEST_F(PreviewTest, ASourceGoneBetweenPlanAndRunIsReportedAndTheRestIsWritten)
{
    OpenPrepared();
    ASSERT_TRUE(Preview());
    ASSERT_TRUE(fs::remove(kB));
    ASSERT_TRUE(Click("but_confirm_sync"));
    ASSERT_TRUE(WaitForRunEnd());
    EXPECT_TRUE(Contains(LogLines(true), L"获取文件信息失败:" + kB));
    EXPECT_EQ(ReadText(kSrv2 + L"\\Mir200\\b.txt"), "old b");
    EXPECT_FALSE(fs::exists(kS3 + L"\\Mir200\\b.txt"));
    EXPECT_EQ(ReadText(kS3 + L"\\Mir200\\new.txt"), "new new.txt");
    EXPECT_EQ(LogLines(false)[LogLines(false).size() - 2], L"文件同步完成,共同步了 5 个文件!");
}

TEST_F(PreviewTest, RefusedWithTheBusyToastWhileARunOrAScanIsGoing)
{
    OpenPrepared();
    workerHold.HoldAtLine(1);
    ASSERT_TRUE(Click("btn_startsync"));
    ASSERT_TRUE(workerHold.WaitUntilHeld());
    const int toasts = ToastCount();
    FireCommand("btn_preview");
    EXPECT_EQ(ToastCount(), toasts + 1);
    EXPECT_EQ(FilePage(), 2);
    workerHold.Release();
    ASSERT_TRUE(WaitForRunEnd());

    // The loading overlay stands for a scan under way.
    wnd->FindControl("win_loading")->SetVisible(true);
    FireCommand("btn_preview");
    EXPECT_EQ(ToastCount(), toasts + 2);
    EXPECT_EQ(FilePage(), 2);
    wnd->FindControl("win_loading")->SetVisible(false);
}

TEST_F(PreviewTest, APlanLargerThanOneStepFillsTheListCompletely)
{
    const std::wstring bulk = kSrc + L"\\bulk";
    fs::create_directories(bulk);
    for (int i = 0; i < 2600; ++i)
        WriteText(bulk + L"\\f" + std::to_wstring(i) + L".txt", "x");
    OpenWindow();
    DropOnFileArea({bulk});
    ASSERT_TRUE(Click("but_clear_engine"));
    DropOnEngineList({kSrv2, kS3});
    Control<uikit::SRadio>("radio_sync_level_file")->SetCheck(true);
    ASSERT_TRUE(Preview());
    EXPECT_EQ(Summary(), L"共 5200 项: 新增 5200, 覆盖 0, 相同 0, 不同步 0, 无法写入 0, 无法读取 0");
    auto* list = Control<uikit::SListCtrl>("lv_plan");
    ASSERT_TRUE(testsupport::PumpUntil([list] { return list->GetItemCount() == 5200; }));
    EXPECT_EQ(list->GetItemText(5199, 2),
              kS3 + L"\\bulk\\" + fs::path(list->GetItemText(5199, 1)).filename().wstring());
}

}  // namespace
}  // namespace mainwndtest
