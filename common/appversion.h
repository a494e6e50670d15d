#pragma once

#include <string>

// The program's product version as "major.minor.build" (1.0.1 for 1.0.1.5), or an empty
// string when the program file carries no readable version information.
std::wstring GetAppVersion();
