#include "tools/demodriver/screenshot_win.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "common/dib32.h"
#include "common/winhandle.h"

namespace demo {
namespace {

constexpr size_t kPixelBytes = 4;  // blue, green, red, unused

}  // namespace

RECT AroundWindows(const HWND* windows, size_t count, int margin)
{
    RECT all{};
    bool any = false;
    for (size_t i = 0; i < count; ++i) {
        RECT r{};
        if (!windows[i] || !GetWindowRect(windows[i], &r))
            continue;
        if (!any)
            all = r;
        else
            UnionRect(&all, &all, &r);
        any = true;
    }
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (!any)
        return screen;
    InflateRect(&all, margin, margin);
    RECT clipped{};
    IntersectRect(&clipped, &all, &screen);
    return clipped;
}

ScreenImage ScreenImage::Capture(const RECT& rect)
{
    ScreenImage image;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return image;
    const WindowDc screen(nullptr);
    const MemoryDc memory(CreateCompatibleDC(screen.Get()));
    const Dib32 dib(width, height, screen.Get());
    if (!screen || !memory || !dib)
        return image;
    {
        const SelectedObject selected(memory.Get(), dib.Get());
        if (!BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), rect.left, rect.top, SRCCOPY | CAPTUREBLT))
            return image;
        GdiFlush();
    }
    image.rect_ = rect;
    image.stride_ = static_cast<uint32_t>(width) * kPixelBytes;
    image.pixels_.assign(dib.Bits(), dib.Bits() + image.stride_ * static_cast<uint32_t>(height));
    return image;
}

bool ScreenImage::DiffersIn(const ScreenImage& other, const RECT& screenRect) const
{
    if (!EqualRect(&rect_, &other.rect_) || pixels_.size() != other.pixels_.size())
        return true;
    RECT part{};
    if (!IntersectRect(&part, &rect_, &screenRect))
        return false;
    for (LONG y = part.top; y < part.bottom; ++y) {
        const size_t row = static_cast<size_t>(y - rect_.top) * stride_;
        const size_t from = row + static_cast<size_t>(part.left - rect_.left) * kPixelBytes;
        const size_t count = static_cast<size_t>(part.right - part.left) * kPixelBytes;
        if (std::memcmp(&pixels_[from], &other.pixels_[from], count) != 0)
            return true;
    }
    return false;
}

bool ScreenImage::UniformIn(const RECT& screenRect) const
{
    RECT part{};
    if (Empty() || !IntersectRect(&part, &rect_, &screenRect))
        return true;
    const uint8_t* first = nullptr;
    for (LONG y = part.top; y < part.bottom; ++y) {
        const size_t row = static_cast<size_t>(y - rect_.top) * stride_;
        for (LONG x = part.left; x < part.right; ++x) {
            const uint8_t* pixel = &pixels_[row + static_cast<size_t>(x - rect_.left) * kPixelBytes];
            if (!first)
                first = pixel;
            else if (std::memcmp(pixel, first, 3) != 0)
                return false;
        }
    }
    return true;
}

bool ScreenImage::SaveBmp(const std::wstring& path) const
{
    if (Empty())
        return false;
    // A 24-bit file, rows bottom-up with each padded to four bytes, as every reader takes it.
    const LONG width = rect_.right - rect_.left;
    const LONG height = rect_.bottom - rect_.top;
    const uint32_t fileStride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    std::vector<uint8_t> rows(static_cast<size_t>(fileStride) * static_cast<uint32_t>(height), 0);
    for (LONG y = 0; y < height; ++y) {
        const uint8_t* from = &pixels_[static_cast<size_t>(y) * stride_];
        uint8_t* to = &rows[static_cast<size_t>(height - 1 - y) * fileStride];
        for (LONG x = 0; x < width; ++x)
            std::memcpy(to + x * 3, from + x * kPixelBytes, 3);
    }
    const uint32_t imageSize = static_cast<uint32_t>(rows.size());
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + imageSize;
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = imageSize;

    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    out.write(reinterpret_cast<const char*>(rows.data()), imageSize);
    return static_cast<bool>(out);
}

}  // namespace demo
