#include "syncfolderapp/mainwnd/undobutton.h"

#include "syncfolderapp/mainwnd/namedcontrol.h"
#include "syncfolderapp/sync/runjournal.h"
#include "syncfolderapp/mainwnd/uitexts.h"
#include "uikit/button_win.h"
#include "uikit/messagebox_win.h"

CUndoButton::CUndoButton(const uikit::SHostWnd& window, std::wstring journalFolder)
    : but_undo_sync(window, "but_undo_sync", "button"), folder(std::move(journalFolder))
{
}

void CUndoButton::Refresh()
{
    if (but_undo_sync)
        but_undo_sync->SetEnabled(CanUndo());
}

bool CUndoButton::Confirmed(HWND owner) const
{
    return CanUndo() &&
           uikit::MessageBox(owner, kUndoAskText, kTipCaption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

bool CUndoButton::CanUndo() const
{
    return lastRunJournaled && !CRunJournal::NewestOpen(folder).empty();
}
