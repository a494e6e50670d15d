#include <gtest/gtest.h>

// Windows test programs take a wide command line (-municode).
int wmain(int argc, wchar_t** argv)
{
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
