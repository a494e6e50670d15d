#include "syncfolderapp/settings/settingscodec.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

SettingsFields Parse(const std::string& text, bool expectAccepted = true)
{
    SettingsFields fields;
    fields.openDefaultDir = "left over";
    fields.syncType = 42;
    fields.backUp = true;
    EXPECT_EQ(ParseSettingsText(text, fields), expectAccepted) << text;
    return fields;
}

void ExpectDefaults(const SettingsFields& fields)
{
    EXPECT_EQ(fields.openDefaultDir, "");
    EXPECT_EQ(fields.syncType, 1);
    EXPECT_FALSE(fields.backUp);
}

std::string Nested(int depth, const std::string& open, const std::string& inner, const std::string& close)
{
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += open;
    text += inner;
    for (int i = 0; i < depth; ++i)
        text += close;
    return text;
}

}  // namespace

TEST(SettingsEmit, DefaultsGiveExactlySyncTypeBackUpAndTheSwitches)
{
    EXPECT_EQ(EmitSettingsText(SettingsFields{}), "SyncType: 1\nBackUp: false\nSkipSame: false\nVerifyCopy: false");
}

TEST(SettingsParse, SwitchesAreOffWhenAbsentAndReadWhenPresent)
{
    const SettingsFields old = Parse("SyncType: 0\nBackUp: true\n");
    EXPECT_FALSE(old.skipSame);
    EXPECT_FALSE(old.verifyCopy);
    EXPECT_TRUE(old.backUp);
    const SettingsFields both = Parse("SyncType: 0\nBackUp: false\nSkipSame: true\nVerifyCopy: yes\n");
    EXPECT_TRUE(both.skipSame);
    EXPECT_TRUE(both.verifyCopy);
    EXPECT_EQ(both.syncType, 0);
    // A text with keys this reader does not know keeps the values of the keys it knows.
    const SettingsFields later = Parse("SyncType: 0\nBackUp: true\nSkipSame: true\nNextKey: [1, 2]\n");
    EXPECT_TRUE(later.backUp);
    EXPECT_TRUE(later.skipSame);
}

TEST(SettingsRoundTrip, EmittedTextReadsBackToTheSameValues)
{
    const char* dirs[] = {
        "D:\\游戏\\版本 - 副本", "null", "~", "true", "123", "a: b", "- x", "'quoted'", " lead", "#hash", "C:\\"};
    for (const char* dir : dirs) {
        SettingsFields fields;
        fields.openDefaultDir = dir;
        fields.syncType = -7;
        fields.backUp = true;
        fields.verifyCopy = true;
        const std::string text = EmitSettingsText(fields);
        const SettingsFields back = Parse(text);
        EXPECT_EQ(back.openDefaultDir, dir) << text;
        EXPECT_EQ(back.syncType, -7) << text;
        EXPECT_TRUE(back.backUp) << text;
        EXPECT_FALSE(back.skipSame) << text;
        EXPECT_TRUE(back.verifyCopy) << text;
    }
}

TEST(SettingsScanDrives, WrittenAsAListAfterTheSwitchesReadBackAndAbsentInOldFiles)
{
    SettingsFields fields;
    fields.scanDrives = {"D", "N", "Y"};
    const std::string text = EmitSettingsText(fields);
    EXPECT_EQ(text, "SyncType: 1\nBackUp: false\nSkipSame: false\nVerifyCopy: false\nScanDrives: [D, N, Y]");
    EXPECT_EQ(Parse(text).scanDrives, fields.scanDrives);

    // Files of earlier releases, and lists with entries that are no drive letter.
    EXPECT_TRUE(Parse("SyncType: 0\nBackUp: true\n").scanDrives.empty());
    const std::vector<std::string> letters{"E", "Z"};
    EXPECT_EQ(Parse("ScanDrives: [e, 'Z', E, DD, 3, D:, [F], {G: 1}, ~, \"\"]\nSyncType: 0").scanDrives, letters);
    EXPECT_EQ(Parse("ScanDrives:\n  - E\n  - z\n").scanDrives, letters);
    for (const char* odd : {"ScanDrives: D", "ScanDrives: {D: 1}", "ScanDrives:", "ScanDrives: []"}) {
        const SettingsFields read = Parse(std::string(odd) + "\nBackUp: true");
        EXPECT_TRUE(read.scanDrives.empty()) << odd;
        EXPECT_TRUE(read.backUp) << odd;
    }
}

