#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The text of syncfile.config and the values it carries, without any file access, so
// that reading and writing the format can be exercised on any platform.

// The values as they stand in the file: the directory text stays UTF-8.
struct SettingsFields {
    std::string openDefaultDir;  // empty: the key is absent (and is not written)
    int32_t syncType = 1;
    bool backUp = false;
    bool skipSame = false;
    bool verifyCopy = false;
    // The drive letters the scan walks (single upper-case letters); empty: the key is
    // absent (and is not written), and the scan takes its default drive.
    std::vector<std::string> scanDrives;
};

// Bigger files are not settings files anyone wrote; they are read as malformed.
inline constexpr std::size_t kMaxSettingsTextSize = 1u << 20;

// Documents that could nest deeper than this are read as malformed before the parser
// sees them: the parser recurses once per level and must not run out of stack.
inline constexpr int kMaxSettingsNesting = 64;

// An upper bound on how deeply the collections of a YAML text can nest. Cheap and
// deliberately pessimistic: it only has to stay small for any plausible settings file.
int SettingsNestingBound(std::string_view text);

// Reads the values from the text of a settings file. Keys that are absent or of the
// wrong type keep their fallbacks (empty directory, syncType 1, the switches off, no scan
// drives); keys it does not know are ignored, so a later release may add its own. Of
// ScanDrives only the entries that are one drive letter count (upper-cased, each once). Returns
// false when the text is not an acceptable YAML document (malformed, a scalar root, too
// big or too deeply nested); `fields` then holds the defaults.
bool ParseSettingsText(std::string_view text, SettingsFields& fields);

// The text written to the file: a block mapping with OpenDefaultDir (only when not
// empty), SyncType, BackUp, SkipSame, VerifyCopy and ScanDrives (only when not empty, as
// a flow sequence: [D, Z]), in that order, exactly as the emitter produces it.
std::string EmitSettingsText(const SettingsFields& fields);
