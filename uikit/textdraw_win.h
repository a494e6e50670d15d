#pragma once

// Text measuring and drawing with the toolkit's own line breaking: at line feeds, at the
// last blank that fits, or between any two characters (Chinese text has no blanks).

#include <string>
#include <vector>

#include <windows.h>

#include "common/winhandle.h"
#include "uikit/geometry.h"

namespace uikit {

enum class TextAlign { Left, Center, Right };

// Lines of `text` in the font selected into `dc`; `maxWidth` <= 0 breaks only at line feeds.
std::vector<std::wstring> WrapLines(HDC dc, const std::wstring& text, int maxWidth);
// Measures texts in one font with one device context, for many texts in a row.
class TextMeasure {
public:
    explicit TextMeasure(HFONT font);
    // Size of the wrapped text ('&' prefixes are not counted when `prefix` is set).
    Size Of(const std::wstring& text, int maxWidth = 0, bool prefix = false) const;

private:
    MemoryDc memory_;
    SelectedObject selected_;
};

// Size of the wrapped text in `font` ('&' prefixes are not counted when `prefix` is set).
Size MeasureText(HFONT font, const std::wstring& text, int maxWidth, bool prefix = false);
// Draws the wrapped text in `rect`, vertically centred when it is shorter than the rectangle.
void DrawWrapped(HDC dc, HFONT font, const std::wstring& text, const RECT& rect, COLORREF color, TextAlign align,
                 bool wrap, bool prefix = false);

}  // namespace uikit
