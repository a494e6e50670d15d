#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "logengine/logtime.h"
#include "tests/unit/logengine/workdir.h"

using namespace FNLog;

namespace {

std::string Stamp(int64_t sec, int ms)
{
    char buffer[kTimePrefixLength + 1] = {};
    int n = FormatTimePrefix(sec, ms, buffer);
    return std::string(buffer, static_cast<size_t>(n));
}

}  // namespace

TEST(TimePrefix, StampsAcrossMidnightCarryTheirOwnDays)
{
    int64_t before = logtest::LocalSeconds(2025, 12, 19, 23, 59, 59);
    int64_t after = logtest::LocalSeconds(2025, 12, 20, 0, 0, 0);
    EXPECT_EQ(Stamp(before, 999), "[20251219 23:59:59.999]");
    EXPECT_EQ(Stamp(after, 0), "[20251220 00:00:00.000]");
    // Going back in time on the same thread refreshes the cached day as well.
    EXPECT_EQ(Stamp(before, 1), "[20251219 23:59:59.001]");
}

TEST(TimePrefix, FieldsAndMilliseconds)
{
    EXPECT_EQ(Stamp(logtest::LocalSeconds(2026, 1, 2, 3, 4, 5), 67), "[20260102 03:04:05.067]");
    EXPECT_EQ(Stamp(logtest::LocalSeconds(2026, 1, 2, 13, 59, 0), 1234), "[20260102 13:59:00.999]");
    EXPECT_EQ(Stamp(logtest::LocalSeconds(2026, 2, 28, 23, 0, 0), 5), "[20260228 23:00:00.005]");
    EXPECT_EQ(Stamp(logtest::LocalSeconds(2026, 3, 1, 0, 59, 59), 5), "[20260301 00:59:59.005]");
}

TEST(TimePrefix, EachThreadKeepsItsOwnCache)
{
    int64_t a = logtest::LocalSeconds(2025, 6, 1, 10, 0, 0);
    int64_t b = logtest::LocalSeconds(2031, 7, 9, 22, 30, 15);
    EXPECT_EQ(Stamp(a, 0), "[20250601 10:00:00.000]");
    std::string other;
    std::thread([&] { other = Stamp(b, 250); }).join();
    EXPECT_EQ(other, "[20310709 22:30:15.250]");
    EXPECT_EQ(Stamp(a + 61, 0), "[20250601 10:01:01.000]");
}
