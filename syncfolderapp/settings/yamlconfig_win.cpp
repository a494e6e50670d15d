#include "syncfolderapp/settings/yamlconfig.h"

#include <string>
#include <vector>

#include <windows.h>

#include "common/fileutil.h"
#include "common/textutil.h"
#include "common/winhandle.h"
#include "syncfolderapp/settings/settingscodec.h"

namespace {

const wchar_t kConfigFileName[] = L"syncfile.config";
// The new text is written here first and then renamed over the settings file.
const wchar_t kTempSuffix[] = L".tmp";

bool IsReadableFile(const std::wstring& path)
{
    if (path.empty())
        return false;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The whole file; false when it cannot be opened, is too big to be a settings file, or
// delivers fewer bytes than its size.
bool ReadWholeFile(const std::wstring& path, std::string& content)
{
    content.clear();
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size))
        return false;
    if (size.QuadPart < 1)
        return true;
    if (static_cast<unsigned long long>(size.QuadPart) > kMaxSettingsTextSize)
        return false;
    content.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < content.size()) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), content.data() + done, static_cast<DWORD>(content.size() - done), &got, nullptr) ||
            got == 0) {
            content.clear();
            return false;
        }
        done += got;
    }
    return true;
}

bool WriteWholeFile(const std::wstring& path, const std::string& content)
{
    FileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    size_t done = 0;
    while (done < content.size()) {
        DWORD written = 0;
        if (!WriteFile(file.Get(), content.data() + done, static_cast<DWORD>(content.size() - done), &written,
                       nullptr) ||
            written == 0)
            return false;
        done += written;
    }
    // On disk before the rename makes it the settings file.
    return FlushFileBuffers(file.Get()) != FALSE;
}

}  // namespace

void CYamlConfig::SetConfigDir(const std::wstring& dir)
{
    configDir = dir;
    configFileName = kConfigFileName;
    configPath = configDir + L"\\" + configFileName;
}

void CYamlConfig::Load()
{
    // STEP 1: defaults.
    OpenDefaultDir.clear();
    savedOpenDefaultDir = OpenDefaultDir;
    SyncType = 1;
    BackUp = false;
    SkipSame = false;
    VerifyCopy = false;
    ScanDrives.clear();

    // STEP 2: no file yet (or something else in its place): write the defaults.
    if (!IsReadableFile(configPath))
        Save();
    if (!IsReadableFile(configPath))
        return;

    // STEP 3: read and parse; anything unreadable or malformed leaves the defaults.
    std::string content;
    if (!ReadWholeFile(configPath, content))
        return;
    SettingsFields fields;
    if (!ParseSettingsText(content, fields))
        return;

    if (!fields.openDefaultDir.empty()) {
        OpenDefaultDir = FromUtf8(fields.openDefaultDir);
        savedOpenDefaultDir = OpenDefaultDir;
    }
    SyncType = fields.syncType;
    BackUp = fields.backUp;
    SkipSame = fields.skipSame;
    VerifyCopy = fields.verifyCopy;
    for (const std::string& letter : fields.scanDrives)
        ScanDrives.push_back(FromUtf8(letter));
}

void CYamlConfig::Save()
{
    if (configDir.empty())
        return;
    if (!EnsureDirectory(configDir))
        return;

    SettingsFields fields;
    fields.openDefaultDir = ToUtf8(OpenDefaultDir);
    fields.syncType = SyncType;
    fields.backUp = BackUp;
    fields.skipSame = SkipSame;
    fields.verifyCopy = VerifyCopy;
    for (const std::wstring& letter : ScanDrives)
        fields.scanDrives.push_back(ToUtf8(letter));
    const std::string text = EmitSettingsText(fields);

    // Write beside the file and rename over it, so that a write cut short (full disk,
    // power loss) never leaves a truncated settings file behind.
    const std::wstring tempPath = configPath + kTempSuffix;
    if (!WriteWholeFile(tempPath, text) ||
        !MoveFileExW(tempPath.c_str(), configPath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        DeleteFileW(tempPath.c_str());
}

void CYamlConfig::UpdateChoices(int32_t syncType, bool backUp, bool skipSame, bool verifyCopy)
{
    bool changed = skipSame != SkipSame || verifyCopy != VerifyCopy;
    SkipSame = skipSame;
    VerifyCopy = verifyCopy;
    if (savedOpenDefaultDir != OpenDefaultDir) {
        savedOpenDefaultDir = OpenDefaultDir;
        changed = true;
    }
    if (SyncType != syncType) {
        SyncType = syncType;
        changed = true;
    }
    if (BackUp != backUp) {
        BackUp = backUp;
        changed = true;
    }
    if (changed)
        Save();
}

void CYamlConfig::RememberScanDrives(const std::vector<std::wstring>& drives)
{
    if (drives == ScanDrives)
        return;
    ScanDrives = drives;
    Save();
}
