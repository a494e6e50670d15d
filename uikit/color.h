#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace uikit {

// A colour with straight (not premultiplied) alpha; 255 is opaque.
struct Color {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 255;
    bool operator==(const Color&) const = default;
};

// Parses "#RRGGBB", "#RRGGBBAA", "rgb(r,g,b)" and "rgba(r,g,b,a)"; nothing for anything
// else (names are looked up in the colour table by the caller).
std::optional<Color> ParseColorLiteral(std::string_view text);

}  // namespace uikit
