#include "syncfolderapp/mainwnd/filearea.h"

#include "syncfolderapp/mainwnd/namedcontrol.h"
#include "syncfolderapp/mainwnd/uitexts.h"
#include "uikit/button_win.h"
#include "uikit/tabctrl_win.h"

CFileArea::CFileArea(const uikit::SHostWnd& host)
    : tab_file(FindNamed<uikit::STabCtrl>(host, "tab_file", "tabctrl")),
      but_sync_log(FindNamed<uikit::SButton>(host, "but_sync_log", "button"))
{
}

void CFileArea::Show(Page page)
{
    if (tab_file)
        tab_file->SetCurSel(page);
    if (but_sync_log)
        but_sync_log->SetText(page == LogPage ? kBackToListCaption : kViewLogCaption);
}

bool CFileArea::Shows(Page page) const
{
    return tab_file && tab_file->GetCurSel() == page;
}
