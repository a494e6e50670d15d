#include <gtest/gtest.h>

#include <windows.h>

#include <utility>

#include "common/dib32.h"
#include "common/winhandle.h"

TEST(HandleOwners, KernelHandleIsClosedOnceByItsLastOwner)
{
    DWORD flags = 0;
    HANDLE raw = nullptr;
    {
        KernelHandle first(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        raw = first.Get();
        const KernelHandle second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_TRUE(GetHandleInformation(raw, &flags));
    }
    EXPECT_FALSE(GetHandleInformation(raw, &flags));
}

TEST(HandleOwners, SelectionIsUndoneBeforeTheBitmapIsFreed)
{
    MemoryDc dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    const HGDIOBJ original = GetCurrentObject(dc.Get(), OBJ_BITMAP);
    HBITMAP freed = nullptr;
    {
        const Dib32 dib(4, 2);
        ASSERT_TRUE(dib);
        freed = dib.Get();
        const SelectedObject selected(dc.Get(), dib.Get());
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), dib.Get());
        SetPixelV(dc.Get(), 0, 0, RGB(1, 2, 3));
        GdiFlush();
        // Rows run from the top and pixels are blue, green, red: the top-left pixel
        // comes first.
        const unsigned char* bits = dib.Bits();
        EXPECT_EQ(bits[0], 3);
        EXPECT_EQ(bits[1], 2);
        EXPECT_EQ(bits[2], 1);
        EXPECT_EQ(bits[4 * 4 + 2], 0) << "first pixel of the second row";
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), original);
    // A bitmap still selected could not have been deleted.
    EXPECT_EQ(GetObjectType(freed), 0u);
}
