#include "tests/gui/support/modalstep.h"

namespace testsupport {
namespace {

std::function<void(uikit::SHostDialog&)> g_step;
UINT_PTR g_stepTimer = 0;
UINT_PTR g_guardTimer = 0;

void CALLBACK RunStep(HWND, UINT, UINT_PTR id, DWORD)
{
    uikit::SHostDialog* dialog = RunningDialog();
    if (!dialog)
        return;  // not open yet: the timer fires again
    KillTimer(nullptr, id);
    auto step = std::move(g_step);
    g_step = nullptr;
    if (step)
        step(*dialog);
}

void CALLBACK EndLeftOpen(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    if (uikit::SHostDialog* dialog = RunningDialog())
        dialog->EndDialog(kLeftOpen);
}

}  // namespace

void WhenDialogRuns(std::function<void(uikit::SHostDialog&)> step)
{
    StopDialogSteps();
    g_step = std::move(step);
    g_stepTimer = SetTimer(nullptr, 0, 50, RunStep);
    g_guardTimer = SetTimer(nullptr, 0, 10000, EndLeftOpen);
}

void StopDialogSteps()
{
    KillTimer(nullptr, g_stepTimer);
    KillTimer(nullptr, g_guardTimer);
    g_stepTimer = g_guardTimer = 0;
    g_step = nullptr;
}

uikit::SHostDialog* RunningDialog()
{
    uikit::SHostDialog* found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM out) -> BOOL {
            auto* dialog = dynamic_cast<uikit::SHostDialog*>(uikit::SHostWnd::FromHwnd(hwnd));
            if (dialog && dialog->IsModalRunning() && IsWindowEnabled(hwnd)) {
                *reinterpret_cast<uikit::SHostDialog**>(out) = dialog;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace testsupport
