#include "uikit/listctrl_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <string_view>

#include "common/newerapi.h"
#include "common/textutil.h"
#include "uikit/application_win.h"
#include "uikit/dpiscale.h"
#include "uikit/hostwnd_win.h"
#include "uikit/textdraw_win.h"

namespace uikit {
namespace {

constexpr wchar_t kListOwnerProp[] = L"SUiListCtrl.owner";

int ColumnFormat(const std::string& align)
{
    if (align == "center" || align == "centre")
        return LVCFMT_CENTER;
    if (align == "right")
        return LVCFMT_RIGHT;
    return LVCFMT_LEFT;
}

// Posted to the list to bring the native list up to date on the next turn of the loop.
UINT SyncMessage()
{
    static const UINT message = RegisterWindowMessageW(L"SUiListCtrl.sync");
    return message;
}

SListCtrl* OwnerOf(HWND hwnd)
{
    return static_cast<SListCtrl*>(GetPropW(hwnd, kListOwnerProp));
}

// As many whole characters of the narrow `text` as fit into `out` with its zero; a
// double-byte character is never cut in half.
void CopyWholeCharacters(const std::string& text, char* out, int capacity)
{
    size_t length = 0;
    while (length < text.size()) {
        const size_t next = length + (IsDBCSLeadByte(static_cast<BYTE>(text[length])) ? 2 : 1);
        if (next >= static_cast<size_t>(capacity) || next > text.size())
            break;
        length = next;
    }
    text.copy(out, length);
    out[length] = '\0';
}

// The list's <header> element (the last one, if several are given), or null.
const LayoutNode* HeaderNodeOf(const LayoutNode& list)
{
    const LayoutNode* header = nullptr;
    for (const auto& child : list.children) {
        if (child->kind == "header")
            header = child.get();
    }
    return header;
}

}  // namespace

SListCtrl::SListCtrl(SHostWnd& host, LayoutNode& node, SControl* parent)
    : SControl(host, node, parent),
      headerNode_(HeaderNodeOf(node)),
      headerStyle_(headerNode_ ? ReadStyle(*headerNode_, host.Dpi()) : ControlStyle{}),
      fixedColumns_(headerNode_ && headerNode_->BoolAttr("fixed", false)),
      hotTrack_(node.BoolAttr("hotTrack", false))
{
}

SListCtrl::~SListCtrl()
{
    if (hwnd_ && IsWindow(hwnd_)) {
        if (listProc_)
            SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listProc_));
        RemovePropW(hwnd_, kListOwnerProp);
        if (HWND header = Header()) {
            if (headerProc_)
                SetWindowLongPtrW(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(headerProc_));
            RemovePropW(header, kListOwnerProp);
            Attach(header, nullptr);
        }
    }
}

