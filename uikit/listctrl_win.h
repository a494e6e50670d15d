#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "uikit/control_win.h"

namespace uikit {

// A report list: columns from the layout's <header>, a check box per row (checkBox="1"),
// multiple selection, row and header heights, and custom colours for normal, alternate,
// hot and selected rows.
//
// The rows live in the control, not in the native list: the native list is an owner-data
// list that only knows how many rows there are and asks for the texts and check boxes of
// the rows it paints. Adding, changing and removing rows therefore costs no message to
// the native list per row:
//  - Changes (rows added or removed, texts, check states) mark the list out of date. The
//    native list learns the new row count and repaints once, on the next turn of the
//    message loop, or earlier when anything sends it a message (hit tests, item
//    rectangles, EnsureVisible, selection), so it never answers from a stale count.
//  - Filling a list with many rows in one go is a plain loop of InsertItem, SetItemText
//    and SetCheckState; it repaints once afterwards.
//  - Selection and the focus mark stay in the native list, by index. Appending rows keeps
//    them; inserting a row before the end or deleting rows clears them, so that they never
//    point at other rows than the operator chose.
//  - The operator toggles a check box by clicking it, or the check boxes of the selected
//    rows with the space bar; each such toggle is reported to the host as CheckChanged
//    under the list's name, with the new state of the row clicked (or of the rows set by
//    the space bar). Changes made through this interface are not reported.
//  - Ctrl+A selects every row; Delete presses the button the list names in `deleteKey`,
//    as a click on it would.
//  - A column the operator resizes keeps that width; the columns declared `share` take
//    what the others leave of the list's width. A column's `name` is what accessibility
//    tools call it when its visible caption (`text`) is empty.
class SListCtrl : public SControl {
public:
    SListCtrl(SHostWnd& host, LayoutNode& node, SControl* parent);
    ~SListCtrl() override;
    bool Create(HWND parentHwnd) override;
    bool Reflect(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnLayout() override;
    void OnDpiChanged() override;
    bool IsTabStop() const override { return true; }
    bool OnKey(UINT key, bool ctrl) override;
    bool TakesWheel() const override { return true; }

    int GetColumnCount() const { return static_cast<int>(columns_.size()); }
    int GetItemCount() const;
    // Inserts a row with `text` in column 0 at `row` (clamped to the end); returns its
    // index, or -1 before the window exists.
    int InsertItem(int row, const std::wstring& text);
    bool SetItemText(int row, int column, const std::wstring& text);
    std::wstring GetItemText(int row, int column) const;
    bool DeleteItem(int row);
    void DeleteAllItems();
    bool GetCheckState(int row) const;
    bool SetCheckState(int row, bool checked);
    // Checks or unchecks every row; returns how many rows changed.
    int SetAllChecks(bool checked);
    // Flips the check box of every row; returns how many rows are checked afterwards.
    int InvertChecks();
    // Removes every checked row in one pass, keeping the order of the others, and returns
    // the texts of `column` of the removed rows from top to bottom. For a column that does
    // not exist nothing is removed and the result is empty.
    std::vector<std::wstring> DeleteCheckedItems(int column);
    // The texts of `column` of the checked rows, top to bottom.
    std::vector<std::wstring> CheckedItemTexts(int column) const;
    bool IsSelected(int row) const;
    bool SetSelected(int row, bool selected);
    // Selects every row.
    void SelectAll();
    // The width of a column as it is shown now, or 0.
    int ColumnWidth(int column) const;
    void EnsureVisible(int row) const;
    void Redraw() const;
    HWND Header() const;
    int HotRow() const { return hotRow_; }

private:
    struct Column {
        std::wstring text;  // the caption drawn in the header
        std::wstring name;  // the header item's own text, which accessibility tools read
        // Pixels at 96 dpi: the layout's width, or the operator's once they resized it.
        int baseWidth = 0;
        int width = 0;  // pixels of the current screen
        bool share = false;
        int format = LVCFMT_LEFT;
    };
    struct Row {
        std::vector<std::wstring> texts;  // one per column (at least one)
        bool checked = false;
    };
    static LRESULT CALLBACK ListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK HeaderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT CustomDraw(NMLVCUSTOMDRAW* draw);
    LRESULT HeaderCustomDraw(NMCUSTOMDRAW* draw) const;
    // The dotted frame around the focused row while the list has the focus.
    bool ShowsFocusFrame(int row) const;
    void SetHotRow(int row);
    // Row and header heights and the declared column widths for the host's density.
    void ApplySizes();
    void SetRowHeight(int rowHeight);
    void ReadColumns();
    // Records a width the operator gave a column by dragging or double-clicking its edge.
    void OnColumnResized(const NMHEADERW& change);
    int TextColumns() const { return std::max(GetColumnCount(), 1); }
    bool ValidRow(int row) const { return row >= 0 && row < GetItemCount(); }

    // Marks the native list out of date and arranges for it to be brought up to date on
    // the next turn of the message loop.
    void MarkChanged() const;
    // Gives the native list the current row count and repaints it, if anything changed.
    void Sync() const;
    // Sends to the native list's own procedure, bypassing the catch-up in ListProc: for
    // questions and changes that do not depend on the row count.
    LRESULT Native(UINT msg, WPARAM wParam, LPARAM lParam) const;
    // Clears the selection and the focus mark (rows moved under them), keeping the scroll
    // position.
    void DropSelection();
    void FillDisplayInfo(LVITEMW& item) const;
    int FindRow(const NMLVFINDITEMW& find) const;
    // Operator toggles: the box at `row`, or the selected rows (space bar).
    void ToggleRow(int row);
    void ToggleSelectedRows();
    void ReportToggle(bool checked);

    // The layout's <header> element, if any, and its appearance.
    const LayoutNode* const headerNode_;
    ControlStyle headerStyle_;
    const bool fixedColumns_;  // the header's `fixed`: columns cannot be resized
    const bool hotTrack_;
    std::vector<Column> columns_;
    std::vector<Row> rows_;
    bool checkBoxes_ = false;
    mutable bool outOfDate_ = false;
    mutable bool syncPosted_ = false;
    mutable int nativeCount_ = 0;
    mutable int restoreTop_ = -1;  // top row to return to once the native list has its rows back
    ImageList rowHeightList_;
    WNDPROC listProc_ = nullptr;
    WNDPROC headerProc_ = nullptr;
    int headerHeight_ = 0;
    int hotRow_ = -1;
    bool settingWidths_ = false;  // the list itself changes column widths just now
};

}  // namespace uikit
