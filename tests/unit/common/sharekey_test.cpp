#include <gtest/gtest.h>

#include "common/sharekey.h"

TEST(ShareKey, SpellingsOfOneShareGiveOneKeyAndLocalPathsNone)
{
    const std::wstring key = L"\\\\HOST\\SHARE";
    EXPECT_EQ(UncShareKey(L"\\\\host\\share\\games\\srv3"), key);
    EXPECT_EQ(UncShareKey(L"\\\\Host\\Share"), key);
    EXPECT_EQ(UncShareKey(L"\\\\host\\share\\"), key);
    EXPECT_EQ(UncShareKey(L"//host/share/x"), key);
    EXPECT_EQ(UncShareKey(L"\\\\?\\UNC\\host\\share\\games"), key);
    EXPECT_EQ(UncShareKey(L"\\\\?\\unc\\HOST\\SHARE"), key);
    EXPECT_EQ(UncShareKey(L"\\\\服务器\\版本\\a"), L"\\\\服务器\\版本");

    for (const wchar_t* none : {L"D:\\games\\srv1", L"\\\\host", L"\\\\host\\", L"\\\\\\share", L"\\\\?\\D:\\a",
                                L"\\\\.\\pipe\\x", L"\\dir\\file", L"", L"\\\\"})
        EXPECT_EQ(UncShareKey(none), L"") << testing::PrintToString(std::wstring(none));
}

TEST(ShareKey, DriveRootsAndProbeRoots)
{
    EXPECT_EQ(DriveRootOf(L"z:\\games\\srv1"), L"Z:\\");
    EXPECT_EQ(DriveRootOf(L"Z:"), L"Z:\\");
    EXPECT_EQ(DriveRootOf(L"\\\\?\\n:\\very\\long"), L"N:\\");
    for (const wchar_t* none : {L"\\\\host\\share", L"1:\\x", L"games\\x", L"Z", L""})
        EXPECT_EQ(DriveRootOf(none), L"") << testing::PrintToString(std::wstring(none));

    EXPECT_EQ(ShareRoot(L"\\\\HOST\\SHARE"), L"\\\\HOST\\SHARE\\");
    EXPECT_EQ(ShareRoot(L"Z:\\"), L"Z:\\");
    EXPECT_EQ(ShareRoot(L""), L"");
}
