#pragma once

#include <string_view>

namespace FNLog {

// The configuration text embedded in the program: channel 0 (async) writes every line to
// ./datadb/log/YYYYMMDD.log and the ERROR lines also to YYYYMMDD_error.log.
std::string_view DefaultConfigText();

}  // namespace FNLog
