#include "common/dib32.h"

#include <utility>

Dib32::Dib32(int width, int height, HDC dc)
{
    if (width <= 0 || height <= 0)
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_.Reset(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
    if (!bitmap_) {
        bits_ = nullptr;
        return;
    }
    width_ = width;
    height_ = height;
}

Dib32::Dib32(Dib32&& other) noexcept
    : bitmap_(std::move(other.bitmap_)),
      bits_(std::exchange(other.bits_, nullptr)),
      width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0))
{
}

Dib32& Dib32::operator=(Dib32&& other) noexcept
{
    if (this != &other) {
        bitmap_ = std::move(other.bitmap_);
        bits_ = std::exchange(other.bits_, nullptr);
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
    }
    return *this;
}