bool SListCtrl::Create(HWND parentHwnd)
{
    // The control owns the row-height image list, so the native list must not free it.
    DWORD style = LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | WS_TABSTOP;
    if (!node_.BoolAttr("multiSelect", true))
        style |= LVS_SINGLESEL;
    if (!headerNode_ || !headerNode_->BoolAttr("sort", false))
        style |= LVS_NOSORTHEADER;
    if (!CreateNative(parentHwnd, WC_LISTVIEWW, style, node_.BoolAttr("border", false) ? WS_EX_CLIENTEDGE : 0))
        return false;

    // Set up without redrawing: otherwise each column and setting lays the list out and
    // repaints it again, which made up most of its creation time.
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    DWORD ex = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
    checkBoxes_ = node_.BoolAttr("checkBox", false);
    if (checkBoxes_)
        ex |= LVS_EX_CHECKBOXES;
    if (headerNode_ && headerNode_->BoolAttr("swap", false))
        ex |= LVS_EX_HEADERDRAGDROP;
    ListView_SetExtendedListViewStyle(hwnd_, ex);
    // The check boxes are drawn from the rows' own state (image 1 unchecked, 2 checked).
    if (checkBoxes_)
        ListView_SetCallbackMask(hwnd_, LVIS_STATEIMAGEMASK);
    const COLORREF back = ColorOr(style_.back, RGB(255, 255, 255));
    ListView_SetBkColor(hwnd_, back);
    ListView_SetTextBkColor(hwnd_, back);
    ListView_SetTextColor(hwnd_, ColorOr(style_.text, RGB(0x33, 0x33, 0x33)));

    SetPropW(hwnd_, kListOwnerProp, this);
    listProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProc)));
    if (HWND header = Header()) {
        Attach(header, this);
        SendMessageW(header, WM_SETFONT, reinterpret_cast<WPARAM>(style_.font), FALSE);
        SetPropW(header, kListOwnerProp, this);
        headerProc_ =
            reinterpret_cast<WNDPROC>(SetWindowLongPtrW(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HeaderProc)));
    }

    ReadColumns();
    settingWidths_ = true;
    for (size_t i = 0; i < columns_.size(); ++i) {
        LVCOLUMNW lvc{};
        lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        lvc.fmt = columns_[i].format;
        lvc.cx = columns_[i].width;
        lvc.pszText = columns_[i].name.data();
        lvc.iSubItem = static_cast<int>(i);
        ListView_InsertColumn(hwnd_, static_cast<int>(i), &lvc);
    }
    settingWidths_ = false;
    // The list keeps column 0 left-aligned whatever its format; its header caption can
    // still be aligned.
    if (!columns_.empty() && columns_[0].format != LVCFMT_LEFT && Header()) {
        HDITEMW hdi{};
        hdi.mask = HDI_FORMAT;
        Header_GetItem(Header(), 0, &hdi);
        hdi.fmt = (hdi.fmt & ~HDF_JUSTIFYMASK) | (columns_[0].format == LVCFMT_CENTER ? HDF_CENTER : HDF_RIGHT);
        Header_SetItem(Header(), 0, &hdi);
    }
    ApplySizes();
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    return true;
}

void SListCtrl::ReadColumns()
{
    if (!headerNode_)
        return;
    for (const auto& child : headerNode_->children) {
        Column column;
        column.text = FromUtf8(SApplication::Get()->Ui().ResolveText(child->AttrOr("text", "")));
        const std::string* name = child->Attr("name");
        column.name = name ? FromUtf8(SApplication::Get()->Ui().ResolveText(*name)) : column.text;
        const Extent width = ParseExtent(child->AttrOr("width", "100"));
        column.share = width.mode == SizeMode::Share || width.mode == SizeMode::Fill;
        column.baseWidth = width.mode == SizeMode::Fixed ? width.value : 0;
        column.width = Scale(column.baseWidth);
        column.format = ColumnFormat(child->AttrOr("align", "left"));
        columns_.push_back(column);
    }
}

