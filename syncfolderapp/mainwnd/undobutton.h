#pragma once

// The button "撤销上次同步" (`but_undo_sync`) on the log page: enabled while the journal
// folder holds a run not yet undone, also right after a start of the program, and the
// question the operator answers before an undo.

#include <string>

#include <windows.h>

#include "syncfolderapp/mainwnd/namedcontrol.h"

namespace uikit {
class SHostWnd;
class SButton;
}  // namespace uikit

class CUndoButton {
public:
    CUndoButton(const uikit::SHostWnd& window, std::wstring journalFolder);

    // Enables the button when there is a run to undo.
    void Refresh();
    // True when there is a run to undo and the operator answered "确定撤销上次同步吗?" with 是.
    bool Confirmed(HWND owner) const;

private:
    NamedControl<uikit::SButton> but_undo_sync;
    std::wstring folder;
};
