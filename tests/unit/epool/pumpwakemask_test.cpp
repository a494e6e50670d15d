#include "epool/pumpwakemask.h"

#include <gtest/gtest.h>

namespace {

using epool::PumpWakeMaskFor;

TEST(PumpWakeMask, WindowsSevenGetsOnlyTheBitsItKnowsLaterSystemsAlsoTouchAndPointer)
{
    EXPECT_EQ(PumpWakeMaskFor(6, 1), 0x04FFu);   // Windows 7, Server 2008 R2
    EXPECT_EQ(PumpWakeMaskFor(6, 2), 0x1CFFu);   // Windows 8, Server 2012
    EXPECT_EQ(PumpWakeMaskFor(6, 3), 0x1CFFu);   // Windows 8.1, Server 2012 R2
    EXPECT_EQ(PumpWakeMaskFor(10, 0), 0x1CFFu);  // Windows 10 and 11, Server 2016 and later
    EXPECT_EQ(PumpWakeMaskFor(0, 0), 0x04FFu);   // a version that could not be read
}

}  // namespace
