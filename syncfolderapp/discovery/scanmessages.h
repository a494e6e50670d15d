#pragma once

// The scan's notification to the main window, UM_SCAN_NOTIFY, sent synchronously:
//   SCAN_BEGIN    from the window thread when a scan starts, lParam 0
//   SCAN_RESULTS  from the worker, lParam the address of the ScanResultList of one drive,
//                 valid only until SendMessageW returns
//   SCAN_END      from the worker after the last drive, lParam 0

#include <string>
#include <vector>

#include "syncfolderapp/sync/syncmessages.h"

// The directories found on one drive, in the order they were found.
using ScanResultList = std::vector<std::wstring>;
