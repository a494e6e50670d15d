#pragma once

// The UI definition: default font, string, colour and skin tables and style classes,
// read from XML. Several definitions merge into one (the toolkit's own first, then the
// application's, whose entries win).

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "uikit/color.h"
#include "uikit/geometry.h"
#include "uikit/layoutnode.h"

namespace uikit {

struct FontDesc {
    std::string face;
    int size = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const FontDesc&) const = default;
};

// "face:SimSun,size:14,bold:1,italic:1,underline:1"; keys not given keep `base`'s value.
FontDesc ParseFont(std::string_view text, const FontDesc& base);

struct SkinDef {
    std::string name;
    std::string image;  // resource identifier such as "IMG:PNG_SLOADING"; empty for no image
    int states = 1;     // frames side by side in the image
    Insets margin;      // nine-grid borders of one frame
};

struct StyleClass {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attrs;
};

class UiDefinition {
public:
    // Merges the definition in `xml` into this one. Tables given as `src="TYPE:NAME"` are
    // read through `loader`. Returns false with an error text on malformed input; what was
    // read before the error stays.
    bool Load(std::string_view xml, const LayoutLoader& loader, std::string& error);

    const FontDesc& DefaultFont() const { return defaultFont_; }
    // "@string/key" and "@key" forms are looked up; any other text is returned unchanged.
    std::string ResolveText(std::string_view text) const;
    const std::string* FindString(std::string_view key) const;
    // A colour name from the table, or a literal (#RRGGBB, #RRGGBBAA, rgb(), rgba()).
    std::optional<Color> ResolveColor(std::string_view text) const;
    const SkinDef* FindSkin(std::string_view name) const;
    const StyleClass* FindClass(std::string_view name) const;

    // Copies the attributes of each node's style class that the node does not set itself.
    void ApplyClasses(LayoutNode& root) const;

    void SetString(std::string key, std::string value) { strings_[std::move(key)] = std::move(value); }

private:
    FontDesc defaultFont_{"SimSun", 14};
    std::map<std::string, std::string, std::less<>> strings_;
    std::map<std::string, Color, std::less<>> colors_;
    std::map<std::string, SkinDef, std::less<>> skins_;
    std::map<std::string, StyleClass, std::less<>> classes_;
};

}  // namespace uikit
