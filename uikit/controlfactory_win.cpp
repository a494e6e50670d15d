#include "uikit/controlfactory_win.h"

#include "uikit/button_win.h"
#include "uikit/checkbox_win.h"
#include "uikit/containers_win.h"
#include "uikit/icon_win.h"
#include "uikit/image_win.h"
#include "uikit/listbox_win.h"
#include "uikit/listctrl_win.h"
#include "uikit/progress_win.h"
#include "uikit/splitter_win.h"
#include "uikit/tabctrl_win.h"
#include "uikit/text_win.h"

namespace uikit {

std::unique_ptr<SControl> CreateControlFor(SHostWnd& host, LayoutNode& node, SControl* parent)
{
    const std::string& kind = node.kind;
    if (kind == "spacer")
        return nullptr;
    if (kind == "text")
        return std::make_unique<SText>(host, node, parent);
    if (kind == "button" || kind == "imgbtn" || kind == "link")
        return std::make_unique<SButton>(host, node, parent);
    if (kind == "check")
        return std::make_unique<SCheck>(host, node, parent);
    if (kind == "radio")
        return std::make_unique<SRadio>(host, node, parent);
    if (kind == "img")
        return std::make_unique<SImage>(host, node, parent);
    if (kind == "icon")
        return std::make_unique<SIcon>(host, node, parent);
    if (kind == "progress")
        return std::make_unique<SProgress>(host, node, parent);
    if (kind == "listctrl")
        return std::make_unique<SListCtrl>(host, node, parent);
    if (kind == "listbox")
        return std::make_unique<SListBox>(host, node, parent);
    if (kind == "tabctrl")
        return std::make_unique<STabCtrl>(host, node, parent);
    if (kind == "split")
        return std::make_unique<SSplitWnd>(host, node, parent);
    return std::make_unique<SWindow>(host, node, parent);
}

}  // namespace uikit
