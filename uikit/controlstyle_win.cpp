#include "uikit/controlstyle_win.h"

#include <algorithm>
#include <string_view>

#include "uikit/application_win.h"

namespace uikit {
namespace {

std::optional<Color> ReadColor(const LayoutNode& node, std::string_view key)
{
    const std::string* value = node.Attr(key);
    return value ? SApplication::Get()->Ui().ResolveColor(*value) : std::nullopt;
}

std::shared_ptr<const SSkin> ReadSkin(const LayoutNode& node, std::string_view key)
{
    const std::string* name = node.Attr(key);
    return name ? SApplication::Get()->Skin(*name) : nullptr;
}

FontDesc ReadFont(const LayoutNode& node)
{
    FontDesc desc = ParseFont(node.AttrOr("font", ""), SApplication::Get()->Ui().DefaultFont());
    if (node.Attr("fontsize"))
        desc.size = std::max(1, node.IntAttr("fontsize", desc.size));
    desc.underline = node.BoolAttr("underline", desc.underline);
    desc.italic = node.BoolAttr("italic", desc.italic);
    desc.bold = node.BoolAttr("bold", desc.bold);
    return desc;
}

// Nothing for a missing or unknown value, so each kind of control keeps its own default.
std::optional<TextAlign> ReadAlign(const LayoutNode& node)
{
    const std::string value = node.AttrOr("textalign", "");
    if (value == "left")
        return TextAlign::Left;
    if (value == "center" || value == "centre")
        return TextAlign::Center;
    if (value == "right")
        return TextAlign::Right;
    return std::nullopt;
}

}  // namespace

ControlStyle ReadStyle(const LayoutNode& node, int dpi)
{
    SApplication* app = SApplication::Get();
    ControlStyle style;
    style.back = ReadColor(node, "colorBkgnd");
    style.text = ReadColor(node, "colorText");
    style.textHover = ReadColor(node, "colorTextHover");
    style.textPush = ReadColor(node, "colorTextPush");
    style.textDisable = ReadColor(node, "colorTextDisable");
    style.itemBack = ReadColor(node, "colorItemBkgnd");
    style.itemBack2 = ReadColor(node, "colorItemBkgnd2");
    style.itemHotBack = ReadColor(node, "colorItemHotBkgnd");
    style.itemSelBack = ReadColor(node, "colorItemSelBkgnd");
    style.selText = ReadColor(node, "colorSelText");
    style.track = ReadColor(node, "colorTrack");
    style.bar = ReadColor(node, "colorBar");
    style.separator = ReadColor(node, "colorSep");
    style.skin = ReadSkin(node, "skin");
    style.borderSkin = ReadSkin(node, "borderSkin");
    FontDesc font = ReadFont(node);
    style.font = app->Font(font, dpi);
    style.hoverFont = style.font;
    if (node.BoolAttr("hoverUnderline", false)) {
        font.underline = true;
        style.hoverFont = app->Font(font, dpi);
    }
    style.align = ReadAlign(node);
    if (const std::string* cursor = node.Attr("cursor"))
        style.cursor = *cursor == "hand" ? IDC_HAND : IDC_ARROW;
    return style;
}

COLORREF ColorOr(const std::optional<Color>& color, COLORREF fallback)
{
    return color ? ToColorRef(*color) : fallback;
}

}  // namespace uikit
