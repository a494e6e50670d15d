#include "uikit/listbox_win.h"

#include <algorithm>
#include <vector>

#include "uikit/clipboard_win.h"
#include "uikit/hostwnd_win.h"
#include "uikit/textdraw_win.h"

namespace uikit {

bool SListBox::Create(HWND parentHwnd)
{
    DWORD style =
        LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP;
    if (node_.BoolAttr("multiSelect", false))
        style |= LBS_EXTENDEDSEL;
    if (!CreateNative(parentHwnd, L"LISTBOX", style))
        return false;
    ApplySizes();
    return true;
}

void SListBox::ApplySizes()
{
    const int rowHeight = node_.IntAttr("rowHeight", 0);
    if (rowHeight > 0)
        SendMessageW(hwnd_, LB_SETITEMHEIGHT, 0, Scale(rowHeight));
}

void SListBox::OnDpiChanged()
{
    SControl::OnDpiChanged();
    if (!hwnd_)
        return;
    ApplySizes();
    widest_ = 0;
    const TextMeasure measure(style_.font);
    for (int i = 0; i < GetCount(); ++i)
        widest_ = std::max(widest_, TextWidth(measure, GetText(i)));
    SendMessageW(hwnd_, LB_SETHORIZONTALEXTENT, widest_, 0);
}

int SListBox::TextWidth(const TextMeasure& measure, const std::wstring& text) const
{
    // The padding on both sides, so that the end of the line is not against the edge.
    return measure.Of(text).cx + 2 * Scale(node_.IntAttr("textPadding", 0));
}

void SListBox::Widen(int width)
{
    if (width <= widest_)
        return;
    widest_ = width;
    SendMessageW(hwnd_, LB_SETHORIZONTALEXTENT, widest_, 0);
}

bool SListBox::Reflect(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg == WM_CTLCOLORLISTBOX) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        const COLORREF back = ColorOr(style_.back, RGB(255, 255, 255));
        SetBkColor(dc, back);
        SetDCBrushColor(dc, back);
        result = reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
        return true;
    }
    if (msg != WM_DRAWITEM)
        return false;
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    const COLORREF text = ColorOr(style_.text, RGB(0x33, 0x33, 0x33));
    const COLORREF back = selected ? ColorOr(style_.itemSelBack, RGB(0xCD, 0xE8, 0xFF))
                                   : ColorOr(style_.itemBack, ColorOr(style_.back, RGB(255, 255, 255)));
    const COLORREF color = selected ? ColorOr(style_.selText, text) : text;
    SetDCBrushColor(item->hDC, back);
    FillRect(item->hDC, &item->rcItem, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    if (item->itemID != static_cast<UINT>(-1)) {
        RECT line = item->rcItem;
        line.left += Scale(node_.IntAttr("textPadding", 0));
        DrawWrapped(item->hDC, style_.font, GetText(static_cast<int>(item->itemID)), line, color, TextAlign::Left,
                    false);
    }
    if ((item->itemState & ODS_FOCUS) && host_.FocusCuesShown()) {
        SetTextColor(item->hDC, RGB(0, 0, 0));
        SetBkColor(item->hDC, RGB(255, 255, 255));
        DrawFocusRect(item->hDC, &item->rcItem);
    }
    result = TRUE;
    return true;
}

bool SListBox::OnKey(UINT key, bool ctrl)
{
    if (!ctrl)
        return false;
    if (key == 'A') {
        SelectAll();
        return true;
    }
    if (key == 'C') {
        SetClipboardText(hwnd_, CopyText());
        return true;
    }
    return false;
}

int SListBox::GetCount() const
{
    return hwnd_ ? static_cast<int>(SendMessageW(hwnd_, LB_GETCOUNT, 0, 0)) : 0;
}

int SListBox::AddString(const std::wstring& text)
{
    return InsertString(-1, text);
}

int SListBox::InsertString(int index, const std::wstring& text)
{
    if (!hwnd_)
        return -1;
    if (index < 0 || index > GetCount())
        index = -1;  // at the end
    const auto at =
        static_cast<int>(SendMessageW(hwnd_, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str())));
    if (at >= 0)
        Widen(TextWidth(TextMeasure(style_.font), text));
    return at;
}

