#include "uikit/render_win.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#include <stb_image.h>

#include "common/textutil.h"
#include "uikit/dpiscale.h"

namespace uikit {
namespace {

class StbDecoder : public SImgDecoderFactory {
public:
    std::wstring_view Name() const override { return L"imgdecoder-stb"; }

    bool Decode(const std::string& bytes, Dib32& out) const override
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
        Dib32 bitmap(width, height);
        if (!bitmap)
            return false;
        // RGBA to premultiplied BGRA, as AlphaBlend expects.
        unsigned char* dst = bitmap.Bits();
        const size_t count = static_cast<size_t>(width) * height;
        for (size_t i = 0; i < count; ++i) {
            const unsigned a = pixels[i * 4 + 3];
            dst[i * 4 + 0] = static_cast<unsigned char>(pixels[i * 4 + 2] * a / 255);
            dst[i * 4 + 1] = static_cast<unsigned char>(pixels[i * 4 + 1] * a / 255);
            dst[i * 4 + 2] = static_cast<unsigned char>(pixels[i * 4 + 0] * a / 255);
            dst[i * 4 + 3] = static_cast<unsigned char>(a);
        }
        out = std::move(bitmap);
        return true;
    }
};

void Blend(HDC dst, int dx, int dy, int dw, int dh, HDC src, int sx, int sy, int sw, int sh)
{
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
        return;
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    // gdi32's own entry point: msimg32 would be one more library to load at start-up.
    GdiAlphaBlend(dst, dx, dy, dw, dh, src, sx, sy, sw, sh, blend);
}

// The colour of the image's block [x0, x1) x [y0, y1) when every pixel of it is that one
// opaque colour; nothing otherwise.
std::optional<Color> SolidColour(const Dib32& image, int x0, int y0, int x1, int y1)
{
    if (x0 >= x1 || y0 >= y1)
        return std::nullopt;
    const auto pixel = [&image](int x, int y) {
        const unsigned char* p = image.Bits() + (static_cast<size_t>(y) * image.Width() + x) * 4;
        return static_cast<std::uint32_t>(p[0]) | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    };
    const std::uint32_t first = pixel(x0, y0);
    if (first >> 24 != 255)
        return std::nullopt;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (pixel(x, y) != first)
                return std::nullopt;
        }
    }
    return Color{static_cast<std::uint8_t>(first >> 16), static_cast<std::uint8_t>(first >> 8),
                 static_cast<std::uint8_t>(first), 255};
}

std::string FontKey(const FontDesc& f, int pixels)
{
    return f.face + "|" + std::to_string(pixels) + "|" + (f.bold ? "b" : "") + (f.italic ? "i" : "") +
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

Size SSkin::FrameSize(int dpi) const
{
    if (!image)
        return {};
    return {ScalePx(image->Width() / std::max(def.states, 1), dpi), ScalePx(image->Height(), dpi)};
}

std::optional<Color> SSkin::CentreColor() const
{
    if (!image || !*image)
        return std::nullopt;
    const int x = image->Width() / std::max(def.states, 1) / 2;
    const int y = image->Height() / 2;
    const unsigned char* p = image->Bits() + (static_cast<size_t>(y) * image->Width() + x) * 4;
    if (p[3] != 255)
        return std::nullopt;
    return Color{p[2], p[1], p[0], 255};
}

void SSkin::Draw(HDC dc, const RECT& rect, int frame, int dpi) const
{
    if (!image || !*image)
        return;
    const int fw = image->Width() / std::max(def.states, 1);
    const int fh = image->Height();
    if (fw <= 0 || fh <= 0)
        return;
    frame = std::clamp(frame, 0, std::max(def.states, 1) - 1);
    MemoryDc memory(CreateCompatibleDC(dc));
    if (!memory)
        return;
    const SelectedObject strip(memory.Get(), image->Get());
    const int sx = frame * fw;
    const int w = rect.right - rect.left;
    const int h = rect.bottom - rect.top;
    // Margins of the image, and of the target at the screen's density; the target's
    // shrink proportionally when it is smaller than both borders.
    int sl = def.margin.left, sr = def.margin.right, st = def.margin.top, sb = def.margin.bottom;
    if (sl + sr > fw)
        sl = sr = 0;
    if (st + sb > fh)
        st = sb = 0;
    int l = ScalePx(sl, dpi), r = ScalePx(sr, dpi), t = ScalePx(st, dpi), b = ScalePx(sb, dpi);
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
    const int sxs[4] = {sx, sx + sl, sx + fw - sr, sx + fw};
    const int sys[4] = {0, st, fh - sb, fh};
    // The middle is most of the area: a middle of one opaque colour (a dialog's or panel's
    // fill) is filled rather than stretched and blended.
    const std::optional<Color> middle = SolidColour(*image, sxs[1], sys[1], sxs[2], sys[2]);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            if (row == 1 && col == 1 && middle) {
                const RECT cell{xs[1], ys[1], xs[2], ys[2]};
                FillColor(dc, cell, *middle);
                continue;
            }
            Blend(dc, xs[col], ys[row], xs[col + 1] - xs[col], ys[row + 1] - ys[row], memory.Get(), sxs[col], sys[row],
                  sxs[col + 1] - sxs[col], sys[row + 1] - sys[row]);
        }
    }
}

std::shared_ptr<Dib32> SRenderFactory::DecodeImage(const std::string& bytes) const
{
    if (!decoder_)
        return nullptr;
    auto bitmap = std::make_shared<Dib32>();
    if (!decoder_->Decode(bytes, *bitmap))
        return nullptr;
    return bitmap;
}

HFONT SRenderFactory::Font(const FontDesc& desc, int dpi)
{
    const int pixels = ScalePx(std::max(desc.size, 1), dpi);
    const std::string key = FontKey(desc, pixels);
    auto it = fonts_.find(key);
    if (it != fonts_.end())
        return static_cast<HFONT>(it->second.Get());
    LOGFONTW lf{};
    lf.lfHeight = -pixels;
    lf.lfWeight = desc.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = desc.italic;
    lf.lfUnderline = desc.underline;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    const std::wstring face = FromUtf8(desc.face);
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
    if (!MemoryDc(CreateCompatibleDC(nullptr)))
        return nullptr;
    return std::make_unique<SRenderFactory>();
}

HRGN RegionFromSkin(const SSkin& skin, int width, int height, int dpi)
{
    if (!skin.image || width <= 0 || height <= 0)
        return nullptr;
    const Dib32 canvas(width, height);
    MemoryDc dc(CreateCompatibleDC(nullptr));
    if (!canvas || !dc)
        return nullptr;
    {
        const SelectedObject selected(dc.Get(), canvas.Get());
        skin.Draw(dc.Get(), RECT{0, 0, width, height}, 0, dpi);
        GdiFlush();
    }
    // One rectangle per run of covered pixels in each row.
    std::vector<RECT> runs;
    const unsigned char* pixels = canvas.Bits();
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
    const Dib32 pixel(1, 1, dc);
    MemoryDc memory(CreateCompatibleDC(dc));
    if (!pixel || !memory)
        return;
    unsigned char* p = pixel.Bits();
    p[0] = static_cast<unsigned char>(color.b * color.a / 255);
    p[1] = static_cast<unsigned char>(color.g * color.a / 255);
    p[2] = static_cast<unsigned char>(color.r * color.a / 255);
    p[3] = color.a;
    const SelectedObject selected(memory.Get(), pixel.Get());
    Blend(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, memory.Get(), 0, 0, 1, 1);
}

}  // namespace uikit
