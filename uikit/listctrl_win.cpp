#include "uikit/listctrl_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include "uikit/application_win.h"
#include "uikit/textdraw_win.h"
#include "uikit/wtext_win.h"

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

SListCtrl* OwnerOf(HWND hwnd)
{
    return static_cast<SListCtrl*>(GetPropW(hwnd, kListOwnerProp));
}

}  // namespace

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
    if (rowHeightList_)
        ImageList_Destroy(rowHeightList_);
}

bool SListCtrl::Create(HWND parentHwnd)
{
    DWORD style = LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP;
    if (!node_.BoolAttr("multiSelect", true))
        style |= LVS_SINGLESEL;
    LayoutNode* headerNode = nullptr;
    for (auto& child : node_.children) {
        if (child->kind == "header")
            headerNode = child.get();
    }
    if (!headerNode || !headerNode->BoolAttr("sort", false))
        style |= LVS_NOSORTHEADER;
    if (!CreateNative(parentHwnd, WC_LISTVIEWW, style, node_.BoolAttr("border", false) ? WS_EX_CLIENTEDGE : 0))
        return false;

    DWORD ex = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
    if (node_.BoolAttr("checkBox", false))
        ex |= LVS_EX_CHECKBOXES;
    if (headerNode && headerNode->BoolAttr("swap", false))
        ex |= LVS_EX_HEADERDRAGDROP;
    ListView_SetExtendedListViewStyle(hwnd_, ex);
    const COLORREF back = ColorRefAttr("colorBkgnd", RGB(255, 255, 255));
    ListView_SetBkColor(hwnd_, back);
    ListView_SetTextBkColor(hwnd_, back);
    ListView_SetTextColor(hwnd_, ColorRefAttr("colorText", RGB(0x33, 0x33, 0x33)));

    // Row height: a small image list one pixel wide and as high as a row.
    const int rowHeight = node_.IntAttr("rowHeight", 0);
    if (rowHeight > 0) {
        rowHeightList_ = ImageList_Create(1, rowHeight, ILC_COLOR32, 1, 0);
        ListView_SetImageList(hwnd_, rowHeightList_, LVSIL_SMALL);
    }

    SetPropW(hwnd_, kListOwnerProp, this);
    listProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProc)));
    if (HWND header = Header()) {
        Attach(header, this);
        SendMessageW(header, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
        headerHeight_ = headerNode ? headerNode->IntAttr("height", 0) : 0;
        SetPropW(header, kListOwnerProp, this);
        headerProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HeaderProc)));
    }

    if (headerNode) {
        for (auto& child : headerNode->children) {
            Column column;
            column.text = Widen(SApplication::Get()->Ui().ResolveText(child->AttrOr("text", "")));
            const Extent width = ParseExtent(child->AttrOr("width", "100"));
            column.share = width.mode == SizeMode::Share || width.mode == SizeMode::Fill;
            column.width = width.mode == SizeMode::Fixed ? width.value : 0;
            column.format = ColumnFormat(child->AttrOr("align", "left"));
            columns_.push_back(column);
        }
    }
    for (size_t i = 0; i < columns_.size(); ++i) {
        LVCOLUMNW lvc{};
        lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        lvc.fmt = columns_[i].format;
        lvc.cx = columns_[i].width;
        lvc.pszText = columns_[i].text.data();
        lvc.iSubItem = static_cast<int>(i);
        ListView_InsertColumn(hwnd_, static_cast<int>(i), &lvc);
    }
    // The list keeps column 0 left-aligned whatever its format; its header caption can
    // still be aligned.
    if (!columns_.empty() && columns_[0].format != LVCFMT_LEFT && Header()) {
        HDITEMW hdi{};
        hdi.mask = HDI_FORMAT;
        Header_GetItem(Header(), 0, &hdi);
        hdi.fmt = (hdi.fmt & ~HDF_JUSTIFYMASK) | (columns_[0].format == LVCFMT_CENTER ? HDF_CENTER : HDF_RIGHT);
        Header_SetItem(Header(), 0, &hdi);
    }
    if (rowHeight > 0)
        CalibrateRowHeight(rowHeight);
    if (HWND header = Header())
        SetWindowPos(header, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    return true;
}

