#pragma once

#include <functional>

#include "uikit/hostdialog_win.h"

namespace testsupport {

// The code a dialog is ended with when a step left it open by mistake, so that the test
// fails instead of hanging in the modal loop.
inline constexpr INT_PTR kLeftOpen = 99;

// Runs `step` on the running modal dialog once its loop runs: a thread timer fires inside
// whatever loop dispatches this thread's messages, the dialog's own included. A dialog
// still open ten seconds later is ended with kLeftOpen.
void WhenDialogRuns(std::function<void(uikit::SHostDialog&)> step);
// Cancels a step that has not run and the ten-second guard.
void StopDialogSteps();
// The modal dialog of this thread that takes input now (the innermost), or null.
uikit::SHostDialog* RunningDialog();

}  // namespace testsupport
