#pragma once

// The program's own window messages between the worker and the main window.

// A version-directory scan: begin (window thread), the directories found on one drive
// (lParam, worker), end (worker). Sent synchronously.
inline constexpr unsigned int UM_SCAN_NOTIFY = 0x2401;
inline constexpr unsigned int SCAN_BEGIN = 1;
inline constexpr unsigned int SCAN_RESULTS = 2;
inline constexpr unsigned int SCAN_END = 4;

// A sync run: begin (window thread, before the task is posted), end with the success
// count in lParam (worker, which waits until the window has handled it). Sent synchronously.
inline constexpr unsigned int UM_SYNC_NOTIFY = 0x2402;
inline constexpr unsigned int SYNC_BEGIN = 5;
inline constexpr unsigned int SYNC_END = 7;
// The undo of the last run, through the same message: begin (window thread), end with the
// number of targets put back in lParam, or kUndoJournalDamaged or kUndoJournalInUse (worker,
// waiting as above).
inline constexpr unsigned int UNDO_BEGIN = 8;
inline constexpr unsigned int UNDO_END = 9;

// Result lines are waiting in the controller's queue of that kind. Posted by the worker.
inline constexpr unsigned int UM_LOG_NOTIFY = 0x2403;
inline constexpr unsigned int LOG_NOTIFY_SYNC = 0;
inline constexpr unsigned int LOG_NOTIFY_ERROR = 1;

// The plan of a preview is computed (worker; lParam: the std::vector<PlanRow>, which the
// window may move from, or 0 when the task was refused; sent synchronously), or more of
// its rows are to go into the list (window thread; posted).
inline constexpr unsigned int UM_PLAN_NOTIFY = 0x2404;
inline constexpr unsigned int PLAN_END = 8;
inline constexpr unsigned int PLAN_FILL = 9;
