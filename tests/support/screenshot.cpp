#include "tests/support/screenshot.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include "common/dib32.h"
#include "common/winhandle.h"

namespace testsupport {
namespace {

std::filesystem::path ScreenshotDir()
{
    const char* dir = std::getenv("SF_SCREENSHOT_DIR");
    std::filesystem::path result = (dir && *dir) ? std::filesystem::path(dir) : std::filesystem::path("screenshots");
    if (!result.empty() && result.native()[0] == L'/')
        result = std::filesystem::path(L"Z:" + result.native());
    return result;
}

}  // namespace

std::string SaveScreenshot(HWND window, const std::string& name)
{
    RECT rc{};
    if (!GetWindowRect(window, &rc))
        return {};
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    if (width <= 0 || height <= 0)
        return {};

    const WindowDc screen(nullptr);
    const MemoryDc memory(CreateCompatibleDC(screen.Get()));
    const Dib32 dib(width, height, screen.Get());
    if (!screen || !memory || !dib)
        return {};
    {
        const SelectedObject selected(memory.Get(), dib.Get());
        BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), rc.left, rc.top, SRCCOPY);
        GdiFlush();
    }
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    const unsigned char* bgra = dib.Bits();
    for (size_t i = 0, n = static_cast<size_t>(width) * height; i < n; ++i) {
        rgb[i * 3 + 0] = bgra[i * 4 + 2];
        rgb[i * 3 + 1] = bgra[i * 4 + 1];
        rgb[i * 3 + 2] = bgra[i * 4 + 0];
    }

    const auto dir = ScreenshotDir();
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    const auto file = dir / (name + ".png");
    if (!stbi_write_png(file.string().c_str(), width, height, 3, rgb.data(), width * 3))
        return {};
    return file.string();
}

}  // namespace testsupport