void SListCtrl::ApplySizes()
{
    const int rowHeight = node_.IntAttr("rowHeight", 0);
    if (rowHeight > 0)
        SetRowHeight(Scale(rowHeight));
    headerHeight_ = headerNode_ ? Scale(headerNode_->IntAttr("height", 0)) : 0;
    // The header asks for its height (HDM_LAYOUT) when its frame changes.
    if (HWND header = Header())
        SetWindowPos(header, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void SListCtrl::SetRowHeight(int rowHeight)
{
    // Rows are as high as the small images: a list of one-pixel-wide images sets the
    // height. Some list implementations add padding to the image height, so one row is
    // measured and the images corrected until rows come out exactly as high as asked; an
    // empty list is shown one row for the measurement.
    ImageList images(ImageList_Create(1, rowHeight, ILC_COLOR32, 1, 0));
    if (!images)
        return;
    ListView_SetImageList(hwnd_, images.Get(), LVSIL_SMALL);
    rowHeightList_ = std::move(images);
    const bool empty = nativeCount_ == 0;
    if (empty)
        Native(LVM_SETITEMCOUNT, 1, LVSICF_NOSCROLL);
    RECT bounds{};
    bounds.left = LVIR_BOUNDS;
    const bool measured = Native(LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&bounds)) != FALSE;
    if (empty)
        Native(LVM_SETITEMCOUNT, 0, LVSICF_NOSCROLL);
    const int actual = bounds.bottom - bounds.top;
    const int corrected = rowHeight - (actual - rowHeight);
    if (!measured || actual == rowHeight || corrected <= 0)
        return;
    ImageList replacement(ImageList_Create(1, corrected, ILC_COLOR32, 1, 0));
    if (!replacement)
        return;
    ListView_SetImageList(hwnd_, replacement.Get(), LVSIL_SMALL);
    rowHeightList_ = std::move(replacement);
}

void SListCtrl::OnDpiChanged()
{
    SControl::OnDpiChanged();
    headerStyle_ = headerNode_ ? ReadStyle(*headerNode_, host_.Dpi()) : ControlStyle{};
    if (!hwnd_)
        return;
    if (HWND header = Header())
        SendMessageW(header, WM_SETFONT, reinterpret_cast<WPARAM>(style_.font), FALSE);
    settingWidths_ = true;
    for (size_t i = 0; i < columns_.size(); ++i) {
        columns_[i].width = Scale(columns_[i].baseWidth);
        if (!columns_[i].share)
            ListView_SetColumnWidth(hwnd_, static_cast<int>(i), columns_[i].width);
    }
    settingWidths_ = false;
    ApplySizes();
    OnLayout();
}

HWND SListCtrl::Header() const
{
    return hwnd_ ? ListView_GetHeader(hwnd_) : nullptr;
}

void SListCtrl::OnLayout()
{
    if (!hwnd_)
        return;
    RECT client;
    GetClientRect(hwnd_, &client);
    int fixed = 0, shares = 0;
    for (const Column& c : columns_) {
        if (c.share)
            ++shares;
        else
            fixed += c.width;
    }
    if (shares == 0)
        return;
    // Leave room for a vertical scroll bar so that no horizontal one appears.
    const int scrollBar = SystemMetricForDpi(SM_CXVSCROLL, host_.Dpi());
    const int room = std::max<int>(client.right - fixed - scrollBar, Scale(20));
    settingWidths_ = true;
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (columns_[i].share) {
            columns_[i].width = room / shares;
            ListView_SetColumnWidth(hwnd_, static_cast<int>(i), columns_[i].width);
        }
    }
    settingWidths_ = false;
}

void SListCtrl::OnColumnResized(const NMHEADERW& change)
{
    if (settingWidths_ || !change.pitem || !(change.pitem->mask & HDI_WIDTH) || change.iItem < 0 ||
        change.iItem >= GetColumnCount())
        return;
    Column& column = columns_[static_cast<size_t>(change.iItem)];
    column.width = change.pitem->cxy;
    column.baseWidth = RescalePx(column.width, host_.Dpi(), kBaseDpi);
    column.share = false;
}

int SListCtrl::ColumnWidth(int column) const
{
    return hwnd_ && column >= 0 && column < GetColumnCount() ? ListView_GetColumnWidth(hwnd_, column) : 0;
}

bool SListCtrl::OnKey(UINT key, bool ctrl)
{
    if (ctrl && key == 'A') {
        SelectAll();
        return true;
    }
    const std::string* button = node_.Attr("deleteKey");
    if (!ctrl && key == VK_DELETE && button) {
        host_.PressButton(*button);
        return true;
    }
    return false;
}

int SListCtrl::GetItemCount() const
{
    return hwnd_ ? static_cast<int>(rows_.size()) : 0;
}

LRESULT SListCtrl::Native(UINT msg, WPARAM wParam, LPARAM lParam) const
{
    if (!hwnd_)
        return 0;
    return listProc_ ? CallWindowProcW(listProc_, hwnd_, msg, wParam, lParam)
                     : SendMessageW(hwnd_, msg, wParam, lParam);
}