TEST(SettingsParse, EmptyOrNullDocumentGivesDefaults)
{
    ExpectDefaults(Parse(""));
    ExpectDefaults(Parse("~"));
    ExpectDefaults(Parse("# only a comment\n"));
}

TEST(SettingsParse, ReadsTheThreeKeys)
{
    const SettingsFields fields = Parse("OpenDefaultDir: E:\\srv\nSyncType: 0\nBackUp: true\nOther: 9\n");
    EXPECT_EQ(fields.openDefaultDir, "E:\\srv");
    EXPECT_EQ(fields.syncType, 0);
    EXPECT_TRUE(fields.backUp);
}

TEST(SettingsParse, SyncTypeKeepsAnyIntegerAndFallsBackOtherwise)
{
    EXPECT_EQ(Parse("SyncType: 5").syncType, 5);
    EXPECT_EQ(Parse("SyncType: -3").syncType, -3);
    EXPECT_EQ(Parse("SyncType: 2147483647").syncType, 2147483647);
    EXPECT_EQ(Parse("SyncType: 0\n").syncType, 0);
    for (const char* value : {"0a", "1b", "zero", "", "~", "2147483648", "[0]", "{a: 0}", "0.5"})
        EXPECT_EQ(Parse(std::string("SyncType: ") + value).syncType, 1) << value;
}

TEST(SettingsParse, BackUpAcceptsTheBooleanWordsOnly)
{
    for (const char* value : {"true", "True", "TRUE", "yes", "Yes", "YES", "on", "On", "ON"})
        EXPECT_TRUE(Parse(std::string("SyncType: 0\nBackUp: ") + value).backUp) << value;
    for (const char* value : {"false", "False", "no", "No", "off", "OFF", "maybe", "1", "truex", "", "[true]"})
        EXPECT_FALSE(Parse(std::string("SyncType: 0\nBackUp: ") + value).backUp) << value;
}

TEST(SettingsParse, OpenDefaultDirNullReadsAsTheWordNull)
{
    EXPECT_EQ(Parse("OpenDefaultDir:\nSyncType: 0").openDefaultDir, "null");
    EXPECT_EQ(Parse("OpenDefaultDir: ~").openDefaultDir, "null");
}

TEST(SettingsParse, OpenDefaultDirCollectionsReadAsEmpty)
{
    EXPECT_EQ(Parse("OpenDefaultDir: [a, b]\nSyncType: 0").openDefaultDir, "");
    EXPECT_EQ(Parse("OpenDefaultDir:\n  a: b\nSyncType: 0").openDefaultDir, "");
    EXPECT_EQ(Parse("OpenDefaultDir: ''\nSyncType: 0").openDefaultDir, "");
}

TEST(SettingsParse, OpenDefaultDirBytesArePassedThrough)
{
    EXPECT_EQ(Parse("OpenDefaultDir: D:\\游戏\\服务端").openDefaultDir, "D:\\游戏\\服务端");
    EXPECT_EQ(Parse("OpenDefaultDir: \"D:\\\\a\\tb\"").openDefaultDir, "D:\\a\tb");
}

TEST(SettingsParse, ScalarRootGivesDefaults)
{
    ExpectDefaults(Parse("hello", false));
    ExpectDefaults(Parse("5", false));
}

TEST(SettingsParse, SequenceRootGivesFallbacks)
{
    ExpectDefaults(Parse("- SyncType: 0\n- BackUp: true\n"));
    ExpectDefaults(Parse("[0, 1, 2]"));
}

TEST(SettingsParse, MalformedDocumentGivesDefaultsEvenAfterGoodKeys)
{
    ExpectDefaults(Parse("SyncType: 0\nBackUp: true\nOpenDefaultDir: [x", false));
    ExpectDefaults(Parse("SyncType: 0\nBackUp: true\n  - broken: : [", false));
    ExpectDefaults(Parse("SyncType: \"0", false));
    ExpectDefaults(Parse("SyncType: 0\nSyncType: 0\n{", false));
}

