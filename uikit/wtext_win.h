#pragma once

#include <string>
#include <string_view>

namespace uikit {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

}  // namespace uikit
