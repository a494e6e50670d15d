#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace demo {

// A copy of a rectangle of the screen: 32-bit pixels, rows from the top.
class ScreenImage {
public:
    // Reads the rectangle (clipped to the screen); empty when the screen cannot be read.
    static ScreenImage Capture(const RECT& rect);
    bool Empty() const { return pixels_.empty(); }
    // Whether the part of both images inside `screenRect` differs; images of different
    // areas always differ.
    bool DiffersIn(const ScreenImage& other, const RECT& screenRect) const;
    // Whether every pixel inside `screenRect` has one colour (a control not painted yet).
    bool UniformIn(const RECT& screenRect) const;
    bool SaveBmp(const std::wstring& path) const;

private:
    RECT rect_{};
    uint32_t stride_ = 0;
    std::vector<uint8_t> pixels_;
};

// The union of the windows' rectangles, widened by `margin` and clipped to the screen.
RECT AroundWindows(const HWND* windows, size_t count, int margin);

}  // namespace demo
