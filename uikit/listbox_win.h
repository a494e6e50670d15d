#pragma once

#include <string>

#include "uikit/control_win.h"

namespace uikit {

// An owner-drawn list box of text lines: row height, text padding and colours.
class SListBox : public SControl {
public:
    SListBox(SHostWnd& host, LayoutNode& node, SControl* parent);
    bool Create(HWND parentHwnd) override;
    bool Reflect(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    int GetCount() const;
    int AddString(const std::wstring& text);
    int InsertString(int index, const std::wstring& text);
    bool DeleteString(int index);
    void ResetContent();
    std::wstring GetText(int index) const;
    int GetCurSel() const;
    bool SetCurSel(int index);
    // Scrolls so that line `index` is in view.
    void EnsureVisible(int index) const;

private:
    const int textPadding_;
};

}  // namespace uikit