void SListCtrl::CalibrateRowHeight(int rowHeight)
{
    // Some list implementations add padding to the image height: measure one row and
    // correct the image list so that rows come out exactly as high as asked.
    const int row = InsertItem(0, L"");
    RECT bounds{};
    bounds.left = LVIR_BOUNDS;
    const bool measured = SendMessageW(hwnd_, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds)) != FALSE;
    ListView_DeleteItem(hwnd_, row);
    const int actual = bounds.bottom - bounds.top;
    const int corrected = rowHeight - (actual - rowHeight);
    if (!measured || actual == rowHeight || corrected <= 0)
        return;
    HIMAGELIST replacement = ImageList_Create(1, corrected, ILC_COLOR32, 1, 0);
    if (!replacement)
        return;
    ListView_SetImageList(hwnd_, replacement, LVSIL_SMALL);
    ImageList_Destroy(rowHeightList_);
    rowHeightList_ = replacement;
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
    const int room = std::max<int>(client.right - fixed - GetSystemMetrics(SM_CXVSCROLL), 20);
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (columns_[i].share)
            ListView_SetColumnWidth(hwnd_, static_cast<int>(i), room / shares);
    }
}

int SListCtrl::GetItemCount() const
{
    return hwnd_ ? ListView_GetItemCount(hwnd_) : 0;
}

int SListCtrl::InsertItem(int row, const std::wstring& text)
{
    if (!hwnd_)
        return -1;
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = std::clamp(row, 0, GetItemCount());
    std::wstring copy = text;
    item.pszText = copy.data();
    return ListView_InsertItem(hwnd_, &item);
}

bool SListCtrl::SetItemText(int row, int column, const std::wstring& text)
{
    if (!hwnd_ || row < 0 || row >= GetItemCount() || column < 0 || column >= std::max(GetColumnCount(), 1))
        return false;
    std::wstring copy = text;
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = copy.data();
    return SendMessageW(hwnd_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)) != FALSE;
}

