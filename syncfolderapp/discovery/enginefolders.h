#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Which directories count as version directories, as plain rules on path text.

// Shown once after a batch of hand-added paths of which at least one was refused.
inline constexpr wchar_t kInvalidEngineFolderText[] = L"不合规的版本目录,请确保目录中存在[Mir200]子目录!";

// The file whose presence below a directory makes the scan take it for a version
// directory.
inline constexpr wchar_t kEngineMarkerPath[] = L"Mir200\\!Setup.txt";

// True for a drive's recycle-bin folder ($Recycle.Bin, RECYCLER, RECYCLED, any letter
// case) and everything below it, such as D:\$RECYCLE.BIN or D:\Recycled\x.
bool IsRecycleBinPath(const std::wstring& path);

// The version directory a hand-added path stands for: the path itself when it holds a
// Mir200 sub-directory, otherwise the directory in front of the first "Mir200" (exact
// letter case) that follows a backslash or slash at position 3 or later. So
// D:\MirServer\Mir200\Envir gives D:\MirServer, D:\Mir200 gives D:, and D:\mir200data
// or D:\x\myMir200 give nothing.
std::optional<std::wstring> EngineFolderFor(const std::wstring& path, bool hasMir200Directory);

// Adds `path` to `known` unless an entry with the same code units is there; true when
// it was already known.
bool RegisterEngineFolder(std::vector<std::wstring>& known, const std::wstring& path);

struct EngineFolderBatch {
    std::vector<std::wstring> added;  // new version directories, in the order given
    bool refused = false;             // at least one path was no version directory
};

// Runs a batch of paths through EngineFolderFor and RegisterEngineFolder; duplicates are
// dropped without counting as refused. `hasMir200Directory` tells whether a path holds a
// Mir200 sub-directory.
EngineFolderBatch CollectEngineFolders(const std::vector<std::wstring>& paths, std::vector<std::wstring>& known,
                                       const std::function<bool(const std::wstring&)>& hasMir200Directory);
