#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "common/textutil.h"
#include "tests/support/files.h"
#include "tests/support/tempdir.h"
#include "tools/demodriver/evidence_win.h"
#include "tools/demodriver/strings_win.h"

namespace demo {
namespace {

using testsupport::TempDir;
using testsupport::WriteFile;

TEST(DemoLogFile, MessagesAfterTheOffsetWithoutStampTagOrUnfinishedLine)
{
    TempDir dir;
    const std::string before = ToAnsi(L"[20261209 07:35:58.766] 开始同步文件..., LINE:408\r\n");
    const std::string after =
        ToAnsi(L"[20261209 07:35:58.801] 同步文件成功:D:\\u\\Mir200\\a.txt >> D:\\s\\Mir200\\a.txt, LINE:136\r\n"
               L"[20261209 07:35:58.802] 同步文件失败:D:\\u\\b.txt >> D:\\s\\b.txt, ERROR:5, LINE:139\r\n"
               L"[20261209 07:35:58.900] 文件同步完成,共同步了 1 个文件!, LINE:418\r\n"
               L"[20261209 07:35:58.901] half a li");
    WriteFile(dir.path() / "20261209.log", before + after);

    const std::vector<std::wstring> messages = LogMessagesFrom(dir.wpath(L"20261209.log"), before.size());
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0], L"同步文件成功:D:\\u\\Mir200\\a.txt >> D:\\s\\Mir200\\a.txt");
    EXPECT_EQ(messages[1], L"同步文件失败:D:\\u\\b.txt >> D:\\s\\b.txt, ERROR:5");
    EXPECT_EQ(messages[2], L"文件同步完成,共同步了 1 个文件!");

    EXPECT_EQ(LogMessagesFrom(dir.wpath(L"20261209.log"), 0).size(), 4u);
    EXPECT_TRUE(LogMessagesFrom(dir.wpath(L"20261209.log"), before.size() + after.size() + 1).empty());
    EXPECT_TRUE(LogMessagesFrom(dir.wpath(L"missing.log"), 0).empty());
    EXPECT_EQ(FileSize(dir.wpath(L"20261209.log")), before.size() + after.size());
    EXPECT_EQ(FileSize(dir.wpath(L"missing.log")), 0u);
}

TEST(DemoLogFile, NewestDayLogIgnoresErrorLogsAndRolledFiles)
{
    TempDir dir;
    EXPECT_EQ(NewestDayLog(dir.wpath()), L"");
    WriteFile(dir.path() / "20261208.log", "x");
    WriteFile(dir.path() / "20261209.log", "x");
    WriteFile(dir.path() / "20261210_error.log", "x");
    WriteFile(dir.path() / "20261211.log.1", "x");
    WriteFile(dir.path() / "2026121A.log", "x");
    EXPECT_EQ(NewestDayLog(dir.wpath()), dir.wpath(L"20261209.log"));
}

TEST(DemoCopies, OnlySuccessLinesGiveSourceAndTarget)
{
    const std::vector<CopiedFile> copied = CopiedFiles({
        L"开始同步文件...",
        L"同步文件成功:D:\\更新文件\\a.txt >> E:\\v\\a.txt",
        L"同步文件失败:D:\\b.txt >> E:\\v\\b.txt, ERROR:5",
        L"获取文件信息失败:D:\\c.txt, ERROR:2",
        L"同步文件成功:no arrow here",
    });
    ASSERT_EQ(copied.size(), 1u);
    EXPECT_EQ(copied[0].source, L"D:\\更新文件\\a.txt");
    EXPECT_EQ(copied[0].target, L"E:\\v\\a.txt");
}

TEST(DemoCopies, SameContentComparesBytes)
{
    TempDir dir;
    WriteFile(dir.path() / "a", "one\r\n");
    WriteFile(dir.path() / "b", "one\r\n");
    WriteFile(dir.path() / "c", "one\n");
    EXPECT_TRUE(SameContent(dir.wpath(L"a"), dir.wpath(L"b")));
    EXPECT_FALSE(SameContent(dir.wpath(L"a"), dir.wpath(L"c")));
    EXPECT_FALSE(SameContent(dir.wpath(L"a"), dir.wpath(L"missing")));
}

TEST(DemoCopies, BackupsFromThisRunOnly)
{
    TempDir dir;
    const std::wstring target = dir.wpath(L"Config.ini");
    WriteFile(dir.path() / "Config.ini", "new");
    WriteFile(dir.path() / "Config.ini_261209075707a.bak", "older run");
    WriteFile(dir.path() / "Config.ini_261209075708a.bak", "this run");
    WriteFile(dir.path() / "Config.ini_261209075709a.bak", "this run, a second later");
    WriteFile(dir.path() / "Config.ini_x.bak", "not a stamp");
    WriteFile(dir.path() / "Config.ini.old_261209075708a.bak", "another file's");

    const std::vector<std::wstring> backups = BackupsOf(target, L"261209075708");
    ASSERT_EQ(backups.size(), 2u);
    EXPECT_NE(std::find(backups.begin(), backups.end(), dir.wpath(L"Config.ini_261209075708a.bak")), backups.end());
    EXPECT_NE(std::find(backups.begin(), backups.end(), dir.wpath(L"Config.ini_261209075709a.bak")), backups.end());
    EXPECT_EQ(StampNow().size(), 12u);
}

TEST(DemoStrings, ReadsValuesByElementName)
{
    TempDir dir;
    WriteFile(dir.path() / "strings.xml", ToUtf8(L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                                                 L"<!-- <commented value=\"no\"/> -->\n"
                                                 L"<string>\n"
                                                 L"  <btn_startsync value=\"开始同步\"/>\n"
                                                 L"  <loading\tvalue=\"加载中...\"/>\n"
                                                 L"  <quoted value=\"&quot;a&quot; &amp; &lt;b&gt;\"/>\n"
                                                 L"  <novalue/>\n"
                                                 L"</string>\n"));
    StringTable table;
    ASSERT_TRUE(table.Load(dir.wpath(L"strings.xml")));
    EXPECT_EQ(table.Get(L"btn_startsync"), L"开始同步");
    EXPECT_EQ(table.Get(L"loading"), L"加载中...");
    EXPECT_EQ(table.Get(L"quoted"), L"\"a\" & <b>");
    EXPECT_EQ(table.Get(L"commented"), L"");
    EXPECT_EQ(table.Get(L"novalue"), L"");
    EXPECT_FALSE(table.Load(dir.wpath(L"missing.xml")));
}

}  // namespace
}  // namespace demo
