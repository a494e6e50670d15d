#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "syncfolderapp/mainwnd/filearea.h"
#include "syncfolderapp/mainwnd/namedcontrol.h"
#include "syncfolderapp/sync/syncplan.h"
#include "syncfolderapp/sync/synctask.h"

namespace uikit {
class SHostWnd;
class SListCtrl;
class SText;
}  // namespace uikit

// The preview page of the file area: the summary line `txt_plan_summary` and one row of
// `lv_plan` per pair of the plan, with the job the plan was computed for. That job is
// what "确认同步" runs; it is kept from the moment the plan is asked for until the preview
// is taken or discarded.
class CPreviewPane {
public:
    static constexpr std::size_t kRowsPerStep = 5000;

    CPreviewPane(const uikit::SHostWnd& window, CFileArea& fileArea);

    // The job whose plan is being computed; any earlier preview is gone.
    void Expect(SyncJob job);
    // The computed plan of the expected job, on the preview page with its summary; its
    // rows go into the list by FillMore.
    void ShowPlan(std::vector<PlanRow> rows);
    // Adds the next kRowsPerStep rows of the shown plan to the list, so that no single
    // message of the window holds it long. True while rows remain.
    bool FillMore();
    // True while a shown plan can still be run.
    bool Shown() const { return shown; }
    // The job of the shown plan, once; the preview is gone afterwards.
    std::optional<SyncJob> TakeJob();
    // Forgets the job and empties the page; the page shown stays as it is.
    void Discard();

private:
    CFileArea& area;
    NamedControl<uikit::SListCtrl> lv_plan;
    NamedControl<uikit::SText> txt_plan_summary;
    std::optional<SyncJob> job;
    bool shown = false;
    std::vector<PlanRow> pendingRows;
    std::size_t filledRows = 0;
};
