#pragma once

// The button "撤销上次同步" (`but_undo_sync`) on the log page: enabled while the journal
// folder holds a run not yet undone, also right after a start of the program, unless the
// last run of this window went without a journal (an undo would then take an earlier
// run); and the question the operator answers before an undo.

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
    // A run starts: with its journal, or without one, which greys the button until a run
    // that keeps one.
    void RunStarts(bool withJournal) { lastRunJournaled = withJournal; }
    // True when there is a run to undo and the operator answered "确定撤销上次同步吗?" with
    // 是 (否 is the box's default).
    bool Confirmed(HWND owner) const;

private:
    bool CanUndo() const;

    NamedControl<uikit::SButton> but_undo_sync;
    std::wstring folder;
    bool lastRunJournaled = true;
};
