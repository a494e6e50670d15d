// Reports from several threads at once, as the lanes of a run send them; natively under
// ThreadSanitizer, with the driver and the engine compiled in the same way.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <thread>
#include <vector>

#include "logengine/defaultconfig.h"
#include "logengine/logger.h"
#include "syncfolderapp/logdriver.h"
#include "tests/support/files.h"
#include "tests/unit/logengine/workdir.h"

namespace {

TEST(LogDriverThreads, ReportsFromManyThreadsAtOnceEachLandWholeAndInTheirThreadsOrder)
{
    logtest::WorkDir dir;
    FNLog::Logger logger;
    ASSERT_EQ(logger.ParseAndStartLogger(FNLog::DefaultConfigText()), FNLog::E_SUCCESS);
    CLogDriver driver(logger);
    constexpr int kThreads = 6;
    constexpr int kReports = 300;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&driver, t] {
            // Lengths that differ from report to report grow and reuse the shared buffer.
            for (int n = 0; n < kReports; ++n) {
                const std::wstring text =
                    L"t" + std::to_wstring(t) + L" " +
                    std::wstring(static_cast<std::size_t>(1 + (n * 37 + t) % 700), static_cast<wchar_t>(L'a' + t));
                if (n % 5 == 0)
                    driver.PushLog(text, static_cast<std::uint32_t>(t), static_cast<std::uint32_t>(n));
                else
                    driver.PushLog(text, static_cast<std::uint32_t>(n));
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    ASSERT_EQ(logger.StopLogger(), FNLog::E_SUCCESS);

    const std::vector<std::string> names = testsupport::ListNames("datadb/log");
    std::string full;
    for (const std::string& name : names) {
        if (name.find("_error") == std::string::npos)
            full = "datadb/log/" + name;
    }
    ASSERT_FALSE(full.empty());
    std::map<int, int> next;
    for (const std::string& line : testsupport::ReadLines(full)) {
        const std::string body = line.substr(24);
        const int t = body[1] - '0';
        const std::size_t blank = body.find(' ');
        const std::size_t comma = body.find(", ");
        ASSERT_NE(comma, std::string::npos) << line;
        const int n = next[t]++;
        const std::string text(static_cast<std::size_t>(1 + (n * 37 + t) % 700), static_cast<char>('a' + t));
        EXPECT_EQ(body.substr(blank + 1, comma - blank - 1), text) << "thread " << t << " report " << n;
        const std::string tail =
            n % 5 == 0 ? ", ERROR:" + std::to_string(t) + ", LINE:" + std::to_string(n) : ", LINE:" + std::to_string(n);
        EXPECT_EQ(body.substr(comma), tail) << "thread " << t << " report " << n;
    }
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(next[t], kReports) << "thread " << t;
}

}  // namespace
