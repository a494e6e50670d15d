#pragma once
// The layout identifiers the popups are built from, stored once by the shell when the
// main window is created and read each time a popup is built. Until then they are
// "LAYOUT:XML_TOAST" and "LAYOUT:XML_TOOLTIP".
#include <string>

void SetPopupLayouts(std::string toastLayout, std::string toolTipLayout);
const std::string& ToastLayout();
const std::string& ToolTipLayout();
