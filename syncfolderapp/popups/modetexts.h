#pragma once
// The explanations shown above the two placement-mode radios. Lines are joined by a line
// feed; leading spaces line the example paths up under each other.

inline constexpr wchar_t kModeTipMir200Text[] = L"过滤文件列表中非Mir200目录文件,仅同步Mir200目录下\n"
                                                L"的文件到已选择的游戏版本目录中!\n"
                                                L"例:不同步 D:\\MirServer\\DBServer\\Config.ini\n"
                                                L"     同步 D:\\MirServer\\Mir200\\Config.txt";

inline constexpr wchar_t kModeTipSameLevelText[] = L"不做效验,把文件列表中的文件按目录级别同步到已\n"
                                                   L"选择的游戏版本目录中! (D:\\Mirserver)\n"
                                                   L"  文件列表: D:\\1级目录\\2级目录\\Config1.txt\n"
                                                   L"            D:\\1级目录\\Mir200\\Config2.txt\n"
                                                   L"分别同步到: D:\\Mirserver\\2级目录\\Config1.txt\n"
                                                   L"            D:\\Mirserver\\Mir200\\Config2.txt";
