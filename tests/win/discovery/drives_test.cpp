#include "common/drives.h"

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include "tests/support/wine.h"

namespace {

bool IsDriveLetter(const std::wstring& letter)
{
    return letter.size() == 1 && letter[0] >= L'A' && letter[0] <= L'Z';
}

}  // namespace

TEST(GetFixedDrives, ListsFixedDisksAsSortedUpperCaseLetters)
{
    const std::vector<std::wstring> drives = GetFixedDrives();
    ASSERT_FALSE(drives.empty());
    EXPECT_TRUE(std::all_of(drives.begin(), drives.end(), IsDriveLetter));
    EXPECT_TRUE(std::is_sorted(drives.begin(), drives.end()));
    EXPECT_EQ(std::adjacent_find(drives.begin(), drives.end()), drives.end());
    for (const std::wstring& letter : drives)
        EXPECT_EQ(GetDriveTypeW((letter + L":\\").c_str()), static_cast<UINT>(DRIVE_FIXED)) << letter;
}

TEST(GetFixedDrives, IncludesTheTestDisks)
{
    const std::vector<std::wstring> drives = GetFixedDrives();
    EXPECT_NE(std::find(drives.begin(), drives.end(), L"D"), drives.end());
    EXPECT_NE(std::find(drives.begin(), drives.end(), L"E"), drives.end());
}

TEST(GetSystemDrive, IsOneOfTheFixedDisks)
{
    const std::wstring system = GetSystemDrive();
    ASSERT_TRUE(IsDriveLetter(system)) << system;
    const std::vector<std::wstring> drives = GetFixedDrives();
    EXPECT_NE(std::find(drives.begin(), drives.end(), system), drives.end());
}

namespace {

// Wine's mount manager request that defines (or, without a mount point, removes) a drive
// letter backed by a Linux folder, with the drive type the system then reports for it.
struct UnixDriveRequest {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};
constexpr DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

bool DefineUnixDrive(wchar_t letter, UINT type, const std::string& unixFolder)
{
    std::vector<char> buffer(sizeof(UnixDriveRequest) + unixFolder.size() + 1, 0);
    auto* request = reinterpret_cast<UnixDriveRequest*>(buffer.data());
    request->size = static_cast<ULONG>(buffer.size());
    request->type = unixFolder.empty() ? DRIVE_NO_ROOT_DIR : type;
    request->letter = static_cast<WCHAR>(std::towlower(letter));
    if (!unixFolder.empty()) {
        request->mountPointOffset = sizeof(UnixDriveRequest);
        unixFolder.copy(buffer.data() + sizeof(UnixDriveRequest), unixFolder.size());
    }
    HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (manager == INVALID_HANDLE_VALUE)
        return false;
    DWORD returned = 0;
    const BOOL ok = DeviceIoControl(manager, kDefineUnixDrive, buffer.data(), static_cast<DWORD>(buffer.size()),
                                    nullptr, 0, &returned, nullptr);
    CloseHandle(manager);
    return ok != FALSE;
}

// The Linux path of a Windows path, as Wine sees it.
std::string UnixPathOf(const std::wstring& path)
{
    using UnixName = char*(CDECL*)(const WCHAR*);
    const auto toUnix = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return {};
    char* name = toUnix(path.c_str());
    if (!name)
        return {};
    std::string text = name;
    HeapFree(GetProcessHeap(), 0, name);
    return text;
}

// Letters no drive uses yet, from the end of the alphabet.
std::vector<wchar_t> FreeLetters(size_t count)
{
    std::vector<wchar_t> letters;
    const DWORD used = GetLogicalDrives();
    for (int i = 25; i >= 3 && letters.size() < count; --i) {
        if ((used & (1u << i)) == 0)
            letters.push_back(static_cast<wchar_t>(L'A' + i));
    }
    return letters;
}

// A network share and a removable stick, both backed by folders of the test disk D:.
class OtherDriveTypes : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!testsupport::RunningUnderWine())
            GTEST_SKIP() << "needs Wine's mount manager to attach drives of other types";
        const std::vector<wchar_t> letters = FreeLetters(2);
        ASSERT_EQ(letters.size(), 2u);
        network_ = letters[0];
        removable_ = letters[1];
        CreateDirectoryW(L"D:\\share", nullptr);
        CreateDirectoryW(L"D:\\stick", nullptr);
        const std::string share = UnixPathOf(L"D:\\share");
        const std::string stick = UnixPathOf(L"D:\\stick");
        ASSERT_FALSE(share.empty());
        ASSERT_TRUE(DefineUnixDrive(network_, DRIVE_REMOTE, share));
        defined_.push_back(network_);
        ASSERT_TRUE(DefineUnixDrive(removable_, DRIVE_REMOVABLE, stick));
        defined_.push_back(removable_);
    }
    void TearDown() override
    {
        for (wchar_t letter : defined_)
            DefineUnixDrive(letter, DRIVE_NO_ROOT_DIR, {});
        RemoveDirectoryW(L"D:\\share");
        RemoveDirectoryW(L"D:\\stick");
    }

    static std::wstring Root(wchar_t letter) { return {letter, L':', L'\\'}; }

    wchar_t network_ = 0;
    wchar_t removable_ = 0;
    std::vector<wchar_t> defined_;
};

}  // namespace

TEST_F(OtherDriveTypes, NetworkAndRemovableDrivesAreLeftOut)
{
    // The system must see them as such, or the test would prove nothing.
    ASSERT_EQ(GetDriveTypeW(Root(network_).c_str()), static_cast<UINT>(DRIVE_REMOTE));
    ASSERT_EQ(GetDriveTypeW(Root(removable_).c_str()), static_cast<UINT>(DRIVE_REMOVABLE));
    ASSERT_NE(GetFileAttributesW(Root(network_).c_str()), INVALID_FILE_ATTRIBUTES);

    const std::vector<std::wstring> drives = GetFixedDrives();
    EXPECT_EQ(std::find(drives.begin(), drives.end(), std::wstring(1, network_)), drives.end());
    EXPECT_EQ(std::find(drives.begin(), drives.end(), std::wstring(1, removable_)), drives.end());
    EXPECT_NE(std::find(drives.begin(), drives.end(), L"D"), drives.end());
    EXPECT_NE(std::find(drives.begin(), drives.end(), L"E"), drives.end());
}
