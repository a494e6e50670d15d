#pragma once

#include <string>
#include <vector>

// Disks as single upper-case drive letters without colon, such as D.

// The fixed disks in the order the system reports them (A to Z). Removable, network,
// optical and RAM disks are left out. Empty when the drives cannot be listed.
std::vector<std::wstring> GetFixedDrives();

// The network drives (letters mapped to shares), in the order the system reports them.
// Empty when the drives cannot be listed.
std::vector<std::wstring> GetNetworkDrives();

// The letter of the disk holding the Windows directory, or empty when it is unknown.
std::wstring GetSystemDrive();
