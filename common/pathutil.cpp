#include "common/pathutil.h"

std::wstring GetParentPath(const std::wstring& path)
{
    const auto pos = path.find_last_of(L"\\/");
    if (pos == std::wstring::npos)
        return {};
    if (pos == 0)
        return path.substr(0, 1);
    return path.substr(0, pos);
}

std::wstring ReplaceAll(const std::wstring& text, const std::wstring& pattern, const std::wstring& replacement)
{
    if (pattern.empty())
        return text;
    std::wstring result;
    result.reserve(text.size());
    size_t from = 0;
    for (size_t hit = text.find(pattern); hit != std::wstring::npos; hit = text.find(pattern, from)) {
        result.append(text, from, hit - from);
        result += replacement;
        from = hit + pattern.size();
    }
    result.append(text, from, std::wstring::npos);
    return result;
}

bool IsDotEntry(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

std::vector<std::wstring> SplitString(const std::wstring& text, const std::wstring& delimiter)
{
    std::vector<std::wstring> pieces;
    if (text.empty())
        return pieces;
    if (delimiter.empty()) {
        pieces.push_back(text);
        return pieces;
    }
    size_t from = 0;
    while (from <= text.size()) {
        size_t hit = text.find(delimiter, from);
        if (hit == std::wstring::npos)
            hit = text.size();
        if (hit > from)
            pieces.push_back(text.substr(from, hit - from));
        from = hit + delimiter.size();
    }
    return pieces;
}
