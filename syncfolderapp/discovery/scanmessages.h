#pragma once

// The scan's notification to the main window, UM_SCAN_NOTIFY, sent synchronously:
//   SCAN_BEGIN    from the window thread when a scan starts, lParam 0
//   SCAN_RESULTS  from the worker, lParam the address of the ScanResultList of one drive,
//                 valid only until SendMessageW returns
//   SCAN_END      from the worker after the last drive, lParam 0
// The program's message numbers are shared with the sync engine; its header is used when
// it is there, so each number is defined once.

#include <string>
#include <vector>

#if __has_include("syncfolderapp/sync/syncmessages.h")
#include "syncfolderapp/sync/syncmessages.h"
#else
inline constexpr unsigned int UM_SCAN_NOTIFY = 0x2401;
inline constexpr unsigned int SCAN_BEGIN = 1;
inline constexpr unsigned int SCAN_RESULTS = 2;
inline constexpr unsigned int SCAN_END = 4;
#endif

// The directories found on one drive, in the order they were found.
using ScanResultList = std::vector<std::wstring>;
