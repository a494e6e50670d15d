#include "syncfolderapp/popups/popuplayouts.h"

#include <utility>

namespace {

// The standard identifiers until the shell stores its own, so a popup is never built
// from an empty identifier.
std::string& ToastSlot()
{
    static std::string id = "LAYOUT:XML_TOAST";
    return id;
}

std::string& ToolTipSlot()
{
    static std::string id = "LAYOUT:XML_TOOLTIP";
    return id;
}

}  // namespace

void SetPopupLayouts(std::string toastLayout, std::string toolTipLayout)
{
    ToastSlot() = std::move(toastLayout);
    ToolTipSlot() = std::move(toolTipLayout);
}

const std::string& ToastLayout()
{
    return ToastSlot();
}

const std::string& ToolTipLayout()
{
    return ToolTipSlot();
}