TEST(SettingsParse, DeepNestingIsRefusedWithoutRecursingIntoIt)
{
    ExpectDefaults(Parse(Nested(kMaxSettingsNesting + 1, "[", "0", "]"), false));
    ExpectDefaults(Parse(Nested(200000, "[", "", ""), false));
    ExpectDefaults(Parse(Nested(200000, "{a: ", "0", "}"), false));
    ExpectDefaults(Parse(Nested(100000, "- ", "x", ""), false));

    std::string indented = "SyncType: 0\nx:\n";
    for (int i = 1; i < 2000; ++i)
        indented += std::string(static_cast<size_t>(i), ' ') + "k:\n";
    ExpectDefaults(Parse(indented, false));

    // Shallow nesting is still parsed.
    EXPECT_EQ(Parse("SyncType: 0\nx: " + Nested(10, "[", "1", "]")).syncType, 0);
}

TEST(SettingsParse, NestingBoundStaysSmallForPlausibleFiles)
{
    EXPECT_LE(SettingsNestingBound("SyncType: 1\nBackUp: false"), 8);
    EXPECT_LE(SettingsNestingBound("OpenDefaultDir: \"D:\\Games - Copy\\Server - Old: 2 [x]\"\r\nSyncType: 0\r\n"
                                   "BackUp: yes\r\n"),
              kMaxSettingsNesting);
    EXPECT_GT(SettingsNestingBound(Nested(30, "- ", "x", "")), 30);
}

TEST(SettingsParse, DashesAndIndentedCommentsOpenNoCollection)
{
    const std::string dashes(80, '-');
    std::string spaced;
    for (int i = 0; i < 40; ++i)
        spaced += "- ";
    const std::string text = "# " + dashes + "\n#" + spaced + "\n" + std::string(100, ' ') + "# an indented note\n" +
                             "OpenDefaultDir: D:\\" + dashes + "\n" + "SyncType: 0 # " + spaced + "\n" +
                             "BackUp: true # \"quoted\" - - - -\n";
    const SettingsFields fields = Parse(text);
    EXPECT_EQ(fields.openDefaultDir, "D:\\" + dashes);
    EXPECT_EQ(fields.syncType, 0);
    EXPECT_TRUE(fields.backUp);
    // A # inside quotes starts no comment: the indicators behind it still count.
    EXPECT_GT(SettingsNestingBound("k: \"a # b\" " + spaced), kMaxSettingsNesting);
}

TEST(SettingsParse, HugeTextIsRefused)
{
    std::string text = "SyncType: 0\nBackUp: true\n";
    text += std::string(kMaxSettingsTextSize, '#');
    ExpectDefaults(Parse(text, false));
    // Just below the limit a long comment is fine.
    std::string fits = "SyncType: 0\n#";
    fits += std::string(kMaxSettingsTextSize - fits.size(), 'x');
    EXPECT_EQ(Parse(fits).syncType, 0);
}

TEST(SettingsParse, OddBytesNeverCrashAndKeepGoodKeys)
{
    // Bytes that are no UTF-8 stay as they are in the value; the caller converts them.
    EXPECT_EQ(Parse("OpenDefaultDir: D:\\\xff\xfe\x80x\nSyncType: 0").syncType, 0);
    // A NUL inside a value makes that value unreadable as a number, nothing more.
    const SettingsFields nulInValue = Parse(std::string("BackUp: true\nSyncType: 0\0 7", 27));
    EXPECT_EQ(nulInValue.syncType, 1);
    EXPECT_TRUE(nulInValue.backUp);
    // A NUL between entries breaks the document: all defaults.
    SettingsFields nulBetween;
    nulBetween.syncType = 3;
    ParseSettingsText(std::string("SyncType: 0\n\0BackUp: true", 26), nulBetween);
    ExpectDefaults(nulBetween);
    SettingsFields ignored;
    ParseSettingsText(std::string("\0\0\0\0\xff\xfe\0\0SyncType: 0", 19), ignored);
    ParseSettingsText(std::string("\xef\xbb\xbf\0", 4), ignored);
}
