#pragma once

#include <string>
#include <vector>

#include <windows.h>

// The system's folder and file pickers, modal over `owner`. Both return an empty result
// when the operator cancels or the dialog fails; nothing is reported.

// One directory chosen with the common item dialog (folders only, file-system locations
// only), as the file system names it: no trailing backslash except for a drive root.
// `initialFolder` is used only when it names an existing folder. Needs COM on the
// calling thread.
std::wstring SelectFolder(HWND owner, const std::wstring& initialFolder);

// Any number of files chosen with the open-file dialog, as full paths in the order the
// dialog lists them.
std::vector<std::wstring> SelectFiles(HWND owner, const std::wstring& title, const std::wstring& initialDir);
