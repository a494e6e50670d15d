#include "syncfolderapp/settings/yamlconfig.h"

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "common/winhandle.h"
#include "tests/support/files.h"
#include "tests/support/tempdir.h"

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

const char kDefaultsText[] = "SyncType: 1\nBackUp: false\nSkipSame: false\nVerifyCopy: false";

class YamlConfigTest : public ::testing::Test {
protected:
    std::wstring DataDir() const { return temp.wpath(L"datadb"); }
    std::filesystem::path ConfigFile() const { return temp.path() / "datadb" / "syncfile.config"; }

    void WriteConfig(const std::string& text) { WriteFile(ConfigFile(), text); }

    CYamlConfig Loaded()
    {
        CYamlConfig config;
        config.SetConfigDir(DataDir());
        config.Load();
        return config;
    }

    // Holds the file open with no sharing, so nobody else can read, replace or delete it.
    FileHandle LockFile(const std::filesystem::path& file)
    {
        FileHandle handle(CreateFileW(file.wstring().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        EXPECT_TRUE(handle.Valid());
        return handle;
    }

    void ExpectDefaults(const CYamlConfig& config)
    {
        EXPECT_EQ(config.OpenDefaultDir, L"");
        EXPECT_EQ(config.savedOpenDefaultDir, L"");
        EXPECT_EQ(config.SyncType, 1);
        EXPECT_FALSE(config.BackUp);
        EXPECT_FALSE(config.SkipSame);
        EXPECT_FALSE(config.VerifyCopy);
        EXPECT_TRUE(config.ScanDrives.empty());
    }

    TempDir temp;
};

}  // namespace

TEST_F(YamlConfigTest, FirstStart_CreatesDataDirectoryAndDefaultFile)
{
    const CYamlConfig config = Loaded();
    ExpectDefaults(config);
    EXPECT_TRUE(std::filesystem::is_directory(temp.path() / "datadb"));
    EXPECT_EQ(ReadFile(ConfigFile()), kDefaultsText);
    EXPECT_EQ(testsupport::ListNames(temp.path() / "datadb"), std::vector<std::string>{"syncfile.config"});
}

TEST_F(YamlConfigTest, EmptyFile_GivesDefaultsAndStaysEmptyUntilAChange)
{
    WriteConfig("");
    CYamlConfig config = Loaded();
    ExpectDefaults(config);
    EXPECT_EQ(ReadFile(ConfigFile()), "");

    config.UpdateChoices(1, false, false, false);
    EXPECT_EQ(ReadFile(ConfigFile()), "");
    config.UpdateChoices(0, false, false, false);
    EXPECT_EQ(ReadFile(ConfigFile()), "SyncType: 0\nBackUp: false\nSkipSame: false\nVerifyCopy: false");
}

TEST_F(YamlConfigTest, StoredChoices_AreReadAndTheSameChoicesDoNotRewrite)
{
    const std::string handWritten = "SyncType:   0   # by hand\nBackUp: true\n";
    WriteConfig(handWritten);
    CYamlConfig config = Loaded();
    EXPECT_EQ(config.SyncType, 0);
    EXPECT_TRUE(config.BackUp);

    config.UpdateChoices(0, true, false, false);
    EXPECT_EQ(ReadFile(ConfigFile()), handWritten);

    config.UpdateChoices(0, false, false, false);
    EXPECT_EQ(ReadFile(ConfigFile()), "SyncType: 0\nBackUp: false\nSkipSame: false\nVerifyCopy: false");
    EXPECT_FALSE(config.BackUp);
}

TEST_F(YamlConfigTest, SkipAndVerifySwitches_AreSavedAfterBackUpAndReadBack)
{
    // A file of the release before the switches: both off, and written only on a change.
    WriteConfig("SyncType: 0\nBackUp: true\n");
    CYamlConfig config = Loaded();
    EXPECT_FALSE(config.SkipSame);
    EXPECT_FALSE(config.VerifyCopy);

    config.UpdateChoices(0, true, true, false);
    EXPECT_EQ(ReadFile(ConfigFile()), "SyncType: 0\nBackUp: true\nSkipSame: true\nVerifyCopy: false");
    config.UpdateChoices(0, true, true, true);
    EXPECT_EQ(ReadFile(ConfigFile()), "SyncType: 0\nBackUp: true\nSkipSame: true\nVerifyCopy: true");
    const CYamlConfig reloaded = Loaded();
    EXPECT_EQ(reloaded.SyncType, 0);
    EXPECT_TRUE(reloaded.BackUp);
    EXPECT_TRUE(reloaded.SkipSame);
    EXPECT_TRUE(reloaded.VerifyCopy);
}

TEST_F(YamlConfigTest, ScanDrives_AreSavedWhenChangedKeptByRunStartsAndReadBack)
{
    WriteConfig("SyncType: 0\nBackUp: true\n");
    CYamlConfig config = Loaded();
    EXPECT_TRUE(config.ScanDrives.empty());

    config.RememberScanDrives({L"D", L"N"});
    const std::string saved = "SyncType: 0\nBackUp: true\nSkipSame: false\nVerifyCopy: false\nScanDrives: [D, N]";
    EXPECT_EQ(ReadFile(ConfigFile()), saved);
    // The same choice again writes nothing; a run start with other choices keeps the drives.
    WriteConfig("SyncType: 0\nBackUp: true\nScanDrives: [D, N]\n# by hand");
    config.RememberScanDrives({L"D", L"N"});
    EXPECT_EQ(ReadFile(ConfigFile()), "SyncType: 0\nBackUp: true\nScanDrives: [D, N]\n# by hand");
    config.UpdateChoices(1, true, false, false);
    EXPECT_EQ(ReadFile(ConfigFile()),
              "SyncType: 1\nBackUp: true\nSkipSame: false\nVerifyCopy: false\nScanDrives: [D, N]");
    EXPECT_EQ(Loaded().ScanDrives, (std::vector<std::wstring>{L"D", L"N"}));
}

TEST_F(YamlConfigTest, UnknownSyncType_StaysInMemoryUntilTheNextRunStores)
{
    WriteConfig("SyncType: 5\nBackUp: false\nOther: kept?\n");
    CYamlConfig config = Loaded();
    EXPECT_EQ(config.SyncType, 5);

    config.UpdateChoices(1, false, false, false);
    EXPECT_EQ(config.SyncType, 1);
    // Unknown keys are not carried over.
    EXPECT_EQ(ReadFile(ConfigFile()), kDefaultsText);
}

TEST_F(YamlConfigTest, OpenDefaultDirNull_ReadsAsNullAndIsWrittenBackAsSuch)
{
    WriteConfig("OpenDefaultDir:\nSyncType: 1\nBackUp: false\n");
    CYamlConfig config = Loaded();
    EXPECT_EQ(config.OpenDefaultDir, L"null");
    EXPECT_EQ(config.savedOpenDefaultDir, L"null");

    config.UpdateChoices(0, false, false, false);
    const std::string text = ReadFile(ConfigFile());
    EXPECT_EQ(text.rfind("OpenDefaultDir: ", 0), 0u) << text;
    EXPECT_NE(text.find("null"), std::string::npos) << text;
    EXPECT_EQ(Loaded().OpenDefaultDir, L"null");
}

TEST_F(YamlConfigTest, NonAsciiOpenDefaultDir_IsReadAndRewrittenUnchanged)
{
    WriteConfig("OpenDefaultDir: D:\\游戏\\传奇服务端\nSyncType: 1\nBackUp: false\n");
    CYamlConfig config = Loaded();
    EXPECT_EQ(config.OpenDefaultDir, L"D:\\游戏\\传奇服务端");

    config.UpdateChoices(0, true, false, false);
    EXPECT_EQ(ReadFile(ConfigFile()),
              "OpenDefaultDir: D:\\游戏\\传奇服务端\nSyncType: 0\nBackUp: true\nSkipSame: false\nVerifyCopy: false");
}

TEST_F(YamlConfigTest, InvalidUtf8InOpenDefaultDir_IsReplacedNotFatal)
{
    WriteConfig("OpenDefaultDir: D:\\a\xff"
                "b\nSyncType: 0\n");
    const CYamlConfig config = Loaded();
    EXPECT_EQ(config.OpenDefaultDir, L"D:\\a\xfffd"
                                     L"b");
    EXPECT_EQ(config.SyncType, 0);
}

TEST_F(YamlConfigTest, ChangedOpenDefaultDir_IsSavedWithTheNextRun)
{
    CYamlConfig config = Loaded();
    config.OpenDefaultDir = L"E:\\servers";
    config.UpdateChoices(1, false, false, false);
    EXPECT_EQ(config.savedOpenDefaultDir, L"E:\\servers");
    EXPECT_EQ(ReadFile(ConfigFile()),
              "OpenDefaultDir: E:\\servers\nSyncType: 1\nBackUp: false\nSkipSame: false\nVerifyCopy: false");
}

TEST_F(YamlConfigTest, MalformedOrScalarOrSequenceRoot_GiveDefaultsAndKeepTheFile)
{
    for (const std::string& text :
         std::initializer_list<std::string>{"SyncType: 0\nBackUp: true\n{", "just-a-word",
                                            "- SyncType: 0\n- BackUp: true", std::string(100000, '[') + "0",
                                            std::string("SyncType: 0\n\0BackUp: true", 26)}) {
        WriteConfig(text);
        ExpectDefaults(Loaded());
        EXPECT_EQ(ReadFile(ConfigFile()), text);
    }
}

TEST_F(YamlConfigTest, HugeFile_GivesDefaults)
{
    std::string text = "SyncType: 0\nBackUp: true\n#";
    text += std::string(3u << 20, 'x');
    WriteConfig(text);
    ExpectDefaults(Loaded());
    EXPECT_EQ(std::filesystem::file_size(ConfigFile()), text.size());
}

TEST_F(YamlConfigTest, DataDirectoryCannotBeCreated_DefaultsAndNothingWritten)
{
    WriteFile(temp.path() / "blocker", "a file where a directory should be");
    CYamlConfig config;
    config.SetConfigDir(temp.wpath(L"blocker\\datadb"));
    config.Load();
    ExpectDefaults(config);
    config.UpdateChoices(0, true, false, false);
    EXPECT_EQ(config.SyncType, 0);
    EXPECT_EQ(testsupport::ListNames(temp.path()), std::vector<std::string>{"blocker"});
}

TEST_F(YamlConfigTest, ConfigPathIsADirectory_DefaultsAndTheDirectoryStays)
{
    std::filesystem::create_directories(ConfigFile() / "inside");
    CYamlConfig config = Loaded();
    ExpectDefaults(config);
    config.UpdateChoices(0, true, false, false);
    EXPECT_TRUE(std::filesystem::is_directory(ConfigFile() / "inside"));
    EXPECT_EQ(testsupport::ListNames(temp.path() / "datadb"), std::vector<std::string>{"syncfile.config"});
}

TEST_F(YamlConfigTest, UnreadableFile_GivesDefaults)
{
    WriteConfig("SyncType: 0\nBackUp: true\n");
    FileHandle lock = LockFile(ConfigFile());
    ExpectDefaults(Loaded());
}

TEST_F(YamlConfigTest, FileCannotBeReplaced_OldTextStaysAndNoLeftovers)
{
    WriteConfig("SyncType: 0\nBackUp: true\n");
    CYamlConfig config = Loaded();
    {
        FileHandle lock = LockFile(ConfigFile());
        config.UpdateChoices(1, false, false, false);
        EXPECT_EQ(config.SyncType, 1);
        EXPECT_FALSE(config.BackUp);
    }
    EXPECT_EQ(ReadFile(ConfigFile()), "SyncType: 0\nBackUp: true\n");
    EXPECT_EQ(testsupport::ListNames(temp.path() / "datadb"), std::vector<std::string>{"syncfile.config"});

    // The next change goes through once the file is free again.
    config.UpdateChoices(0, false, false, false);
    EXPECT_EQ(ReadFile(ConfigFile()), "SyncType: 0\nBackUp: false\nSkipSame: false\nVerifyCopy: false");
}

TEST_F(YamlConfigTest, Save_ReplacesALeftoverTemporaryFile)
{
    WriteFile(temp.path() / "datadb" / "syncfile.config.tmp", "half a file from a crash");
    CYamlConfig config = Loaded();
    EXPECT_EQ(ReadFile(ConfigFile()), kDefaultsText);
    EXPECT_EQ(testsupport::ListNames(temp.path() / "datadb"), std::vector<std::string>{"syncfile.config"});
}
