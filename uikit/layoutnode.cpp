#include "uikit/layoutnode.h"

#include <algorithm>
#include <cctype>

#include <pugixml.hpp>

namespace uikit {
namespace {

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

Align ParseAlign(std::string_view text)
{
    if (text == "center" || text == "centre" || text == "middle")
        return Align::Center;
    if (text == "right" || text == "bottom" || text == "end")
        return Align::End;
    return Align::Start;
}

bool ParseEdge(std::string_view text, Edge& edge)
{
    text = Trim(text);
    edge = {};
    if (!text.empty() && text.front() == '-') {
        edge.fromFar = true;
        text.remove_prefix(1);
    }
    return ParseInt(text, edge.value) && edge.value >= 0;
}

// Deeper nesting than any window needs is refused: the tree is walked recursively.
constexpr int kMaxDepth = 128;

int Depth(const pugi::xml_node& root)
{
    int deepest = 0;
    const std::function<void(const pugi::xml_node&, int)> walk = [&](const pugi::xml_node& node, int depth) {
        deepest = std::max(deepest, depth);
        if (depth > kMaxDepth)
            return;
        for (const pugi::xml_node& child : node.children()) {
            if (child.type() == pugi::node_element)
                walk(child, depth + 1);
        }
    };
    walk(root, 1);
    return deepest;
}

std::unique_ptr<LayoutNode> BuildNode(const pugi::xml_node& element, LayoutNode* parent)
{
    auto node = std::make_unique<LayoutNode>();
    node->kind = element.name();
    node->parent = parent;
    for (const pugi::xml_attribute& attribute : element.attributes())
        node->attrs.emplace_back(attribute.name(), attribute.value());
    node->name = node->AttrOr("name", "");
    for (const pugi::xml_node& child : element.children()) {
        if (child.type() == pugi::node_element)
            node->children.push_back(BuildNode(child, node.get()));
    }
    return node;
}

void MergeAttrs(LayoutNode& into, const LayoutNode& from)
{
    for (const auto& [key, value] : from.attrs) {
        if (!into.Attr(key))
            into.attrs.emplace_back(key, value);
    }
}

}  // namespace

bool ParseInt(std::string_view text, int& value)
{
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 9)
        return false;
    int result = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
        result = result * 10 + (c - '0');
    }
    value = negative ? -result : result;
    return true;
}

std::vector<std::string_view> SplitList(std::string_view text, char sep)
{
    std::vector<std::string_view> items;
    for (;;) {
        const size_t at = text.find(sep);
        items.push_back(Trim(text.substr(0, at)));
        if (at == std::string_view::npos)
            break;
        text.remove_prefix(at + 1);
    }
    return items;
}

bool ParseInsets(std::string_view text, Insets& insets)
{
    const auto items = SplitList(text);
    int v[4] = {};
    if (items.size() != 1 && items.size() != 2 && items.size() != 4)
        return false;
    for (size_t i = 0; i < items.size(); ++i) {
        if (!ParseInt(items[i], v[i]) || v[i] < 0)
            return false;
    }
    if (items.size() == 1)
        insets = {v[0], v[0], v[0], v[0]};
    else if (items.size() == 2)
        insets = {v[0], v[1], v[0], v[1]};
    else
        insets = {v[0], v[1], v[2], v[3]};
    return true;
}

Extent ParseExtent(std::string_view text)
{
    text = Trim(text);
    if (text == "fill" || text == "full")
        return {SizeMode::Fill, 0};
    if (text == "fit" || text == "wrap" || text == "content")
        return {SizeMode::Fit, 0};
    if (text.substr(0, 5) == "share") {
        int weight = 1;
        if (text.size() > 6 && text[5] == ':' && (!ParseInt(text.substr(6), weight) || weight < 1))
            weight = 1;
        return {SizeMode::Share, weight};
    }
    int pixels = 0;
    if (ParseInt(text, pixels) && pixels >= 0)
        return {SizeMode::Fixed, pixels};
    return {};
}

const std::string* LayoutNode::Attr(std::string_view key) const
{
    for (const auto& [k, v] : attrs) {
        if (k == key)
            return &v;
    }
    return nullptr;
}

std::string LayoutNode::AttrOr(std::string_view key, std::string_view fallback) const
{
    const std::string* value = Attr(key);
    return value ? *value : std::string(fallback);
}

int LayoutNode::IntAttr(std::string_view key, int fallback) const
{
    const std::string* text = Attr(key);
    int value = 0;
    return (text && ParseInt(*text, value)) ? value : fallback;
}

bool LayoutNode::BoolAttr(std::string_view key, bool fallback) const
{
    const std::string* text = Attr(key);
    if (!text)
        return fallback;
    const std::string_view v = Trim(*text);
    if (v == "1" || v == "true" || v == "yes")
        return true;
    if (v == "0" || v == "false" || v == "no")
        return false;
    return fallback;
}

void LayoutNode::SetAttr(std::string_view key, std::string_view value)
{
    for (auto& [k, v] : attrs) {
        if (k == key) {
            v = value;
            return;
        }
    }
    attrs.emplace_back(std::string(key), std::string(value));
}

LayoutNode* LayoutNode::FindByName(std::string_view wanted)
{
    if (name == wanted)
        return this;
    for (auto& child : children) {
        if (LayoutNode* found = child->FindByName(wanted))
            return found;
    }
    return nullptr;
}

LayoutNode* LayoutNode::AddChild(std::unique_ptr<LayoutNode> child)
{
    child->parent = this;
    children.push_back(std::move(child));
    return children.back().get();
}

bool LayoutNode::IsBox() const
{
    return kind != "header" && kind != "column" && kind != "item";
}

