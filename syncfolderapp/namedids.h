#pragma once

#include <string>
#include <utility>
#include <vector>

// Control names with fixed identifiers, registered with the toolkit at start-up so that
// layouts and code agree on them.
inline const std::vector<std::pair<std::string, int>>& NamedControlIds()
{
    static const std::vector<std::pair<std::string, int>> table = {
        {"btn_close", 65536},       {"wnd_drive", 65537},      {"but_ok", 65538},         {"btn_cancel", 65539},
        {"ico_toast", 65540},       {"txt_tip", 65541},        {"imgbtn_addfile", 65542}, {"btn_addfile", 65543},
        {"lv_file", 65544},         {"chk_file_all", 65545},   {"chk_def_sel", 65546},    {"but_invert", 65547},
        {"but_remove_file", 65548}, {"but_clear_file", 65549}, {"but_add_file", 65550},   {"but_back", 65551},
        {"lv_log", 65552},          {"lv_errorlog", 65553},
    };
    return table;
}