void SListCtrl::MarkChanged() const
{
    outOfDate_ = true;
    if (hwnd_ && !syncPosted_)
        syncPosted_ = PostMessageW(hwnd_, SyncMessage(), 0, 0) != FALSE;
}

void SListCtrl::Sync() const
{
    if (!outOfDate_ || !hwnd_)
        return;
    outOfDate_ = false;
    const int count = GetItemCount();
    if (count != nativeCount_) {
        nativeCount_ = count;
        Native(LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOSCROLL);
    }
    if (restoreTop_ >= 0) {
        const int top = std::min(restoreTop_, count - 1);
        restoreTop_ = -1;
        RECT first{};
        first.left = LVIR_BOUNDS;
        if (top > 0 && Native(LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first))) {
            const auto lines = top - static_cast<int>(Native(LVM_GETTOPINDEX, 0, 0));
            Native(LVM_SCROLL, 0, lines * (first.bottom - first.top));
        }
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void SListCtrl::DropSelection()
{
    if (!hwnd_ || nativeCount_ == 0)
        return;
    Native(LVM_SETSELECTIONMARK, 0, -1);
    if (Native(LVM_GETSELECTEDCOUNT, 0, 0) == 0 && Native(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED) == -1)
        return;
    // Unselecting row by row costs the native list a repaint request per row (seconds for
    // a selection of 100,000 rows); emptying it drops the selection and the focus mark at
    // once. Sync gives it the rows back and returns to the same top row.
    if (restoreTop_ < 0)
        restoreTop_ = static_cast<int>(Native(LVM_GETTOPINDEX, 0, 0));
    Native(LVM_SETITEMCOUNT, 0, LVSICF_NOSCROLL);
    nativeCount_ = 0;
    MarkChanged();
}

int SListCtrl::InsertItem(int row, const std::wstring& text)
{
    if (!hwnd_)
        return -1;
    const int at = std::clamp(row, 0, GetItemCount());
    Row added;
    added.texts.resize(static_cast<size_t>(TextColumns()));
    added.texts[0] = text;
    if (at < GetItemCount()) {
        // Rows below move down: the native selection would now mark other rows.
        DropSelection();
        hotRow_ = -1;
    }
    rows_.insert(rows_.begin() + at, std::move(added));
    MarkChanged();
    return at;
}

bool SListCtrl::SetItemText(int row, int column, const std::wstring& text)
{
    if (!hwnd_ || !ValidRow(row) || column < 0 || column >= TextColumns())
        return false;
    rows_[static_cast<size_t>(row)].texts[static_cast<size_t>(column)] = text;
    MarkChanged();
    return true;
}

std::wstring SListCtrl::GetItemText(int row, int column) const
{
    if (!hwnd_ || !ValidRow(row) || column < 0 || column >= TextColumns())
        return {};
    return rows_[static_cast<size_t>(row)].texts[static_cast<size_t>(column)];
}

bool SListCtrl::DeleteItem(int row)
{
    if (!hwnd_ || !ValidRow(row))
        return false;
    rows_.erase(rows_.begin() + row);
    DropSelection();
    hotRow_ = -1;
    MarkChanged();
    return true;
}

void SListCtrl::DeleteAllItems()
{
    hotRow_ = -1;
    if (!hwnd_)
        return;
    rows_.clear();
    DropSelection();
    MarkChanged();
}

std::vector<std::wstring> SListCtrl::DeleteCheckedItems(int column)
{
    std::vector<std::wstring> removed;
    if (!hwnd_ || column < 0 || column >= TextColumns())
        return removed;
    // One pass: kept rows move up over the removed ones, in order.
    size_t kept = 0;
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].checked) {
            removed.push_back(std::move(rows_[i].texts[static_cast<size_t>(column)]));
        } else {
            if (kept != i)
                rows_[kept] = std::move(rows_[i]);
            ++kept;
        }
    }
    if (removed.empty())
        return removed;
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(kept), rows_.end());
    DropSelection();
    hotRow_ = -1;
    MarkChanged();
    return removed;
}