void RefreshBox(LayoutNode& node, bool deep)
{
    BoxProps box;
    const std::string layout = node.AttrOr("layout", node.kind == "split" ? "split" : "free");
    if (layout == "hbox" || layout == "horizontal" || layout == "row")
        box.arrange = Arrange::HBox;
    else if (layout == "vbox" || layout == "vertical" || layout == "column")
        box.arrange = Arrange::VBox;
    else if (layout == "grid")
        box.arrange = Arrange::Grid;
    else if (layout == "split")
        box.arrange = Arrange::Split;

    if (const std::string* size = node.Attr("size")) {
        const auto parts = SplitList(*size);
        if (parts.size() == 2) {
            box.width = ParseExtent(parts[0]);
            box.height = ParseExtent(parts[1]);
        }
    }
    if (const std::string* w = node.Attr("width"))
        box.width = ParseExtent(*w);
    if (const std::string* h = node.Attr("height"))
        box.height = ParseExtent(*h);
    const int weight = node.IntAttr("weight", 0);
    if (weight > 0) {
        if (box.width.mode == SizeMode::Share)
            box.width.value = weight;
        if (box.height.mode == SizeMode::Share)
            box.height.value = weight;
    }

    if (const std::string* padding = node.Attr("padding"))
        ParseInsets(*padding, box.padding);
    box.gap = std::max(0, node.IntAttr("gap", node.IntAttr("interval", 0)));
    box.halign = ParseAlign(node.AttrOr("halign", ""));
    box.valign = ParseAlign(node.AttrOr("valign", ""));

    if (const std::string* pos = node.Attr("pos")) {
        const auto parts = SplitList(*pos);
        if (parts.size() == 2 || parts.size() == 4) {
            bool ok = true;
            for (size_t i = 0; i < parts.size(); ++i)
                ok = ok && ParseEdge(parts[i], box.pos[i]);
            box.posCount = ok ? static_cast<int>(parts.size()) : 0;
        }
    }
    if (const std::string* minSize = node.Attr("minsize")) {
        const auto parts = SplitList(*minSize);
        if (parts.size() == 2) {
            ParseInt(parts[0], box.minSize.cx);
            ParseInt(parts[1], box.minSize.cy);
        }
    }
    box.minSize.cx = std::max(0, node.IntAttr("minwidth", box.minSize.cx));
    box.minSize.cy = std::max(0, node.IntAttr("minheight", box.minSize.cy));
    box.maxWidth = std::max(0, node.IntAttr("maxwidth", 0));
    box.visible = node.BoolAttr("visible", true);
    box.columns = std::max(1, node.IntAttr("columns", 1));
    box.maxRows = std::max(0, node.IntAttr("maxrows", 0));
    box.verticalSplit = node.BoolAttr("vertical", false);
    box.sepSize = std::max(0, node.IntAttr("sepsize", 4));
    box.ideal = node.IntAttr("ideal", -1);
    box.paneMin = std::max(0, node.IntAttr("min", 0));
    box.priority = node.IntAttr("priority", 1);
    node.box = box;
    if (deep) {
        for (auto& child : node.children)
            RefreshBox(*child, true);
    }
}

ParseResult ParseLayout(std::string_view xml)
{
    ParseResult result;
    pugi::xml_document document;
    const pugi::xml_parse_result parsed =
        document.load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed) {
        result.error =
            std::string("layout XML error at offset ") + std::to_string(parsed.offset) + ": " + parsed.description();
        return result;
    }
    const pugi::xml_node element = document.document_element();
    if (!element) {
        result.error = "layout XML has no root element";
        return result;
    }
    if (Depth(element) > kMaxDepth) {
        result.error = "layout XML nests deeper than " + std::to_string(kMaxDepth) + " elements";
        return result;
    }
    result.root = BuildNode(element, nullptr);
    RefreshBox(*result.root, true);
    return result;
}

static bool ExpandAt(LayoutNode& node, const LayoutLoader& loader, std::string& error, int depthLeft)
{
    for (auto& child : node.children) {
        const std::string* src = child->Attr("src");
        if (src && (child->kind == "include" || child->kind == "page")) {
            if (depthLeft <= 0) {
                error = "layout includes nest too deeply at \"" + *src + "\"";
                return false;
            }
            std::string xml;
            if (!loader(*src, xml)) {
                error = "layout \"" + *src + "\" not found";
                return false;
            }
            ParseResult loaded = ParseLayout(xml);
            if (!loaded.root) {
                error = "layout \"" + *src + "\": " + loaded.error;
                return false;
            }
            // The including element's own attributes win over the loaded root's.
            auto replacement = std::move(loaded.root);
            LayoutNode merged;
            merged.attrs = child->attrs;
            MergeAttrs(merged, *replacement);
            replacement->attrs = std::move(merged.attrs);
            replacement->attrs.erase(std::remove_if(replacement->attrs.begin(), replacement->attrs.end(),
                                                    [](const auto& a) { return a.first == "src"; }),
                                     replacement->attrs.end());
            replacement->name = replacement->AttrOr("name", "");
            replacement->kind = child->kind == "include" ? replacement->kind : child->kind;
            replacement->parent = &node;
            for (auto& grandChild : child->children)
                replacement->AddChild(std::move(grandChild));
            child = std::move(replacement);
            RefreshBox(*child, true);
            if (!ExpandAt(*child, loader, error, depthLeft - 1))
                return false;
            continue;
        }
        if (!ExpandAt(*child, loader, error, depthLeft))
            return false;
    }
    return true;
}

bool ExpandIncludes(LayoutNode& root, const LayoutLoader& loader, std::string& error, int maxDepth)
{
    return ExpandAt(root, loader, error, maxDepth);
}

}  // namespace uikit