std::wstring SListCtrl::GetItemText(int row, int column) const
{
    if (!hwnd_ || row < 0 || row >= GetItemCount())
        return {};
    // Grow the buffer until the text fits: paths can be long.
    for (int size = 512; size <= 65536; size *= 4) {
        std::wstring buffer(static_cast<size_t>(size), L'\0');
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = size;
        const int length = static_cast<int>(SendMessageW(hwnd_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
        if (length < size - 1) {
            buffer.resize(static_cast<size_t>(std::max(length, 0)));
            return buffer;
        }
    }
    return {};
}

bool SListCtrl::DeleteItem(int row)
{
    if (!hwnd_ || row < 0 || row >= GetItemCount())
        return false;
    if (row == hotRow_)
        hotRow_ = -1;
    return ListView_DeleteItem(hwnd_, row) != FALSE;
}

void SListCtrl::DeleteAllItems()
{
    hotRow_ = -1;
    if (hwnd_)
        ListView_DeleteAllItems(hwnd_);
}

bool SListCtrl::GetCheckState(int row) const
{
    if (!hwnd_ || row < 0 || row >= GetItemCount())
        return false;
    return ListView_GetCheckState(hwnd_, row) != 0;
}

bool SListCtrl::SetCheckState(int row, bool checked)
{
    if (!hwnd_ || row < 0 || row >= GetItemCount())
        return false;
    ListView_SetCheckState(hwnd_, row, checked ? TRUE : FALSE);
    return true;
}

bool SListCtrl::IsSelected(int row) const
{
    return hwnd_ && row >= 0 && (ListView_GetItemState(hwnd_, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

bool SListCtrl::SetSelected(int row, bool selected)
{
    if (!hwnd_ || row < 0 || row >= GetItemCount())
        return false;
    ListView_SetItemState(hwnd_, row, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
    return true;
}

void SListCtrl::EnsureVisible(int row) const
{
    if (hwnd_ && row >= 0 && row < GetItemCount())
        ListView_EnsureVisible(hwnd_, row, FALSE);
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
        const COLORREF normal = ColorRefAttr("colorItemBkgnd", ColorRefAttr("colorBkgnd", RGB(255, 255, 255)));
        COLORREF back = (row % 2 == 1) ? ColorRefAttr("colorItemBkgnd2", normal) : normal;
        COLORREF text = ColorRefAttr("colorText", RGB(0x33, 0x33, 0x33));
        if (IsSelected(row)) {
            back = ColorRefAttr("colorItemSelBkgnd", RGB(0xCD, 0xE8, 0xFF));
            text = ColorRefAttr("colorSelText", text);
        } else if (row == hotRow_ && node_.BoolAttr("hotTrack", false)) {
            back = ColorRefAttr("colorItemHotBkgnd", back);
        }
        draw->clrText = text;
        draw->clrTextBk = back;
        // Our colours, not the system's highlight.
        draw->nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS | CDIS_HOT);
        return CDRF_NEWFONT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

LRESULT SListCtrl::HeaderCustomDraw(NMCUSTOMDRAW* draw) const
{
    // A flat header: white cells, captions in the list's font and colour, and one-pixel
    // separators in the header's `colorSep`.
    const LayoutNode* headerNode = nullptr;
    for (auto& child : node_.children) {
        if (child->kind == "header")
            headerNode = child.get();
    }
    const auto color = [&](const char* key, COLORREF fallback) {
        const std::string* value = headerNode ? headerNode->Attr(key) : nullptr;
        const auto parsed = value ? SApplication::Get()->Ui().ResolveColor(*value) : std::nullopt;
        return parsed ? ToColorRef(*parsed) : fallback;
    };
    const COLORREF back = color("colorBkgnd", RGB(255, 255, 255));
    const COLORREF line = color("colorSep", RGB(0xCC, 0xCC, 0xCC));
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
        RECT separator{cell.right - 1, cell.top + 3, cell.right, cell.bottom - 4};
        SetDCBrushColor(dc, line);
        FillRect(dc, &separator, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        if (column >= 0 && column < GetColumnCount()) {
            const Column& c = columns_[static_cast<size_t>(column)];
            RECT text{cell.left + 4, cell.top, cell.right - 4, cell.bottom - 1};
            DrawWrapped(dc, Font(), c.text, text, ColorRefAttr("colorText", RGB(0x33, 0x33, 0x33)),
                        c.format == LVCFMT_CENTER ? TextAlign::Center : c.format == LVCFMT_RIGHT ? TextAlign::Right : TextAlign::Left,
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
    case HDN_BEGINTRACKA:
    case HDN_BEGINTRACKW:
    case HDN_DIVIDERDBLCLICKA:
    case HDN_DIVIDERDBLCLICKW: {
        // Fixed columns cannot be resized.
        const LayoutNode* headerNode = nullptr;
        for (auto& child : node_.children) {
            if (child->kind == "header")
                headerNode = child.get();
        }
        result = headerNode && headerNode->BoolAttr("fixed", false) ? TRUE : FALSE;
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
    case WM_MOUSELEAVE:
        self->SetHotRow(-1);
        break;
    case WM_NOTIFY: {
        // Header notifications reach the list first; pass them to the control.
        LRESULT result = 0;
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom == self->Header() && header->code == NM_CUSTOMDRAW)
            return self->HeaderCustomDraw(reinterpret_cast<NMCUSTOMDRAW*>(lParam));
        if (header->hwndFrom == self->Header() && header->code != NM_CUSTOMDRAW && self->Reflect(msg, wParam, lParam, result))
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
