#pragma once

#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "uikit/control_win.h"

namespace uikit {

// A report list: columns from the layout's <header>, a check box per row, multiple
// selection, row and header heights, and custom colours for normal, alternate, hot and
// selected rows.
class SListCtrl : public SControl {
public:
    using SControl::SControl;
    ~SListCtrl() override;
    bool Create(HWND parentHwnd) override;
    bool Reflect(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnLayout() override;

    int GetColumnCount() const { return static_cast<int>(columns_.size()); }
    int GetItemCount() const;
    // Inserts a row with `text` in column 0 at `row` (clamped to the end); returns its index.
    int InsertItem(int row, const std::wstring& text);
    bool SetItemText(int row, int column, const std::wstring& text);
    std::wstring GetItemText(int row, int column) const;
    bool DeleteItem(int row);
    void DeleteAllItems();
    bool GetCheckState(int row) const;
    bool SetCheckState(int row, bool checked);
    bool IsSelected(int row) const;
    bool SetSelected(int row, bool selected);
    void EnsureVisible(int row) const;
    void Redraw() const { Invalidate(); }
    HWND Header() const;
    int HotRow() const { return hotRow_; }

private:
    struct Column {
        std::wstring text;
        int width = 0;
        bool share = false;
        int format = LVCFMT_LEFT;
    };
    static LRESULT CALLBACK ListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK HeaderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT CustomDraw(NMLVCUSTOMDRAW* draw);
    LRESULT HeaderCustomDraw(NMCUSTOMDRAW* draw) const;
    void SetHotRow(int row);
    void CalibrateRowHeight(int rowHeight);

    std::vector<Column> columns_;
    HIMAGELIST rowHeightList_ = nullptr;
    WNDPROC listProc_ = nullptr;
    WNDPROC headerProc_ = nullptr;
    int headerHeight_ = 0;
    int hotRow_ = -1;
};

}  // namespace uikit
