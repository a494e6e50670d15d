#include "uikit/resprovider_win.h"

#include <cwctype>

#include "common/textutil.h"

namespace uikit {
namespace {

bool SameNameIgnoringCase(const IMAGE_RESOURCE_DIR_STRING_U* stored, const std::wstring& name)
{
    if (stored->Length != name.size())
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        if (std::towupper(stored->NameString[i]) != std::towupper(name[i]))
            return false;
    }
    return true;
}

// The named entry of one level of the module's resource directory, or null.
const IMAGE_RESOURCE_DIRECTORY_ENTRY* FindNamedEntry(const BYTE* root, const IMAGE_RESOURCE_DIRECTORY* dir,
                                                     const std::wstring& name)
{
    const auto* entries = reinterpret_cast<const IMAGE_RESOURCE_DIRECTORY_ENTRY*>(dir + 1);
    for (WORD i = 0; i < dir->NumberOfNamedEntries; ++i) {
        const auto* stored = reinterpret_cast<const IMAGE_RESOURCE_DIR_STRING_U*>(root + entries[i].NameOffset);
        if (SameNameIgnoringCase(stored, name))
            return &entries[i];
    }
    return nullptr;
}

const IMAGE_RESOURCE_DIRECTORY* SubDirectory(const BYTE* root, const IMAGE_RESOURCE_DIRECTORY_ENTRY* entry)
{
    if (entry == nullptr || !entry->DataIsDirectory)
        return nullptr;
    return reinterpret_cast<const IMAGE_RESOURCE_DIRECTORY*>(root + entry->OffsetToDirectory);
}

// Walks the module's resource directory itself, comparing names without regard to case.
// Some loaders search the sorted name lists with a comparison whose order differs from
// the one the resource compiler sorted by (names mixing "_" and letters), and miss
// entries that are there.
std::string_view FindInDirectory(HMODULE module, const std::wstring& type, const std::wstring& name)
{
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE)
        return {};
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& resources = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE];
    if (resources.VirtualAddress == 0 || resources.Size == 0)
        return {};
    const BYTE* root = base + resources.VirtualAddress;

    const auto* types = reinterpret_cast<const IMAGE_RESOURCE_DIRECTORY*>(root);
    const auto* names = SubDirectory(root, FindNamedEntry(root, types, type));
    if (names == nullptr)
        return {};
    const auto* languages = SubDirectory(root, FindNamedEntry(root, names, name));
    if (languages == nullptr || languages->NumberOfNamedEntries + languages->NumberOfIdEntries == 0)
        return {};
    const auto* language = reinterpret_cast<const IMAGE_RESOURCE_DIRECTORY_ENTRY*>(languages + 1);
    if (language->DataIsDirectory)
        return {};
    const auto* data = reinterpret_cast<const IMAGE_RESOURCE_DATA_ENTRY*>(root + language->OffsetToData);
    return {reinterpret_cast<const char*>(base + data->OffsetToData), data->Size};
}

}  // namespace

std::optional<std::string_view> SResProvider::Find(std::string_view id) const
{
    if (!module_)
        return std::nullopt;
    const size_t colon = id.find(':');
    if (colon == 0 || colon == std::string_view::npos || colon + 1 >= id.size())
        return std::nullopt;
    std::wstring type = FromUtf8(id.substr(0, colon));
    std::wstring name = FromUtf8(id.substr(colon + 1));
    // Resource compilers store names in upper case; look up both spellings.
    HRSRC found = FindResourceW(module_, name.c_str(), type.c_str());
    if (!found) {
        for (auto* text : {&type, &name}) {
            for (wchar_t& c : *text)
                c = static_cast<wchar_t>(std::towupper(c));
        }
        found = FindResourceW(module_, name.c_str(), type.c_str());
    }
    if (!found) {
        const std::string_view bytes = FindInDirectory(module_, type, name);
        if (bytes.data() == nullptr)
            return std::nullopt;
        return bytes;
    }
    HGLOBAL loaded = LoadResource(module_, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return std::nullopt;
    return std::string_view(static_cast<const char*>(data), SizeofResource(module_, found));
}

bool SResProvider::Load(std::string_view id, std::string& bytes) const
{
    const auto found = Find(id);
    if (!found)
        return false;
    bytes.assign(found->data(), found->size());
    return true;
}

bool SResProvider::Has(std::string_view id) const
{
    return Find(id).has_value();
}

}  // namespace uikit
