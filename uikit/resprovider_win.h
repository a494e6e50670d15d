#pragma once

// Resources embedded in a module, found by "TYPE:NAME" identifiers such as
// "LAYOUT:XML_MAINWND" (type LAYOUT, name XML_MAINWND in the .rc) or "uidef:xml_init".

#include <optional>
#include <string>
#include <string_view>

#include <windows.h>

namespace uikit {

class SResProvider {
public:
    explicit SResProvider(HMODULE module) : module_(module) {}

    // True when the provider has a module to read from.
    bool Init() const { return module_ != nullptr; }
    HMODULE Module() const { return module_; }

    // Copies the resource's bytes; false when the identifier is malformed or absent.
    bool Load(std::string_view id, std::string& bytes) const;
    bool Has(std::string_view id) const;

private:
    // The resource's bytes inside the loaded module.
    std::optional<std::string_view> Find(std::string_view id) const;
    HMODULE module_;
};

}  // namespace uikit