std::vector<std::wstring> SListCtrl::CheckedItemTexts(int column) const
{
    std::vector<std::wstring> texts;
    if (!hwnd_ || column < 0 || column >= TextColumns())
        return texts;
    for (const Row& row : rows_) {
        if (row.checked)
            texts.push_back(row.texts[static_cast<size_t>(column)]);
    }
    return texts;
}

bool SListCtrl::GetCheckState(int row) const
{
    return hwnd_ && ValidRow(row) && rows_[static_cast<size_t>(row)].checked;
}

bool SListCtrl::SetCheckState(int row, bool checked)
{
    if (!hwnd_ || !ValidRow(row))
        return false;
    Row& target = rows_[static_cast<size_t>(row)];
    if (target.checked != checked) {
        target.checked = checked;
        MarkChanged();
    }
    return true;
}

int SListCtrl::SetAllChecks(bool checked)
{
    int changed = 0;
    for (Row& row : rows_) {
        if (row.checked != checked) {
            row.checked = checked;
            ++changed;
        }
    }
    if (changed > 0)
        MarkChanged();
    return changed;
}

int SListCtrl::InvertChecks()
{
    int checked = 0;
    for (Row& row : rows_) {
        row.checked = !row.checked;
        checked += row.checked ? 1 : 0;
    }
    if (!rows_.empty())
        MarkChanged();
    return checked;
}

