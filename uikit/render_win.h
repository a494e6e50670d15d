#pragma once

// GDI rendering: image decoders (chosen by name), decoded bitmaps, skins drawn as
// nine-grid frames of an image strip, fonts and colour fills.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <windows.h>

#include "common/dib32.h"
#include "common/winhandle.h"
#include "uikit/color.h"
#include "uikit/geometry.h"
#include "uikit/uidef.h"

namespace uikit {

class SImgDecoderFactory {
public:
    virtual ~SImgDecoderFactory() = default;
    virtual std::wstring_view Name() const = 0;
    // Decodes a PNG (or any format the decoder reads) into a bitmap with premultiplied
    // alpha; false on bad data.
    virtual bool Decode(const std::string& bytes, Dib32& out) const = 0;
};

// The decoder of the given name: "imgdecoder-wic", "imgdecoder-stb" or "imgdecoder-gdip",
// compared in that order. Only the built-in stb decoder is part of this toolkit; the other
// two kinds cannot be created here. Null for an unknown name or a decoder that cannot be
// created.
std::unique_ptr<SImgDecoderFactory> CreateImgDecoderFactory(std::wstring_view name);

class SSkin {
public:
    SkinDef def;
    std::shared_ptr<Dib32> image;  // premultiplied alpha; null for a skin without image

    int Frames() const { return def.states; }
    // One frame's size on a screen of `dpi`: images are drawn for 96 dpi and scaled.
    Size FrameSize(int dpi) const;
    // Draws frame `frame` (clamped to the strip) stretched over `rect`; its margins keep
    // their width, scaled to `dpi`.
    void Draw(HDC dc, const RECT& rect, int frame, int dpi) const;
    // The colour in the middle of the first frame, where a background skin shows its
    // fill; nothing when the skin has no image or is not opaque there.
    std::optional<Color> CentreColor() const;
};

// GDI-based rendering: holds the image decoder and caches fonts.
class SRenderFactory {
public:
    void SetImgDecoderFactory(std::shared_ptr<SImgDecoderFactory> decoder) { decoder_ = std::move(decoder); }
    const SImgDecoderFactory* ImgDecoder() const { return decoder_.get(); }
    std::shared_ptr<Dib32> DecodeImage(const std::string& bytes) const;
    // The font of `desc` for a screen of `dpi`: its size (pixels at 96 dpi) is scaled
    // before the font is made, so text is drawn sharp at every density.
    HFONT Font(const FontDesc& desc, int dpi);

private:
    std::shared_ptr<SImgDecoderFactory> decoder_;
    std::map<std::string, GdiObject> fonts_;
};

// Null when GDI cannot give a memory device context.
std::unique_ptr<SRenderFactory> CreateRenderFactory();

// The region covered by the skin drawn at `width` x `height` on a screen of `dpi`:
// pixels at least half opaque. Null when the skin has no image.
HRGN RegionFromSkin(const SSkin& skin, int width, int height, int dpi);

COLORREF ToColorRef(const Color& color);
// Fills with the colour, blending when it is translucent.
void FillColor(HDC dc, const RECT& rect, const Color& color);

}  // namespace uikit
