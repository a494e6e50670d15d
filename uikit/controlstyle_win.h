#pragma once

// The appearance of a control, read from its layout node once when the control is built
// (style classes already applied); painting uses only these values and parses nothing.

#include <memory>
#include <optional>

#include <windows.h>

#include "uikit/color.h"
#include "uikit/layoutnode.h"
#include "uikit/render_win.h"
#include "uikit/textdraw_win.h"

namespace uikit {

struct ControlStyle {
    std::optional<Color> back;                // colorBkgnd
    std::optional<Color> text;                // colorText
    std::optional<Color> textHover;           // colorTextHover
    std::optional<Color> textPush;            // colorTextPush
    std::optional<Color> textDisable;         // colorTextDisable
    std::optional<Color> itemBack;            // colorItemBkgnd
    std::optional<Color> itemBack2;           // colorItemBkgnd2: every second row
    std::optional<Color> itemHotBack;         // colorItemHotBkgnd
    std::optional<Color> itemSelBack;         // colorItemSelBkgnd
    std::optional<Color> selText;             // colorSelText
    std::optional<Color> track;               // colorTrack
    std::optional<Color> bar;                 // colorBar
    std::optional<Color> separator;           // colorSep
    std::shared_ptr<const SSkin> skin;        // skin
    std::shared_ptr<const SSkin> borderSkin;  // borderSkin
    HFONT font = nullptr;                     // font, fontsize, bold, italic, underline
    HFONT hoverFont = nullptr;                // underlined when hoverUnderline is set; else font
    std::optional<TextAlign> align;           // textalign
    LPCWSTR cursor = nullptr;                 // cursor: IDC_HAND for "hand", else IDC_ARROW; null if not given
};

// Resolves colours through the colour table, skins through the skin table and the font
// through the render factory of the application object, made for a screen of `dpi`.
ControlStyle ReadStyle(const LayoutNode& node, int dpi);

// The colour as a COLORREF, or `fallback` when the style does not set it.
COLORREF ColorOr(const std::optional<Color>& color, COLORREF fallback);

}  // namespace uikit
