#pragma once

// Result lines of an undo, each the text followed by the target, with the tags the log
// files show after ", LINE:".

inline constexpr wchar_t kUndoneText[] = L"撤销成功:";
inline constexpr unsigned kUndoneLine = 142;
inline constexpr wchar_t kUndoChangedText[] = L"目标已被修改,未撤销:";
inline constexpr unsigned kUndoChangedLine = 143;
inline constexpr wchar_t kUndoNoBackupText[] = L"无备份,无法撤销:";
inline constexpr unsigned kUndoNoBackupLine = 144;
inline constexpr wchar_t kUndoFailedText[] = L"撤销失败:";
inline constexpr unsigned kUndoFailedLine = 145;
