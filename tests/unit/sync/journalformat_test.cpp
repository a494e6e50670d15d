#include "syncfolderapp/sync/journalformat.h"

#include <gtest/gtest.h>

namespace {

std::vector<JournalEntry> SampleEntries()
{
    JournalEntry created;
    created.target = L"D:\\游戏\\srv1\\Mir200\\新\\a.txt";
    created.written = {true, 12, 133456789012345678ull};
    created.createdDirs = {L"D:\\游戏\\srv1\\Mir200\\新\\深", L"D:\\游戏\\srv1\\Mir200\\新"};
    JournalEntry backedUp;
    backedUp.target = L"D:\\g\\b.txt";
    backedUp.before = BeforeRun::Backup;
    backedUp.backupPath = L"D:\\g\\b.txt_251219143005a_2.bak";
    backedUp.old = {true, 0, 5};
    backedUp.written = {true, 18446744073709551615ull, 7};
    JournalEntry overwritten;
    overwritten.target = L"\\\\?\\D:\\long\\c d.txt";
    overwritten.before = BeforeRun::NoBackup;
    overwritten.old = {true, 3, 4};
    overwritten.written = {true, 5, 6};
    return {created, backedUp, overwritten};
}

std::wstring SampleText()
{
    std::wstring text = std::wstring(kJournalHeader) + L"\n";
    for (const JournalEntry& entry : SampleEntries())
        text += FormatJournalLine(entry);
    return text;
}

TEST(JournalFormat, EntriesComeBackAsWrittenAndACutOffLastLineIsLeftOut)
{
    std::vector<JournalEntry> entries;
    std::size_t damaged = 9;
    ASSERT_EQ(ParseJournal(SampleText(), entries, damaged), JournalRead::Ok);
    EXPECT_EQ(entries, SampleEntries());
    EXPECT_EQ(damaged, 0u);

    // A kill while a line was being written leaves any prefix of it: that pair never
    // reached its commit, so the lines before it are all there is to undo.
    const std::wstring complete = SampleText();
    const std::size_t lastStart = complete.rfind(L'\n', complete.size() - 2) + 1;
    for (std::size_t cut = lastStart; cut < complete.size(); ++cut) {
        ASSERT_EQ(ParseJournal(complete.substr(0, cut), entries, damaged), JournalRead::Ok) << cut;
        EXPECT_EQ(entries.size(), 2u) << cut;
        EXPECT_EQ(damaged, 0u) << cut;
    }
    // Cut inside the header (the kill came before the first line was whole): nothing.
    for (std::size_t cut : {0u, 1u, 19u}) {
        ASSERT_EQ(ParseJournal(complete.substr(0, cut), entries, damaged), JournalRead::Ok) << cut;
        EXPECT_TRUE(entries.empty());
    }
}

TEST(JournalFormat, ADamagedLineCostsOnlyItsOwnPairAndAWrongHeaderTheWholeJournal)
{
    const std::wstring good = SampleText();
    const std::size_t firstLine = good.find(L'\n') + 1;
    const std::size_t secondLine = good.find(L'\n', firstLine) + 1;
    const std::vector<JournalEntry> all = SampleEntries();
    struct Case {
        std::wstring text;
        std::vector<JournalEntry> kept;
    };
    std::vector<Case> cases;
    // A changed character anywhere in a complete line: that line is left out.
    for (std::size_t at = firstLine; at < good.size(); at += 7) {
        std::wstring text = good;
        if (text[at] == L'\n')
            continue;
        text[at] = text[at] == L'x' ? L'y' : L'x';
        std::vector<JournalEntry> kept = all;
        kept.erase(kept.begin() + (at < secondLine ? 0 : at < good.find(L'\n', secondLine) ? 1 : 2));
        cases.push_back({text, kept});
    }
    // A line cut short, a line that lost its line end and swallows the next one, and an
    // empty line: each one damaged line.
    cases.push_back({good.substr(0, secondLine - 5) + L"\n" + good.substr(secondLine), {all[1], all[2]}});
    cases.push_back({good.substr(0, secondLine - 1) + good.substr(secondLine), {all[2]}});
    cases.push_back({good.substr(0, secondLine) + L"\n" + good.substr(secondLine), all});
    // A line whose fields disagree is left out even with a right checksum.
    JournalEntry noName = all[1];
    noName.backupPath.clear();
    cases.push_back({good + FormatJournalLine(noName), all});
    for (const Case& c : cases) {
        std::vector<JournalEntry> entries;
        std::size_t damaged = 0;
        EXPECT_EQ(ParseJournal(c.text, entries, damaged), JournalRead::Ok) << testing::PrintToString(c.text);
        EXPECT_EQ(entries, c.kept) << testing::PrintToString(c.text);
        EXPECT_EQ(damaged, 1u) << testing::PrintToString(c.text);
    }

    for (const std::wstring& text : {L"syncfolder journal 2\n" + good.substr(firstLine), std::wstring(L"garbage")}) {
        std::vector<JournalEntry> entries(1);
        std::size_t damaged = 0;
        EXPECT_EQ(ParseJournal(text, entries, damaged), JournalRead::Damaged) << testing::PrintToString(text);
        EXPECT_TRUE(entries.empty());
    }
}

TEST(JournalFormat, EveryEntryTheWriterCanHandOverReadsBack)
{
    // The writer's view at a commit: the target read once (missing, or a file), a backup
    // name or none, the new file, and any created directories; names of any characters a
    // file name may hold, numbers at their limits.
    const std::vector<std::wstring> targets = {L"D:\\a.txt", L"\\\\?\\UNC\\srv\\共享\\空 格\\b.dll",
                                               L"E:\\\U0001F600 #%;,.txt"};
    const std::vector<FileStamp> olds = {{}, {true, 0, 0}, {true, UINT64_MAX, UINT64_MAX}};
    const std::vector<std::wstring> backups = {L"", L"D:\\a.txt_251219143005a_10000.bak"};
    const std::vector<std::vector<std::wstring>> dirs = {{}, {L"D:\\新\\深", L"D:\\新"}};
    for (const std::wstring& target : targets) {
        for (const FileStamp& old : olds) {
            for (const std::wstring& backup : backups) {
                for (const std::vector<std::wstring>& created : dirs) {
                    const JournalEntry entry = CommitEntry(target, old, backup, {true, 7, 8}, created);
                    std::vector<JournalEntry> entries;
                    std::size_t damaged = 0;
                    const std::wstring text = std::wstring(kJournalHeader) + L"\n" + FormatJournalLine(entry);
                    ASSERT_EQ(ParseJournal(text, entries, damaged), JournalRead::Ok);
                    EXPECT_EQ(damaged, 0u) << testing::PrintToString(text);
                    EXPECT_EQ(entries, std::vector<JournalEntry>{entry}) << testing::PrintToString(text);
                }
            }
        }
    }
}

TEST(JournalFormat, NamesOrderTheRunsAndOnlyTheNewestFiftyAreKept)
{
    std::vector<std::wstring> names;
    for (std::uint64_t n = 1; n <= 53; ++n)
        names.push_back(n % 2 ? JournalFileName(n * 1000) : UndoneName(JournalFileName(n * 1000)));
    names.push_back(L"notes.txt");
    names.push_back(L"1.journal");
    EXPECT_EQ(JournalFileName(42), L"00000000000000000042.journal");
    EXPECT_EQ(UndoneName(JournalFileName(42)), L"00000000000000000042.undone");
    EXPECT_EQ(DamagedName(JournalFileName(42)), L"00000000000000000042.damaged");
    // A set-aside journal counts among the fifty; numbers past 64 bits make no journal name.
    names.push_back(DamagedName(JournalFileName(1500)));
    names.push_back(L"99999999999999999999.journal");
    names.push_back(L"18446744073709551615.journal");
    std::uint64_t number = 0;
    EXPECT_FALSE(JournalNumber(L"18446744073709551616.undone", number));
    EXPECT_TRUE(JournalNumber(L"18446744073709551614.damaged", number));
    EXPECT_EQ(number, 18446744073709551614ull);
    EXPECT_EQ(JournalsToRemove(names),
              (std::vector<std::wstring>{JournalFileName(1000), DamagedName(JournalFileName(1500)),
                                         UndoneName(JournalFileName(2000)), JournalFileName(3000)}));
    // The newest run is undone: the button moves on to the one before it.
    names.push_back(UndoneName(JournalFileName(99000)));
    EXPECT_EQ(NewestOpenJournal(names), JournalFileName(53000));
    EXPECT_EQ(NewestOpenJournal({UndoneName(JournalFileName(1)), L"x.journal"}), L"");
}

}  // namespace
