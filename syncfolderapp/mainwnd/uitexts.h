#pragma once

// Texts the main window writes itself (the layouts carry the rest).

inline constexpr wchar_t kTipCaption[] = L"温馨提示";
inline constexpr wchar_t kBusyToastText[] = L"文件同步中,不支持此操作!";
inline constexpr wchar_t kNoFixedDriveText[] = L"未检测到本地磁盘,请手动添加版本目录!";
inline constexpr wchar_t kNoSyncFileText[] = L"请至少选择一个同步文件!";
inline constexpr wchar_t kNoEngineFolderText[] = L"请至少选择一个待同步的游戏版本目录!";
inline constexpr wchar_t kLoadingText[] = L"加载中...";
inline constexpr wchar_t kViewLogCaption[] = L"查看日志";
inline constexpr wchar_t kBackToListCaption[] = L"返回列表";
inline constexpr wchar_t kFilePickerTitle[] = L"Korvel文件同步工具";
inline constexpr wchar_t kVersionPrefix[] = L"Ver.";

// The window's own lines in the sync log, with the tags the log files show after LINE:.
inline constexpr wchar_t kRunStartText[] = L"开始同步文件...";
inline constexpr unsigned kRunStartLine = 408;
inline constexpr wchar_t kRunSummaryHead[] = L"文件同步完成,共同步了 ";
inline constexpr wchar_t kRunSummaryTail[] = L" 个文件!";
inline constexpr unsigned kRunSummaryLine = 418;
// Follows the summary when a run left targets alone that looked like their source.
inline constexpr wchar_t kSkippedSummaryHead[] = L"相同文件 ";
inline constexpr wchar_t kSkippedSummaryTail[] = L" 个,已跳过";
inline constexpr unsigned kSkippedSummaryLine = 419;
// Then, as error reports with code 0, each version directory in which pairs failed, in
// list order: "未完成的版本目录:" + directory + " (失败 N 个)".
inline constexpr wchar_t kUnfinishedFolderHead[] = L"未完成的版本目录:";
inline constexpr wchar_t kUnfinishedFolderMiddle[] = L" (失败 ";
inline constexpr wchar_t kUnfinishedFolderTail[] = L" 个)";
inline constexpr unsigned kUnfinishedFolderLine = 422;

// The undo of the last run: its question, the running bar's caption meanwhile, its
// summary line and the message for a journal that cannot be read.
inline constexpr wchar_t kUndoAskText[] = L"确定撤销上次同步吗?";
inline constexpr wchar_t kUndoingCaption[] = L"正在撤销:";
inline constexpr wchar_t kUndoSummaryHead[] = L"撤销完成,共恢复了 ";
inline constexpr wchar_t kUndoSummaryTail[] = L" 个文件!";
inline constexpr unsigned kUndoSummaryLine = 420;
inline constexpr wchar_t kUndoDamagedText[] = L"撤销记录已损坏,无法撤销!";
// Follows the undo's summary, in the error log, when lines of its journal could not be read.
inline constexpr wchar_t kUndoDamagedLinesHead[] = L"撤销记录中 ";
inline constexpr wchar_t kUndoDamagedLinesTail[] = L" 行已损坏,未撤销";
inline constexpr unsigned kUndoDamagedLinesLine = 421;

// The question before a run whose journal cannot be written, and the refusal of a run or
// an undo while another instance of the program runs one on the same data folder.
inline constexpr wchar_t kNoJournalAskText[] = L"无法写入撤销记录,本次同步将无法撤销。仍要同步吗?";
inline constexpr wchar_t kOtherWindowBusyText[] = L"另一个窗口正在同步或撤销,请稍后再试!";
