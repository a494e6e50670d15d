#pragma once

#include <string>

// The program's two directories, derived from the full path of its executable.
struct AppDirectories {
    std::wstring moduleDir;  // directory of the executable, ending in a backslash
    std::wstring dataDir;    // moduleDir + "datadb", no trailing separator
};

// D:\Tools\syncfolder.exe -> D:\Tools\ and D:\Tools\datadb. A path without a backslash
// yields empty directories.
AppDirectories DeriveAppDirectories(const std::wstring& modulePath);
