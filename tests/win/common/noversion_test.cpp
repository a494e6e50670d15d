#include <gtest/gtest.h>

#include "common/appversion.h"

// This test program carries no version resource.
TEST(GetAppVersion, ProgramWithoutVersionInformationYieldsEmpty)
{
    EXPECT_EQ(GetAppVersion(), L"");
}
