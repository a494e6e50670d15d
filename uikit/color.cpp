#include "uikit/color.h"

#include <cctype>
#include <vector>

namespace uikit {
namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

std::optional<Color> ParseHex(std::string_view hex)
{
    if (hex.size() != 6 && hex.size() != 8)
        return std::nullopt;
    std::uint8_t parts[4] = {0, 0, 0, 255};
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int hi = HexDigit(hex[i]);
        const int lo = HexDigit(hex[i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        parts[i / 2] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    return Color{parts[0], parts[1], parts[2], parts[3]};
}

// "r,g,b[,a]" with each component 0..255.
std::optional<Color> ParseComponents(std::string_view list, size_t expected)
{
    std::vector<int> values;
    while (!list.empty()) {
        const size_t comma = list.find(',');
        std::string_view item = Trim(list.substr(0, comma));
        if (item.empty() || item.size() > 3)
            return std::nullopt;
        int value = 0;
        for (char c : item) {
            if (!std::isdigit(static_cast<unsigned char>(c)))
                return std::nullopt;
            value = value * 10 + (c - '0');
        }
        if (value > 255)
            return std::nullopt;
        values.push_back(value);
        if (comma == std::string_view::npos)
            break;
        list.remove_prefix(comma + 1);
    }
    if (values.size() != expected)
        return std::nullopt;
    Color color{static_cast<std::uint8_t>(values[0]), static_cast<std::uint8_t>(values[1]),
                static_cast<std::uint8_t>(values[2]), 255};
    if (expected == 4)
        color.a = static_cast<std::uint8_t>(values[3]);
    return color;
}

}  // namespace

std::optional<Color> ParseColorLiteral(std::string_view text)
{
    text = Trim(text);
    if (text.size() > 1 && text.front() == '#')
        return ParseHex(text.substr(1));
    const auto call = [&](std::string_view fn) -> std::optional<std::string_view> {
        if (text.size() < fn.size() + 2 || text.substr(0, fn.size()) != fn)
            return std::nullopt;
        std::string_view rest = Trim(text.substr(fn.size()));
        if (rest.size() < 2 || rest.front() != '(' || rest.back() != ')')
            return std::nullopt;
        return rest.substr(1, rest.size() - 2);
    };
    if (auto args = call("rgba"))
        return ParseComponents(*args, 4);
    if (auto args = call("rgb"))
        return ParseComponents(*args, 3);
    return std::nullopt;
}

}  // namespace uikit
