#include "uikit/resprovider_win.h"

#include <cwctype>

#include "uikit/wtext_win.h"

namespace uikit {

HRSRC SResProvider::Find(std::string_view id) const
{
    if (!module_)
        return nullptr;
    const size_t colon = id.find(':');
    if (colon == 0 || colon == std::string_view::npos || colon + 1 >= id.size())
        return nullptr;
    std::wstring type = Widen(id.substr(0, colon));
    std::wstring name = Widen(id.substr(colon + 1));
    // Resource compilers store names in upper case; look up both spellings.
    HRSRC found = FindResourceW(module_, name.c_str(), type.c_str());
    if (!found) {
        for (auto* text : {&type, &name}) {
            for (wchar_t& c : *text)
                c = static_cast<wchar_t>(std::towupper(c));
        }
        found = FindResourceW(module_, name.c_str(), type.c_str());
    }
    return found;
}

bool SResProvider::Load(std::string_view id, std::string& bytes) const
{
    HRSRC info = Find(id);
    if (!info)
        return false;
    HGLOBAL loaded = LoadResource(module_, info);
    const DWORD size = SizeofResource(module_, info);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return false;
    bytes.assign(static_cast<const char*>(data), size);
    return true;
}

bool SResProvider::Has(std::string_view id) const
{
    return Find(id) != nullptr;
}

}  // namespace uikit
