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
    ASSERT_EQ(ParseJournal(SampleText(), entries), JournalRead::Ok);
    EXPECT_EQ(entries, SampleEntries());

    // A kill while a line was being written leaves any prefix of it: that pair never
    // reached its commit, so the lines before it are all there is to undo.
    const std::wstring complete = SampleText();
    const std::size_t lastStart = complete.rfind(L'\n', complete.size() - 2) + 1;
    for (std::size_t cut = lastStart; cut < complete.size(); ++cut) {
        ASSERT_EQ(ParseJournal(complete.substr(0, cut), entries), JournalRead::Ok) << cut;
        EXPECT_EQ(entries.size(), 2u) << cut;
    }
    // Cut inside the header (the kill came before the first line was whole): nothing.
    for (std::size_t cut : {0u, 1u, 19u}) {
        ASSERT_EQ(ParseJournal(complete.substr(0, cut), entries), JournalRead::Ok) << cut;
        EXPECT_TRUE(entries.empty());
    }
}

TEST(JournalFormat, AnyOtherDamageRefusesTheWholeJournal)
{
    const std::wstring good = SampleText();
    const std::size_t secondLine = good.find(L'\n', good.find(L'\n') + 1) + 1;
    std::vector<std::wstring> damaged;
    // A changed character in every complete line but the header's.
    for (std::size_t at = good.find(L'\n') + 1; at < good.size(); at += 7) {
        std::wstring text = good;
        if (text[at] == L'\n')
            continue;
        text[at] = text[at] == L'x' ? L'y' : L'x';
        damaged.push_back(text);
    }
    damaged.push_back(L"syncfolder journal 2\n" + good.substr(good.find(L'\n') + 1));
    damaged.push_back(L"garbage");
    damaged.push_back(good.substr(0, secondLine - 5) + L"\n" + good.substr(secondLine));  // a line lost its end
    damaged.push_back(good.substr(0, secondLine) + L"\n" + good.substr(secondLine));      // an empty line
    for (const std::wstring& text : damaged) {
        std::vector<JournalEntry> entries(1);
        EXPECT_EQ(ParseJournal(text, entries), JournalRead::Damaged) << testing::PrintToString(text);
        EXPECT_TRUE(entries.empty());
    }

    // A line whose fields disagree is refused even with a right checksum.
    JournalEntry noName = SampleEntries()[1];
    noName.backupPath.clear();
    std::vector<JournalEntry> entries;
    EXPECT_EQ(ParseJournal(std::wstring(kJournalHeader) + L"\n" + FormatJournalLine(noName), entries),
              JournalRead::Damaged);
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
    EXPECT_EQ(JournalsToRemove(names),
              (std::vector<std::wstring>{JournalFileName(1000), UndoneName(JournalFileName(2000)),
                                         JournalFileName(3000)}));
    // The newest run is undone: the button moves on to the one before it.
    names.push_back(UndoneName(JournalFileName(99000)));
    EXPECT_EQ(NewestOpenJournal(names), JournalFileName(53000));
    EXPECT_EQ(NewestOpenJournal({UndoneName(JournalFileName(1)), L"x.journal"}), L"");
}

}  // namespace
