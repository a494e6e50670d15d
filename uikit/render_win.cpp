#include "uikit/render_win.h"

#include <algorithm>
#include <cstring>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#include <stb_image.h>

#include "uikit/wtext_win.h"

namespace uikit {
namespace {

class StbDecoder : public SImgDecoderFactory {
public:
    std::wstring_view Name() const override { return L"imgdecoder-stb"; }

    bool Decode(const std::string& bytes, SBitmap& out) const override
    {
        if (bytes.empty() || bytes.size() > 64u * 1024 * 1024)
            return false;
        int width = 0, height = 0, channels = 0;
        stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                                static_cast<int>(bytes.size()), &width, &height, &channels, 4);
        if (!pixels)
            return false;
        std::unique_ptr<stbi_uc, void (*)(void*)> owned(pixels, stbi_image_free);
        if (width <= 0 || height <= 0 || width > 16384 || height > 16384)
            return false;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        GdiObject bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!bitmap || !bits)
            return false;
        // RGBA to premultiplied BGRA, as AlphaBlend expects.
        auto* dst = static_cast<unsigned char*>(bits);
        const size_t count = static_cast<size_t>(width) * height;
        for (size_t i = 0; i < count; ++i) {
            const unsigned a = pixels[i * 4 + 3];
            dst[i * 4 + 0] = static_cast<unsigned char>(pixels[i * 4 + 2] * a / 255);
            dst[i * 4 + 1] = static_cast<unsigned char>(pixels[i * 4 + 1] * a / 255);
            dst[i * 4 + 2] = static_cast<unsigned char>(pixels[i * 4 + 0] * a / 255);
            dst[i * 4 + 3] = static_cast<unsigned char>(a);
        }
        out.handle = std::move(bitmap);
        out.width = width;
        out.height = height;
        return true;
    }
};

void Blend(HDC dst, int dx, int dy, int dw, int dh, HDC src, int sx, int sy, int sw, int sh, BYTE alpha)
{
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
        return;
    BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
    AlphaBlend(dst, dx, dy, dw, dh, src, sx, sy, sw, sh, blend);
}

std::string FontKey(const FontDesc& f)
{
    return f.face + "|" + std::to_string(f.size) + "|" + (f.bold ? "b" : "") + (f.italic ? "i" : "") +
           (f.underline ? "u" : "");
}

}  // namespace

std::unique_ptr<SImgDecoderFactory> CreateImgDecoderFactory(std::wstring_view name)
{
    // The Windows Imaging Component and GDI+ kinds are recognised but not carried by this
    // toolkit, so choosing them fails like a decoder that cannot be created.
    if (name == L"imgdecoder-wic" || name != L"imgdecoder-stb")
        return nullptr;
    return std::make_unique<StbDecoder>();
}

void SSkin::Draw(HDC dc, const RECT& rect, int frame, BYTE alpha) const
{
    if (!image || !image->handle)
        return;
    const int fw = FrameWidth();
    const int fh = FrameHeight();
    if (fw <= 0 || fh <= 0)
        return;
    frame = std::clamp(frame, 0, std::max(def.states, 1) - 1);
    HDC memory = CreateCompatibleDC(dc);
    if (!memory)
        return;
    HGDIOBJ old = SelectObject(memory, image->handle.Get());
    const int sx = frame * fw;
    const int w = rect.right - rect.left;
    const int h = rect.bottom - rect.top;
    // Margins shrink proportionally when the target is smaller than both borders.
    int l = def.margin.left, r = def.margin.right, t = def.margin.top, b = def.margin.bottom;
    if (l + r > fw)
        l = r = 0;
    if (t + b > fh)
        t = b = 0;
    if (l + r > w) {
        l = w * l / std::max(l + r, 1);
        r = w - l;
    }
    if (t + b > h) {
        t = h * t / std::max(t + b, 1);
        b = h - t;
    }
    const int xs[4] = {rect.left, rect.left + l, rect.right - r, rect.right};
    const int ys[4] = {rect.top, rect.top + t, rect.bottom - b, rect.bottom};
    const int sxs[4] = {sx, sx + l, sx + fw - r, sx + fw};
    const int sys[4] = {0, t, fh - b, fh};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            Blend(dc, xs[col], ys[row], xs[col + 1] - xs[col], ys[row + 1] - ys[row], memory, sxs[col], sys[row],
                  sxs[col + 1] - sxs[col], sys[row + 1] - sys[row], alpha);
        }
    }
    SelectObject(memory, old);
    DeleteDC(memory);
}

