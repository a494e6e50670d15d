#include "uikit/listbox_win.h"

#include <algorithm>

#include "uikit/textdraw_win.h"

namespace uikit {

SListBox::SListBox(SHostWnd& host, LayoutNode& node, SControl* parent)
    : SControl(host, node, parent), textPadding_(node.IntAttr("textPadding", 0))
{
}

bool SListBox::Create(HWND parentHwnd)
{
    const DWORD style =
        LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP;
    if (!CreateNative(parentHwnd, L"LISTBOX", style))
        return false;
    const int rowHeight = node_.IntAttr("rowHeight", 0);
    if (rowHeight > 0)
        SendMessageW(hwnd_, LB_SETITEMHEIGHT, 0, rowHeight);
    return true;
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
        line.left += textPadding_;
        DrawWrapped(item->hDC, style_.font, GetText(static_cast<int>(item->itemID)), line, color, TextAlign::Left,
                    false);
    }
    result = TRUE;
    return true;
}

int SListBox::GetCount() const
{
    return hwnd_ ? static_cast<int>(SendMessageW(hwnd_, LB_GETCOUNT, 0, 0)) : 0;
}

int SListBox::AddString(const std::wstring& text)
{
    return hwnd_ ? static_cast<int>(SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()))) : -1;
}

int SListBox::InsertString(int index, const std::wstring& text)
{
    if (!hwnd_)
        return -1;
    if (index < 0 || index > GetCount())
        index = -1;  // at the end
    return static_cast<int>(SendMessageW(hwnd_, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str())));
}

bool SListBox::DeleteString(int index)
{
    if (!hwnd_ || index < 0 || index >= GetCount())
        return false;
    return SendMessageW(hwnd_, LB_DELETESTRING, index, 0) != LB_ERR;
}

void SListBox::ResetContent()
{
    if (hwnd_)
        SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
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

int SListBox::GetCurSel() const
{
    return hwnd_ ? static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0)) : -1;
}

bool SListBox::SetCurSel(int index)
{
    return hwnd_ && SendMessageW(hwnd_, LB_SETCURSEL, index, 0) != LB_ERR;
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
