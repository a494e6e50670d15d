#include "syncfolderapp/mainwnd/previewpane.h"

#include <algorithm>

#include "syncfolderapp/mainwnd/namedcontrol.h"
#include "uikit/listctrl_win.h"
#include "uikit/text_win.h"

namespace {

constexpr int kSourceColumn = 1;
constexpr int kTargetColumn = 2;

}  // namespace

CPreviewPane::CPreviewPane(const uikit::SHostWnd& window, CFileArea& fileArea)
    : area(fileArea), lv_plan(window, "lv_plan", "listctrl"), txt_plan_summary(window, "txt_plan_summary", "text")
{
}

void CPreviewPane::Expect(SyncJob expected)
{
    Discard();
    job = std::move(expected);
}

void CPreviewPane::ShowPlan(std::vector<PlanRow> rows)
{
    if (!job)
        return;
    if (txt_plan_summary)
        txt_plan_summary->SetText(PlanSummaryLine(CountPlan(rows), rows.size()));
    pendingRows = std::move(rows);
    filledRows = 0;
    shown = true;
    area.Show(CFileArea::PreviewPage);
}

bool CPreviewPane::FillMore()
{
    const std::size_t end = std::min(pendingRows.size(), filledRows + kRowsPerStep);
    for (; lv_plan && filledRows < end; ++filledRows) {
        const PlanRow& row = pendingRows[filledRows];
        const int index = lv_plan->InsertItem(lv_plan->GetItemCount(), PlanActionText(row.action));
        lv_plan->SetItemText(index, kSourceColumn, row.source);
        lv_plan->SetItemText(index, kTargetColumn, row.target);
    }
    if (lv_plan && filledRows < pendingRows.size())
        return true;
    pendingRows = {};
    filledRows = 0;
    return false;
}

std::optional<SyncJob> CPreviewPane::TakeJob()
{
    std::optional<SyncJob> taken = shown ? std::move(job) : std::nullopt;
    Discard();
    return taken;
}

void CPreviewPane::Discard()
{
    const bool planShown = shown;
    job.reset();
    shown = false;
    pendingRows = {};
    filledRows = 0;
    if (!planShown)
        return;  // the page holds no plan (and may not be built yet)
    if (lv_plan && lv_plan->GetItemCount() > 0)
        lv_plan->DeleteAllItems();
    if (txt_plan_summary)
        txt_plan_summary->SetText(L"");
}
