#include "syncfolderapp/settings/settingscodec.h"

#include <algorithm>
#include <exception>

#include <yaml-cpp/yaml.h>

namespace {

const char kKeyOpenDefaultDir[] = "OpenDefaultDir";
const char kKeySyncType[] = "SyncType";
const char kKeyBackUp[] = "BackUp";
const char kKeySkipSame[] = "SkipSame";
const char kKeyVerifyCopy[] = "VerifyCopy";
const char kKeyScanDrives[] = "ScanDrives";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// A block indicator opens a collection only when a blank or the line end follows it:
// "- x", "key:" and "? k" do; "-----", "a-b" and "D:\\x" do not.
bool OpensCollection(std::string_view line, std::size_t i)
{
    const char c = line[i];
    return (c == '-' || c == '?' || c == ':') && (i + 1 == line.size() || IsBlank(line[i + 1]));
}

// Where the line's comment begins (the line's length when it has none): a # at the start
// or after a blank, outside a quoted text that opens on the line.
std::size_t CommentStart(std::string_view line)
{
    char quote = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        const bool tokenStart = i == 0 || IsBlank(line[i - 1]);
        if (quote != 0) {
            if (c == '\\' && quote == '"')
                ++i;
            else if (c == quote)
                quote = 0;
        } else if (c == '#' && tokenStart) {
            return i;
        } else if ((c == '"' || c == '\'') &&
                   (tokenStart || std::string_view("[{,:").find(line[i - 1]) != std::string_view::npos)) {
            quote = c;
        }
    }
    return line.size();
}

// The drive letters of a ScanDrives value: each entry that is one ASCII letter, upper-cased,
// once; anything else in the list, or a value that is no list, adds nothing.
std::vector<std::string> ReadDriveLetters(const YAML::Node& value)
{
    std::vector<std::string> letters;
    // An absent key gives a node that only answers IsDefined.
    if (!value.IsDefined() || !value.IsSequence())
        return letters;
    for (const YAML::Node& entry : value) {
        const std::string text = entry.IsScalar() ? entry.Scalar() : std::string();
        const char c = text.size() == 1 ? text[0] : '\0';
        const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        if (upper < 'A' || upper > 'Z')
            continue;
        const std::string letter(1, upper);
        if (std::find(letters.begin(), letters.end(), letter) == letters.end())
            letters.push_back(letter);
    }
    return letters;
}

}  // namespace

// A block collection that starts on an earlier line sits at a column no greater than
// the indentation of the lines inside it (a sequence may share its parent key's column,
// hence two levels per column); blank and comment lines hold none. Collections that start
// on the line itself each need an indicator of their own before the comment. Flow
// collections nest by brackets, whatever the lines look like: brackets count even inside
// quotes and comments (a quoted text may span lines), which can only make the bound larger.
int SettingsNestingBound(std::string_view text)
{
    int bound = 0;
    int flowDepth = 0;
    int maxFlowDepth = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(pos, end - pos);
        const std::size_t comment = CommentStart(line);

        std::size_t indent = 0;
        while (indent < comment && IsBlank(line[indent]))
            ++indent;
        int indicators = 0;
        for (std::size_t i = indent; i < line.size(); ++i) {
            const char c = line[i];
            if (i < comment && OpensCollection(line, i)) {
                ++indicators;
            } else if (c == '[' || c == '{') {
                maxFlowDepth = std::max(maxFlowDepth, ++flowDepth);
            } else if ((c == ']' || c == '}') && flowDepth > 0) {
                --flowDepth;
            }
            // Stop counting once the answer is known, so huge lines stay cheap.
            if (indicators > kMaxSettingsNesting)
                return 2 * kMaxSettingsNesting + 2;
        }
        if (indent < comment) {
            const long lineBound = 2L * (static_cast<long>(indent) + 1) + 2L * indicators;
            bound = static_cast<int>(std::min<long>(std::max<long>(bound, lineBound), 1L << 30));
        }
        pos = end + 1;
    }
    return std::min(bound + maxFlowDepth, 1 << 30);
}

bool ParseSettingsText(std::string_view text, SettingsFields& fields)
{
    fields = SettingsFields{};
    if (text.size() > kMaxSettingsTextSize || SettingsNestingBound(text) > kMaxSettingsNesting)
        return false;
    try {
        // A const root: looking a key up must never turn the parsed node into a map.
        const YAML::Node root = YAML::Load(std::string(text));

        // A scalar root throws here, before any value is taken.
        const YAML::Node dir = root[kKeyOpenDefaultDir];
        if (dir.IsDefined()) {
            // A null value reads as the text "null"; a sequence or mapping as empty.
            std::string value = dir.as<std::string>(std::string());
            if (!value.empty())
                fields.openDefaultDir = std::move(value);
        }
        fields.syncType = root[kKeySyncType].as<int32_t>(1);
        fields.backUp = root[kKeyBackUp].as<bool>(false);
        fields.skipSame = root[kKeySkipSame].as<bool>(false);
        fields.verifyCopy = root[kKeyVerifyCopy].as<bool>(false);
        fields.scanDrives = ReadDriveLetters(root[kKeyScanDrives]);
        return true;
    } catch (const YAML::Exception&) {
    } catch (const std::exception&) {
        // Out of memory on an absurd document: the defaults stand all the same.
    }
    fields = SettingsFields{};
    return false;
}

std::string EmitSettingsText(const SettingsFields& fields)
{
    YAML::Emitter out;
    out << YAML::BeginMap;
    if (!fields.openDefaultDir.empty())
        out << YAML::Key << kKeyOpenDefaultDir << YAML::Value << fields.openDefaultDir;
    out << YAML::Key << kKeySyncType << YAML::Value << fields.syncType;
    out << YAML::Key << kKeyBackUp << YAML::Value << fields.backUp;
    out << YAML::Key << kKeySkipSame << YAML::Value << fields.skipSame;
    out << YAML::Key << kKeyVerifyCopy << YAML::Value << fields.verifyCopy;
    if (!fields.scanDrives.empty()) {
        out << YAML::Key << kKeyScanDrives << YAML::Value << YAML::Flow << YAML::BeginSeq;
        for (const std::string& letter : fields.scanDrives)
            out << letter;
        out << YAML::EndSeq;
    }
    out << YAML::EndMap;
    return std::string(out.c_str(), out.size());
}
