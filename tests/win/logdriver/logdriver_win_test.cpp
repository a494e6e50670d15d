#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "logengine/defaultconfig.h"
#include "logengine/logger.h"
#include "syncfolderapp/logdriver.h"
#include "tests/support/files.h"
#include "tests/unit/logengine/workdir.h"

namespace {

FNLog::LogTime FixedNow()
{
    return FNLog::LogTime{logtest::LocalSeconds(2025, 12, 19, 23, 5, 0), 0};
}

std::string ReadWin32(const wchar_t* path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string content(1 << 16, '\0');
    DWORD read = 0;
    BOOL ok = ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &read, nullptr);
    CloseHandle(file);
    content.resize(ok ? read : 0);
    return content;
}

}  // namespace

TEST(LogDriverWin, ChineseTextIsWrittenInTheAnsiCodePage)
{
    if (GetACP() != 936)
        GTEST_SKIP() << "needs the Chinese ANSI code page 936, found " << GetACP();
    logtest::WorkDir dir;
    FNLog::Logger logger;
    logger.SetClock(&FixedNow);
    ASSERT_EQ(logger.ParseAndStartLogger(FNLog::DefaultConfigText()), FNLog::E_SUCCESS);
    CLogDriver driver(logger);
    driver.PushLog(L"同步文件成功:a >> b", 136);
    driver.PushLog(L"同步文件失败:\u0E01", 5, 139);
    ASSERT_EQ(logger.StopLogger(), FNLog::E_SUCCESS);

    const std::string stamp = "[20251219 23:05:00.000] ";
    const std::string ok = "\xCD\xAC\xB2\xBD\xCE\xC4\xBC\xFE\xB3\xC9\xB9\xA6:a >> b, LINE:136\r\n";
    const std::string failed = "\xCD\xAC\xB2\xBD\xCE\xC4\xBC\xFE\xCA\xA7\xB0\xDC:?, ERROR:5, LINE:139\r\n";
    EXPECT_EQ(ReadWin32(L"datadb\\log\\20251219.log"), stamp + ok + stamp + failed);
    EXPECT_EQ(ReadWin32(L"datadb\\log\\20251219_error.log"), stamp + failed);
}

TEST(LogDriverWin, ConversionGrowsTheBufferToTheNeededLength)
{
    if (GetACP() != 936)
        GTEST_SKIP() << "needs the Chinese ANSI code page 936, found " << GetACP();
    std::vector<char> buffer;
    std::wstring text(3000, L'文');
    ASSERT_EQ(ConvertLogText(text, buffer), 6000);
    EXPECT_GE(buffer.size(), 6000u);
    EXPECT_EQ(buffer[5998], '\xCE');
    EXPECT_EQ(buffer[5999], '\xC4');
    EXPECT_EQ(ConvertLogText(L"", buffer), 0);
}
