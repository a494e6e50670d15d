#include "uikit/uidef.h"

#include <pugixml.hpp>

namespace uikit {
namespace {

bool ParseBoolText(std::string_view v)
{
    return v == "1" || v == "true" || v == "yes";
}

// An entry's key: its `name` attribute, or else its element name.
std::string EntryKey(const pugi::xml_node& entry)
{
    const pugi::xml_attribute name = entry.attribute("name");
    return name ? name.value() : entry.name();
}

bool LoadDocument(std::string_view xml, pugi::xml_document& document, std::string& error)
{
    const pugi::xml_parse_result parsed =
        document.load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed) {
        error = std::string("UI definition XML error at offset ") + std::to_string(parsed.offset) + ": " +
                parsed.description();
        return false;
    }
    return true;
}

}  // namespace

FontDesc ParseFont(std::string_view text, const FontDesc& base)
{
    FontDesc font = base;
    for (std::string_view item : SplitList(text)) {
        const size_t colon = item.find(':');
        if (colon == std::string_view::npos)
            continue;
        const std::string_view key = item.substr(0, colon);
        const std::string_view value = item.substr(colon + 1);
        int number = 0;
        if (key == "face")
            font.face = std::string(value);
        else if (key == "size" && ParseInt(value, number) && number > 0 && number < 500)
            font.size = number;
        else if (key == "bold")
            font.bold = ParseBoolText(value);
        else if (key == "italic")
            font.italic = ParseBoolText(value);
        else if (key == "underline")
            font.underline = ParseBoolText(value);
    }
    return font;
}

bool UiDefinition::Load(std::string_view xml, const LayoutLoader& loader, std::string& error)
{
    pugi::xml_document document;
    if (!LoadDocument(xml, document, error))
        return false;
    const pugi::xml_node root = document.document_element();
    for (const pugi::xml_node& table : root.children()) {
        if (table.type() != pugi::node_element)
            continue;
        const std::string kind = table.name();
        if (kind == "font") {
            defaultFont_ = ParseFont(table.attribute("value").value(), defaultFont_);
            continue;
        }
        // A table may live in a resource of its own.
        pugi::xml_document external;
        pugi::xml_node entries = table;
        if (const pugi::xml_attribute src = table.attribute("src")) {
            std::string text;
            if (!loader || !loader(src.value(), text)) {
                error = std::string("UI definition table \"") + src.value() + "\" not found";
                return false;
            }
            if (!LoadDocument(text, external, error))
                return false;
            entries = external.document_element();
        }
        for (const pugi::xml_node& entry : entries.children()) {
            if (entry.type() != pugi::node_element)
                continue;
            const std::string key = EntryKey(entry);
            if (kind == "string") {
                strings_[key] = entry.attribute("value").value();
            } else if (kind == "color") {
                if (auto color = ResolveColor(entry.attribute("value").value()))
                    colors_[key] = *color;
                else {
                    error = "bad colour \"" + std::string(entry.attribute("value").value()) + "\" for " + key;
                    return false;
                }
            } else if (kind == "skin") {
                SkinDef skin;
                skin.name = key;
                skin.image = entry.attribute("src").value();
                skin.states = std::max(1, entry.attribute("states").as_int(1));
                if (const pugi::xml_attribute margin = entry.attribute("margin"))
                    ParseInsets(margin.value(), skin.margin);
                skins_[key] = skin;
            } else if (kind == "style") {
                StyleClass style;
                style.name = key;
                for (const pugi::xml_attribute& a : entry.attributes()) {
                    if (std::string_view(a.name()) != "name")
                        style.attrs.emplace_back(a.name(), a.value());
                }
                classes_[key] = std::move(style);
            }
        }
    }
    return true;
}

std::string UiDefinition::ResolveText(std::string_view text) const
{
    std::string_view key;
    if (text.substr(0, 8) == "@string/")
        key = text.substr(8);
    else if (text.size() > 1 && text.front() == '@')
        key = text.substr(1);
    else
        return std::string(text);
    const std::string* value = FindString(key);
    return value ? *value : std::string(text);
}

const std::string* UiDefinition::FindString(std::string_view key) const
{
    const auto it = strings_.find(key);
    return it == strings_.end() ? nullptr : &it->second;
}

std::optional<Color> UiDefinition::ResolveColor(std::string_view text) const
{
    if (text.substr(0, 7) == "@color/")
        text.remove_prefix(7);
    const auto it = colors_.find(text);
    if (it != colors_.end())
        return it->second;
    return ParseColorLiteral(text);
}

const SkinDef* UiDefinition::FindSkin(std::string_view name) const
{
    const auto it = skins_.find(name);
    return it == skins_.end() ? nullptr : &it->second;
}

const StyleClass* UiDefinition::FindClass(std::string_view name) const
{
    const auto it = classes_.find(name);
    return it == classes_.end() ? nullptr : &it->second;
}

void UiDefinition::ApplyClasses(LayoutNode& root) const
{
    if (const std::string* cls = root.Attr("class")) {
        if (const StyleClass* style = FindClass(*cls)) {
            for (const auto& [key, value] : style->attrs) {
                if (!root.Attr(key))
                    root.attrs.emplace_back(key, value);
            }
            RefreshBox(root, false);
        }
    }
    for (auto& child : root.children)
        ApplyClasses(*child);
}

}  // namespace uikit
