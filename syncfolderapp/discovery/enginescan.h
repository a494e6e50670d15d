#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>

#include "syncfolderapp/discovery/networkprobe.h"
#include "syncfolderapp/discovery/scanmessages.h"
#include "syncfolderapp/sync/syncfileimpl.h"

// The background search for version directories on the chosen drives.

// How many directory levels below a drive root are tested for the marker.
inline constexpr int kEngineScanDepth = 3;

// Appends to `results` each directory below `directory`, down to kEngineScanDepth - depth
// levels, that holds `marker` as a file (not a directory), in depth-first pre-order: a
// directory before anything below it. Recycle-bin folders are skipped, and so is a
// directory link that leads back to a directory the search is already inside. Every
// entry met is counted in `counter`; after every 1000th the search sleeps 1 ms so a
// large disk does not hog the processor. Directories that cannot be listed yield nothing.
void FindMarkedFolders(const std::wstring& directory, ScanResultList& results, const std::wstring& marker, int depth,
                       uint64_t& counter);

// The error report of a network drive that did not answer or cannot be listed: the text
// followed by its root (Z:\), with the system error code.
inline constexpr wchar_t kNetworkScanFailedText[] = L"无法扫描网络磁盘:";
inline constexpr std::uint32_t LINE_NETWORK_SCAN_FAILED = 150;

// The network drives among the drives of a scan, and where those that cannot be scanned
// are reported.
struct NetworkScan {
    std::vector<std::wstring> drives;
    SyncFileImpl* reports = nullptr;
    std::uint32_t probeLimitMs = kNetworkProbeLimitMs;
};

// The scan task: searches each drive letter of `scanDrives` in order from its root and
// sends the window UM_SCAN_NOTIFY with SCAN_RESULTS and the drive's list when it found
// anything, then SCAN_END after the last drive. A network drive's root is probed first
// (ProbeRootListing); one that fails the probe is reported and left out. Runs on the
// worker; the window's thread must keep dispatching messages, as each send waits for it.
void ScanEngineFolders(HWND notifyWindow, const std::vector<std::wstring>& scanDrives, const NetworkScan& network = {});

// True when `path` holds a sub-directory named Mir200.
bool HasMir200Directory(const std::wstring& path);
