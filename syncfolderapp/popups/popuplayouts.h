#pragma once
// The layout identifiers the popups are built from, stored once by the shell when the
// main window is created and read each time a popup is built.
#include <string>

inline constexpr char kToastLayoutId[] = "LAYOUT:XML_TOAST";
inline constexpr char kToolTipLayoutId[] = "LAYOUT:XML_TOOLTIP";

void SetPopupLayouts(std::string toastLayout, std::string toolTipLayout);
const std::string& ToastLayout();
const std::string& ToolTipLayout();
