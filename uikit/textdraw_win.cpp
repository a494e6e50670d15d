#include "uikit/textdraw_win.h"

#include <algorithm>

#include "common/winhandle.h"

namespace uikit {
namespace {

int LineHeight(HDC dc)
{
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    return tm.tmHeight;
}

std::wstring StripPrefix(const std::wstring& text)
{
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size())
            ++i;
        out.push_back(text[i]);
    }
    return out;
}

}  // namespace

std::vector<std::wstring> WrapLines(HDC dc, const std::wstring& text, int maxWidth)
{
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring paragraph = text.substr(start, end - start);
        if (!paragraph.empty() && paragraph.back() == L'\r')
            paragraph.pop_back();
        if (maxWidth <= 0 || paragraph.empty()) {
            lines.push_back(paragraph);
        } else {
            while (!paragraph.empty()) {
                int fit = 0;
                SIZE extent{};
                GetTextExtentExPointW(dc, paragraph.c_str(), static_cast<int>(paragraph.size()), maxWidth, &fit,
                                      nullptr, &extent);
                fit = std::max(fit, 1);  // at least one character a line, or this never ends
                if (fit >= static_cast<int>(paragraph.size())) {
                    lines.push_back(paragraph);
                    break;
                }
                size_t cut = static_cast<size_t>(fit);
                bool atBlank = false;
                const size_t blank = paragraph.rfind(L' ', cut);
                if (blank != std::wstring::npos && blank > 0) {
                    cut = blank;
                    atBlank = true;
                }
                lines.push_back(paragraph.substr(0, cut));
                size_t next = cut;
                while (atBlank && next < paragraph.size() && paragraph[next] == L' ')
                    ++next;
                paragraph.erase(0, next);
            }
        }
        if (end == text.size())
            break;
        start = end + 1;
    }
    return lines;
}

TextMeasure::TextMeasure(HFONT font) : memory_(CreateCompatibleDC(nullptr)), selected_(memory_.Get(), font)
{
}

Size TextMeasure::Of(const std::wstring& text, int maxWidth, bool prefix) const
{
    HDC dc = memory_.Get();
    const std::wstring shown = prefix ? StripPrefix(text) : text;
    Size size;
    const auto lines = WrapLines(dc, shown, maxWidth);
    for (const std::wstring& line : lines) {
        SIZE extent{};
        GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &extent);
        size.cx = std::max<int>(size.cx, extent.cx);
    }
    size.cy = shown.empty() ? LineHeight(dc) : LineHeight(dc) * static_cast<int>(lines.size());
    return size;
}

Size MeasureText(HFONT font, const std::wstring& text, int maxWidth, bool prefix)
{
    return TextMeasure(font).Of(text, maxWidth, prefix);
}

void DrawWrapped(HDC dc, HFONT font, const std::wstring& text, const RECT& rect, COLORREF color, TextAlign align,
                 bool wrap, bool prefix)
{
    const SelectedObject selected(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    const int width = rect.right - rect.left;
    const std::vector<std::wstring> lines = WrapLines(dc, prefix ? StripPrefix(text) : text, wrap ? width : 0);
    const int lineHeight = LineHeight(dc);
    const int total = lineHeight * static_cast<int>(lines.size());
    int y = rect.top + std::max(static_cast<int>(rect.bottom - rect.top - total) / 2, 0);
    UINT format = DT_SINGLELINE | DT_NOCLIP | (prefix ? 0 : DT_NOPREFIX);
    format |= align == TextAlign::Center ? DT_CENTER : align == TextAlign::Right ? DT_RIGHT : DT_LEFT;
    if (prefix && lines.size() == 1) {
        // One line with its mnemonic underlined.
        RECT r{rect.left, y, rect.right, y + lineHeight};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
    } else {
        for (const std::wstring& line : lines) {
            RECT r{rect.left, y, rect.right, y + lineHeight};
            DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &r, format | DT_NOPREFIX);
            y += lineHeight;
        }
    }
}

}  // namespace uikit
