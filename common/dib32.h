#pragma once

// A 32-bit top-down DIB section: one BGRA quadruple a pixel, rows from the top, its
// pixels readable and writable in memory. Owns the bitmap.

#include <windows.h>

#include "common/winhandle.h"

class Dib32 {
public:
    Dib32() = default;
    // A bitmap of `width` x `height` (both at least 1); invalid when GDI refuses it.
    Dib32(int width, int height, HDC dc = nullptr);
    Dib32(Dib32&& other) noexcept;
    Dib32& operator=(Dib32&& other) noexcept;

    explicit operator bool() const noexcept { return bitmap_ && bits_; }
    HBITMAP Get() const noexcept { return static_cast<HBITMAP>(bitmap_.Get()); }
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    // Width() * Height() pixels of four bytes, blue first.
    unsigned char* Bits() const noexcept { return static_cast<unsigned char*>(bits_); }

private:
    GdiObject bitmap_;
    void* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};
