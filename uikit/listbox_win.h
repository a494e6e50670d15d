#pragma once

#include <string>
#include <vector>

#include "uikit/control_win.h"
#include "uikit/textdraw_win.h"

namespace uikit {

// An owner-drawn list box of text lines: row height, text padding and colours. Lines
// wider than the list scroll sideways. With `multiSelect="1"` the operator selects
// several lines (Shift and Ctrl with the mouse or the arrow keys, Ctrl+A for all).
// Ctrl+C copies the selected lines, or every line when none is selected, as text.
class SListBox : public SControl {
public:
    using SControl::SControl;
    bool Create(HWND parentHwnd) override;
    bool Reflect(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnDpiChanged() override;
    bool IsTabStop() const override { return true; }
    bool OnKey(UINT key, bool ctrl) override;
    bool TakesWheel() const override { return true; }

    int GetCount() const;
    int AddString(const std::wstring& text);
    // Adds `lines` at the end keeping only the last `keep` lines of the list: older lines
    // go first, and lines that would go again at once are not added; with `showLast` the
    // last line is brought into view. The list is updated and redrawn once for the batch,
    // its lines measured with one device context. Returns the index of the last line
    // added, or -1.
    int AppendKeepingLast(const std::vector<std::wstring>& lines, int keep, bool showLast);
    int InsertString(int index, const std::wstring& text);
    bool DeleteString(int index);
    void ResetContent();
    std::wstring GetText(int index) const;
    // Selects every line of a several-line list.
    void SelectAll();
    // The selected lines, or every line when none is selected, joined by CR LF.
    std::wstring CopyText() const;
    // Scrolls so that line `index` is in view.
    void EnsureVisible(int index) const;

private:
    int TextWidth(const TextMeasure& measure, const std::wstring& text) const;
    // Widens the sideways scroll range to `width` pixels of line.
    void Widen(int width);
    void ApplySizes();
    int widest_ = 0;  // the widest line added since the list was last empty, with padding
};

}  // namespace uikit
