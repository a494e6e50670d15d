#include "tools/demodriver/strings_win.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/textutil.h"

namespace demo {
namespace {

std::wstring Unescape(const std::wstring& raw)
{
    static const std::pair<const wchar_t*, wchar_t> kEntities[] = {
        {L"&lt;", L'<'}, {L"&gt;", L'>'}, {L"&quot;", L'"'}, {L"&apos;", L'\''}, {L"&amp;", L'&'}};
    std::wstring text;
    for (size_t i = 0; i < raw.size();) {
        bool replaced = false;
        if (raw[i] == L'&') {
            for (const auto& [entity, ch] : kEntities) {
                const size_t len = wcslen(entity);
                if (raw.compare(i, len, entity) == 0) {
                    text += ch;
                    i += len;
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            text += raw[i++];
    }
    return text;
}

}  // namespace

bool StringTable::Load(const std::wstring& path)
{
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    if (!in)
        return false;
    const std::wstring xml = FromUtf8(std::string(std::istreambuf_iterator<char>(in), {}));
    texts_.clear();
    size_t at = 0;
    while ((at = xml.find(L'<', at)) != std::wstring::npos) {
        if (xml.compare(at, 4, L"<!--") == 0) {
            const size_t end = xml.find(L"-->", at);
            at = end == std::wstring::npos ? xml.size() : end + 3;
            continue;
        }
        const size_t close = xml.find(L'>', at);
        if (close == std::wstring::npos)
            break;
        const std::wstring element = xml.substr(at + 1, close - at - 1);
        at = close + 1;
        const size_t nameEnd = element.find_first_of(L" \t\r\n/");
        const std::wstring key = element.substr(0, nameEnd);
        const size_t value = element.find(L"value=\"");
        if (key.empty() || value == std::wstring::npos)
            continue;
        const size_t start = value + 7;
        const size_t quote = element.find(L'"', start);
        if (quote == std::wstring::npos)
            continue;
        texts_[key] = Unescape(element.substr(start, quote - start));
    }
    return !texts_.empty();
}

std::wstring StringTable::Get(const std::wstring& key) const
{
    const auto it = texts_.find(key);
    return it == texts_.end() ? std::wstring() : it->second;
}

}  // namespace demo