int SListBox::AppendKeepingLast(const std::vector<std::wstring>& lines, int keep, bool showLast)
{
    if (!hwnd_ || lines.empty() || keep <= 0)
        return -1;
    const size_t fresh = std::min(lines.size(), static_cast<size_t>(keep));
    const int keepOld = keep - static_cast<int>(fresh);
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    int widest = widest_;
    if (keepOld == 0) {
        // Every old line goes. The sideways extent is set once, for the new lines, so that
        // the scroll bar does not go and come back.
        SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
        widest = 0;
    } else {
        while (GetCount() > keepOld)
            DeleteString(0);
    }
    const TextMeasure measure(style_.font);
    int last = -1;
    for (size_t i = lines.size() - fresh; i < lines.size(); ++i) {
        const auto at =
            static_cast<int>(SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lines[i].c_str())));
        if (at < 0)
            continue;
        last = at;
        widest = std::max(widest, TextWidth(measure, lines[i]));
    }
    if (widest != widest_) {
        widest_ = widest;
        SendMessageW(hwnd_, LB_SETHORIZONTALEXTENT, widest_, 0);
    }
    // Scrolled while the redraw is off, so that the scroll bars are updated once.
    if (showLast && last > 0)
        EnsureVisible(last);
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    Invalidate();
    return last;
}

bool SListBox::DeleteString(int index)
{
    if (!hwnd_ || index < 0 || index >= GetCount())
        return false;
    return SendMessageW(hwnd_, LB_DELETESTRING, index, 0) != LB_ERR;
}

void SListBox::ResetContent()
{
    if (!hwnd_)
        return;
    SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
    widest_ = 0;
    SendMessageW(hwnd_, LB_SETHORIZONTALEXTENT, 0, 0);
}

std::wstring SListBox::GetText(int index) const
{
    if (!hwnd_ || index < 0 || index >= GetCount())
        return {};
    const LRESULT length = SendMessageW(hwnd_, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got = SendMessageW(hwnd_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
    return text;
}

void SListBox::SelectAll()
{
    if (hwnd_ && GetCount() > 0)
        SendMessageW(hwnd_, LB_SELITEMRANGEEX, 0, GetCount() - 1);
}

std::wstring SListBox::CopyText() const
{
    std::vector<int> lines;
    const auto selected = hwnd_ ? static_cast<int>(SendMessageW(hwnd_, LB_GETSELCOUNT, 0, 0)) : 0;
    if (selected > 0) {
        lines.resize(static_cast<size_t>(selected));
        const auto got = static_cast<int>(
            SendMessageW(hwnd_, LB_GETSELITEMS, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(lines.data())));
        lines.resize(static_cast<size_t>(std::max(got, 0)));
    } else if (selected == LB_ERR && GetCount() > 0 && SendMessageW(hwnd_, LB_GETCURSEL, 0, 0) != LB_ERR) {
        // A one-line list: its one selected line.
        lines.push_back(static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0)));
    }
    if (lines.empty()) {
        for (int i = 0; i < GetCount(); ++i)
            lines.push_back(i);
    }
    std::wstring text;
    for (int line : lines) {
        if (!text.empty())
            text += L"\r\n";
        text += GetText(line);
    }
    return text;
}

void SListBox::EnsureVisible(int index) const
{
    if (!hwnd_ || index < 0 || index >= GetCount())
        return;
    RECT client;
    GetClientRect(hwnd_, &client);
    const int rowHeight = std::max(static_cast<int>(SendMessageW(hwnd_, LB_GETITEMHEIGHT, 0, 0)), 1);
    const int visible = std::max<int>(client.bottom / rowHeight, 1);
    const int top = static_cast<int>(SendMessageW(hwnd_, LB_GETTOPINDEX, 0, 0));
    if (index < top)
        SendMessageW(hwnd_, LB_SETTOPINDEX, index, 0);
    else if (index >= top + visible)
        SendMessageW(hwnd_, LB_SETTOPINDEX, std::max(index - visible + 1, 0), 0);
}

}  // namespace uikit
