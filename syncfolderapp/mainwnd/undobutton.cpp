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
        but_undo_sync->SetEnabled(!CRunJournal::NewestOpen(folder).empty());
}

bool CUndoButton::Confirmed(HWND owner) const
{
    if (CRunJournal::NewestOpen(folder).empty())
        return false;
    return uikit::MessageBox(owner, kUndoAskText, kTipCaption, MB_YESNO | MB_ICONQUESTION) == IDYES;
}