std::shared_ptr<SBitmap> SRenderFactory::DecodeImage(const std::string& bytes) const
{
    if (!decoder_)
        return nullptr;
    auto bitmap = std::make_shared<SBitmap>();
    if (!decoder_->Decode(bytes, *bitmap))
        return nullptr;
    return bitmap;
}

HFONT SRenderFactory::Font(const FontDesc& desc)
{
    const std::string key = FontKey(desc);
    auto it = fonts_.find(key);
    if (it != fonts_.end())
        return static_cast<HFONT>(it->second.Get());
    LOGFONTW lf{};
    lf.lfHeight = -std::max(desc.size, 1);
    lf.lfWeight = desc.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = desc.italic;
    lf.lfUnderline = desc.underline;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    const std::wstring face = Widen(desc.face);
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectW(&lf);
    if (!font)
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    else
        fonts_.emplace(key, GdiObject(font));
    return font;
}

std::unique_ptr<SRenderFactory> CreateRenderFactory()
{
    HDC probe = CreateCompatibleDC(nullptr);
    if (!probe)
        return nullptr;
    DeleteDC(probe);
    return std::make_unique<SRenderFactory>();
}

HRGN RegionFromSkin(const SSkin& skin, int width, int height)
{
    if (!skin.image || width <= 0 || height <= 0)
        return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    GdiObject canvas(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!canvas || !bits)
        return nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, canvas.Get());
    skin.Draw(dc, RECT{0, 0, width, height}, 0);
    GdiFlush();
    // One rectangle per run of covered pixels in each row.
    std::vector<RECT> runs;
    const auto* pixels = static_cast<const unsigned char*>(bits);
    for (int y = 0; y < height; ++y) {
        int start = -1;
        for (int x = 0; x <= width; ++x) {
            const bool covered = x < width && pixels[(static_cast<size_t>(y) * width + x) * 4 + 3] >= 128;
            if (covered && start < 0)
                start = x;
            if (!covered && start >= 0) {
                runs.push_back(RECT{start, y, x, y + 1});
                start = -1;
            }
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    std::vector<unsigned char> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    auto* region = reinterpret_cast<RGNDATA*>(data.data());
    region->rdh.dwSize = sizeof(RGNDATAHEADER);
    region->rdh.iType = RDH_RECTANGLES;
    region->rdh.nCount = static_cast<DWORD>(runs.size());
    region->rdh.rcBound = RECT{0, 0, width, height};
    std::memcpy(region->Buffer, runs.data(), runs.size() * sizeof(RECT));
    return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), region);
}

COLORREF ToColorRef(const Color& color)
{
    return RGB(color.r, color.g, color.b);
}

void FillColor(HDC dc, const RECT& rect, const Color& color)
{
    if (color.a == 0 || rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    if (color.a == 255) {
        SetDCBrushColor(dc, ToColorRef(color));
        FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        return;
    }
    // One premultiplied pixel stretched over the rectangle.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 1;
    info.bmiHeader.biHeight = 1;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    GdiObject pixel(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!pixel || !bits)
        return;
    auto* p = static_cast<unsigned char*>(bits);
    p[0] = static_cast<unsigned char>(color.b * color.a / 255);
    p[1] = static_cast<unsigned char>(color.g * color.a / 255);
    p[2] = static_cast<unsigned char>(color.r * color.a / 255);
    p[3] = color.a;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, pixel.Get());
    Blend(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, memory, 0, 0, 1, 1, 255);
    SelectObject(memory, old);
    DeleteDC(memory);
}

}  // namespace uikit