bool SListCtrl::IsSelected(int row) const
{
    return hwnd_ && ValidRow(row) && (ListView_GetItemState(hwnd_, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

bool SListCtrl::SetSelected(int row, bool selected)
{
    if (!hwnd_ || !ValidRow(row))
        return false;
    ListView_SetItemState(hwnd_, row, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
    return true;
}

void SListCtrl::SelectAll()
{
    if (hwnd_ && GetItemCount() > 0)
        ListView_SetItemState(hwnd_, -1, LVIS_SELECTED, LVIS_SELECTED);
}

void SListCtrl::EnsureVisible(int row) const
{
    if (hwnd_ && ValidRow(row))
        ListView_EnsureVisible(hwnd_, row, FALSE);
}

void SListCtrl::Redraw() const
{
    Sync();
    Invalidate();
}

void SListCtrl::FillDisplayInfo(LVITEMW& item) const
{
    const bool valid = ValidRow(item.iItem);
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        const Row* row = valid ? &rows_[static_cast<size_t>(item.iItem)] : nullptr;
        const std::wstring* text = row && item.iSubItem >= 0 && item.iSubItem < static_cast<int>(row->texts.size())
                                       ? &row->texts[static_cast<size_t>(item.iSubItem)]
                                       : nullptr;
        const size_t length = text ? std::min(text->size(), static_cast<size_t>(item.cchTextMax - 1)) : 0;
        if (length > 0)
            wmemcpy(item.pszText, text->data(), length);
        item.pszText[length] = L'\0';
    }
    if ((item.mask & LVIF_STATE) && checkBoxes_) {
        const bool checked = valid && rows_[static_cast<size_t>(item.iItem)].checked;
        item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
        item.stateMask |= LVIS_STATEIMAGEMASK;
    }
    if (item.mask & LVIF_IMAGE)
        item.iImage = 0;
}

int SListCtrl::FindRow(const NMLVFINDITEMW& find) const
{
    // Type-ahead: the next row whose first column starts with (or equals) the typed text.
    if (!(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.lvfi.psz || rows_.empty())
        return -1;
    const std::wstring_view wanted(find.lvfi.psz);
    const bool partial = (find.lvfi.flags & LVFI_PARTIAL) != 0;
    const int count = GetItemCount();
    const int start = std::clamp(find.iStart, 0, count);
    const int span = (find.lvfi.flags & LVFI_WRAP) ? count : count - start;
    for (int step = 0; step < span; ++step) {
        const int row = (start + step) % count;
        const std::wstring& text = rows_[static_cast<size_t>(row)].texts[0];
        if (text.size() < wanted.size() || (!partial && text.size() != wanted.size()))
            continue;
        if (CompareStringOrdinal(text.data(), static_cast<int>(wanted.size()), wanted.data(),
                                 static_cast<int>(wanted.size()), TRUE) == CSTR_EQUAL)
            return row;
    }
    return -1;
}

void SListCtrl::ReportToggle(bool checked)
{
    EventArgs args{EventKind::CheckChanged, this, Name(), checked};
    host_.FireEvent(args);
}

void SListCtrl::ToggleRow(int row)
{
    if (!ValidRow(row))
        return;
    Row& target = rows_[static_cast<size_t>(row)];
    target.checked = !target.checked;
    MarkChanged();
    ReportToggle(target.checked);
}

void SListCtrl::ToggleSelectedRows()
{
    // The selected rows all take the opposite of the focused row's state (of the first
    // selected row when the focus is elsewhere); without a selection the focused row flips.
    std::vector<int> selected;
    for (auto row = static_cast<int>(Native(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)); ValidRow(row);
         row = static_cast<int>(Native(LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED)))
        selected.push_back(row);
    const auto focused = static_cast<int>(Native(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (selected.empty()) {
        if (ValidRow(focused))
            ToggleRow(focused);
        return;
    }
    const bool focusSelected = std::find(selected.begin(), selected.end(), focused) != selected.end();
    const int lead = focusSelected ? focused : selected.front();
    const bool checked = !rows_[static_cast<size_t>(lead)].checked;
    for (int row : selected)
        rows_[static_cast<size_t>(row)].checked = checked;
    MarkChanged();
    ReportToggle(checked);
}

void SListCtrl::SetHotRow(int row)
{
    if (row == hotRow_)
        return;
    const int old = hotRow_;
    hotRow_ = row;
    if (old >= 0 && old < GetItemCount())
        ListView_RedrawItems(hwnd_, old, old);
    if (row >= 0)
        ListView_RedrawItems(hwnd_, row, row);
}

LRESULT SListCtrl::CustomDraw(NMLVCUSTOMDRAW* draw)
{
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        const int row = static_cast<int>(draw->nmcd.dwItemSpec);
        const COLORREF normal = ColorOr(style_.itemBack, ColorOr(style_.back, RGB(255, 255, 255)));
        COLORREF back = (row % 2 == 1) ? ColorOr(style_.itemBack2, normal) : normal;
        COLORREF text = ColorOr(style_.text, RGB(0x33, 0x33, 0x33));
        if (IsSelected(row)) {
            back = ColorOr(style_.itemSelBack, RGB(0xCD, 0xE8, 0xFF));
            text = ColorOr(style_.selText, text);
        } else if (row == hotRow_ && hotTrack_) {
            back = ColorOr(style_.itemHotBack, back);
        }
        draw->clrText = text;
        draw->clrTextBk = back;
        // Our colours, not the system's highlight.
        draw->nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS | CDIS_HOT);
        return CDRF_NEWFONT | (ShowsFocusFrame(row) ? CDRF_NOTIFYPOSTPAINT : 0);
    }
    case CDDS_ITEMPOSTPAINT: {
        RECT bounds{};
        bounds.left = LVIR_BOUNDS;
        if (Native(LVM_GETITEMRECT, draw->nmcd.dwItemSpec, reinterpret_cast<LPARAM>(&bounds))) {
            SetTextColor(draw->nmcd.hdc, RGB(0, 0, 0));
            SetBkColor(draw->nmcd.hdc, RGB(255, 255, 255));
            DrawFocusRect(draw->nmcd.hdc, &bounds);
        }
        return CDRF_DODEFAULT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

bool SListCtrl::ShowsFocusFrame(int row) const
{
    return GetFocus() == hwnd_ && host_.FocusCuesShown() &&
           Native(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED) == row;
}

LRESULT SListCtrl::HeaderCustomDraw(NMCUSTOMDRAW* draw) const
{
    // A flat header: white cells, captions in the list's font and colour, and one-pixel
    // separators in the header's `colorSep`.
    const COLORREF back = ColorOr(headerStyle_.back, RGB(255, 255, 255));
    const COLORREF line = ColorOr(headerStyle_.separator, RGB(0xCC, 0xCC, 0xCC));
    HDC dc = draw->hdc;
    switch (draw->dwDrawStage) {
    case CDDS_PREPAINT: {
        RECT client;
        GetClientRect(Header(), &client);
        SetDCBrushColor(dc, back);
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        RECT bottom{client.left, client.bottom - 1, client.right, client.bottom};
        SetDCBrushColor(dc, line);
        FillRect(dc, &bottom, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        return CDRF_NOTIFYITEMDRAW;
    }
    case CDDS_ITEMPREPAINT: {
        const int column = static_cast<int>(draw->dwItemSpec);
        RECT cell = draw->rc;
        SetDCBrushColor(dc, back);
        RECT inner{cell.left, cell.top, cell.right, cell.bottom - 1};
        FillRect(dc, &inner, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        RECT separator{cell.right - 1, cell.top + Scale(3), cell.right, cell.bottom - Scale(4)};
        SetDCBrushColor(dc, line);
        FillRect(dc, &separator, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        if (column >= 0 && column < GetColumnCount()) {
            const Column& c = columns_[static_cast<size_t>(column)];
            RECT text{cell.left + Scale(4), cell.top, cell.right - Scale(4), cell.bottom - 1};
            DrawWrapped(dc, style_.font, c.text, text, ColorOr(style_.text, RGB(0x33, 0x33, 0x33)),
                        c.format == LVCFMT_CENTER  ? TextAlign::Center
                        : c.format == LVCFMT_RIGHT ? TextAlign::Right
                                                   : TextAlign::Left,
                        false);
        }
        return CDRF_SKIPDEFAULT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

bool SListCtrl::Reflect(UINT msg, WPARAM, LPARAM lParam, LRESULT& result)
{
    if (msg != WM_NOTIFY)
        return false;
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    switch (header->code) {
    case NM_CUSTOMDRAW:
        if (header->hwndFrom == hwnd_) {
            result = CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
            return true;
        }
        return false;
    case LVN_GETDISPINFOW:
        if (header->hwndFrom != hwnd_)
            return false;
        FillDisplayInfo(reinterpret_cast<NMLVDISPINFOW*>(lParam)->item);
        result = 0;
        return true;
    case LVN_GETDISPINFOA: {
        if (header->hwndFrom != hwnd_)
            return false;
        // The same answer for a list that asks in the narrow character set.
        LVITEMA& narrow = reinterpret_cast<NMLVDISPINFOA*>(lParam)->item;
        LVITEMW wide{};
        wide.mask = narrow.mask & ~LVIF_TEXT;
        wide.iItem = narrow.iItem;
        wide.iSubItem = narrow.iSubItem;
        wide.state = narrow.state;
        wide.stateMask = narrow.stateMask;
        FillDisplayInfo(wide);
        narrow.state = wide.state;
        narrow.stateMask = wide.stateMask;
        if (narrow.mask & LVIF_IMAGE)
            narrow.iImage = wide.iImage;
        if ((narrow.mask & LVIF_TEXT) && narrow.pszText && narrow.cchTextMax > 0)
            CopyWholeCharacters(ToAnsi(GetItemText(narrow.iItem, narrow.iSubItem)), narrow.pszText, narrow.cchTextMax);
        result = 0;
        return true;
    }
    case LVN_ODFINDITEMW:
        if (header->hwndFrom != hwnd_)
            return false;
        result = FindRow(*reinterpret_cast<NMLVFINDITEMW*>(lParam));
        return true;
    case HDN_ITEMCHANGEDA:
    case HDN_ITEMCHANGEDW:
        // Seen on the way to the list, which sizes its column from it.
        if (header->hwndFrom == Header())
            OnColumnResized(*reinterpret_cast<const NMHEADERW*>(lParam));
        return false;
    case HDN_BEGINTRACKA:
    case HDN_BEGINTRACKW:
    case HDN_DIVIDERDBLCLICKA:
    case HDN_DIVIDERDBLCLICKW: {
        result = fixedColumns_ ? TRUE : FALSE;
        return true;
    }
    default:
        return false;
    }
}

LRESULT CALLBACK SListCtrl::ListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    SListCtrl* self = OwnerOf(hwnd);
    if (!self)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    const WNDPROC original = self->listProc_;
    if (msg == SyncMessage()) {
        self->syncPosted_ = false;
        self->Sync();
        return 0;
    }
    // Whatever reaches the native list sees the rows as they are now.
    if (msg != WM_DESTROY && msg != WM_NCDESTROY)
        self->Sync();
    switch (msg) {
    case WM_MOUSEMOVE: {
        LVHITTESTINFO hit{};
        hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const int row = ListView_HitTest(hwnd, &hit);
        self->SetHotRow(row);
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd, 0};
        TrackMouseEvent(&track);
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        // A press on a row's check box flips that box and nothing else (no selection
        // change, no drag); the native list leaves owner-data boxes alone.
        if (!self->checkBoxes_)
            break;
        // Only the box itself: with full-row selection a hit anywhere on the row may
        // report all parts of the item at once.
        LVHITTESTINFO hit{};
        hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const int row = ListView_SubItemHitTest(hwnd, &hit);
        if (row < 0 || hit.iSubItem != 0 || (hit.flags & LVHT_ONITEM) != LVHT_ONITEMSTATEICON)
            break;
        if (GetFocus() != hwnd)
            SetFocus(hwnd);
        self->ToggleRow(row);
        return 0;
    }
    case WM_KEYDOWN:
        if (self->checkBoxes_ && wParam == VK_SPACE) {
            // Once per press: holding the key down does not flip the boxes back and forth.
            if (!(lParam & (1 << 30)))
                self->ToggleSelectedRows();
            return 0;
        }
        break;
    case WM_CHAR:
        // The space is the toggle key, not the start of a type-ahead search.
        if (self->checkBoxes_ && wParam == L' ')
            return 0;
        break;
    case WM_MOUSELEAVE:
        self->SetHotRow(-1);
        break;
    case WM_NOTIFY: {
        // Header notifications reach the list first; pass them to the control.
        LRESULT result = 0;
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom == self->Header() && header->code == NM_CUSTOMDRAW)
            return self->HeaderCustomDraw(reinterpret_cast<NMCUSTOMDRAW*>(lParam));
        if (header->hwndFrom == self->Header() && header->code != NM_CUSTOMDRAW &&
            self->Reflect(msg, wParam, lParam, result))
            return result;
        break;
    }
    default:
        break;
    }
    return CallWindowProcW(original, hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK SListCtrl::HeaderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    SListCtrl* self = OwnerOf(hwnd);
    if (!self)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    const LRESULT result = CallWindowProcW(self->headerProc_, hwnd, msg, wParam, lParam);
    if (msg == HDM_LAYOUT && self->headerHeight_ > 0) {
        auto* layout = reinterpret_cast<HDLAYOUT*>(lParam);
        layout->pwpos->cy = self->headerHeight_;
        layout->prc->top = layout->pwpos->y + self->headerHeight_;
    }
    return result;
}

}  // namespace uikit
