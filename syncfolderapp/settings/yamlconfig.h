#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The operator's choices kept between runs in syncfile.config in the data directory.
// Used on the window thread only. No failure is ever reported: every problem with the
// file ends in the defaults (SyncType 1, BackUp, SkipSame and VerifyCopy false, no
// OpenDefaultDir, no scan drives).
class CYamlConfig {
public:
    // Points the settings at `dir` (the data directory, without trailing separator).
    void SetConfigDir(const std::wstring& dir);
    // Reads the file, writing one with the defaults first when there is none.
    void Load();
    // Writes the current values to the file. The old file is replaced only once the new
    // text is completely on disk, so a failed write leaves it as it was.
    void Save();
    // Records the choices of a starting run and saves when anything changed.
    void UpdateChoices(int32_t syncType, bool backUp, bool skipSame, bool verifyCopy);
    // Records the drives accepted in the drive dialog and saves when they changed.
    void RememberScanDrives(const std::vector<std::wstring>& drives);

    std::wstring configDir;
    std::wstring configPath;
    std::wstring configFileName;
    // Carried from the file and back unchanged; nothing else in the program uses it.
    std::wstring OpenDefaultDir;
    std::wstring savedOpenDefaultDir;
    // 0: only files below a Mir200 directory, 1: every file at the same level.
    int32_t SyncType = 1;
    bool BackUp = false;
    // Leave targets alone that look like their source; read every copy back.
    bool SkipSame = false;
    bool VerifyCopy = false;
    // The drive letters the scan walks, as last accepted in the drive dialog; empty until
    // then, which leaves the scan its default drive.
    std::vector<std::wstring> ScanDrives;
};
