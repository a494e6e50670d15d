#pragma once

#include <string>

namespace testsupport {

// True when the test program runs under Wine rather than on Windows.
bool RunningUnderWine();

// The Linux folder behind a drive letter that the test runner mapped for this program
// (SF_DRIVES), or an empty string.
std::wstring MappedDriveRoot(wchar_t letter);

}  // namespace testsupport

// Skips the current test under Wine with a one-line reason: for behaviour that Wine does
// not reproduce (the test then never asserts the Wine-specific result).
#define SF_SKIP_UNDER_WINE(reason)                                                                                     \
    do {                                                                                                               \
        if (::testsupport::RunningUnderWine())                                                                         \
            GTEST_SKIP() << "Wine differs here: " << reason;                                                           \
    } while (0)
