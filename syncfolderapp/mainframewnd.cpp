#include "syncfolderapp/mainframewnd.h"

#include "syncfolderapp/app.h"

CMainFrameWnd::CMainFrameWnd() : uikit::SHostWnd(kMainWndLayoutId) {}
