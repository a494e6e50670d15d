#include "tools/demodriver/screenshot_win.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace demo {
namespace {

// The screen's device context, released with the window it belongs to.
class ScreenDc {
public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ~ScreenDc()
    {
        if (dc_)
            ReleaseDC(nullptr, dc_);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

class MemoryDc {
public:
    explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
    ~MemoryDc()
    {
        if (dc_)
            DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

// A DIB section selected into a memory DC for its lifetime; the old bitmap is put back
// before the section is deleted.
class SelectedDib {
public:
    SelectedDib(HDC dc, int width, int height) : dc_(dc)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;  // bottom-up, as a BMP file stores its rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        bitmap_ = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        if (bitmap_)
            old_ = SelectObject(dc, bitmap_);
    }
    ~SelectedDib()
    {
        if (old_)
            SelectObject(dc_, old_);
        if (bitmap_)
            DeleteObject(bitmap_);
    }
    SelectedDib(const SelectedDib&) = delete;
    SelectedDib& operator=(const SelectedDib&) = delete;
    bool Ok() const { return bitmap_ && bits_; }
    const void* Bits() const { return bits_; }

private:
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

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
    ScreenDc screen;
    if (!screen.Get())
        return image;
    MemoryDc memory(screen.Get());
    if (!memory.Get())
        return image;
    SelectedDib dib(memory.Get(), width, height);
    if (!dib.Ok())
        return image;
    if (!BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), rect.left, rect.top, SRCCOPY | CAPTUREBLT))
        return image;
    GdiFlush();
    image.rect_ = rect;
    image.stride_ = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const auto* bits = static_cast<const uint8_t*>(dib.Bits());
    image.pixels_.assign(bits, bits + image.stride_ * static_cast<uint32_t>(height));
    return image;
}

bool ScreenImage::DiffersIn(const ScreenImage& other, const RECT& screenRect) const
{
    if (!EqualRect(&rect_, &other.rect_) || pixels_.size() != other.pixels_.size())
        return true;
    RECT part{};
    if (!IntersectRect(&part, &rect_, &screenRect))
        return false;
    const LONG height = rect_.bottom - rect_.top;
    for (LONG y = part.top; y < part.bottom; ++y) {
        // Rows are stored bottom-up.
        const size_t row = static_cast<size_t>(height - 1 - (y - rect_.top)) * stride_;
        const size_t from = row + static_cast<size_t>(part.left - rect_.left) * 3;
        const size_t count = static_cast<size_t>(part.right - part.left) * 3;
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
    const LONG height = rect_.bottom - rect_.top;
    const uint8_t* first = nullptr;
    for (LONG y = part.top; y < part.bottom; ++y) {
        const size_t row = static_cast<size_t>(height - 1 - (y - rect_.top)) * stride_;
        for (LONG x = part.left; x < part.right; ++x) {
            const uint8_t* pixel = &pixels_[row + static_cast<size_t>(x - rect_.left) * 3];
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
    const uint32_t imageSize = static_cast<uint32_t>(pixels_.size());
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + imageSize;
    header.biSize = sizeof(header);
    header.biWidth = rect_.right - rect_.left;
    header.biHeight = rect_.bottom - rect_.top;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = imageSize;

    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    out.write(reinterpret_cast<const char*>(pixels_.data()), imageSize);
    return static_cast<bool>(out);
}

}  // namespace demo
