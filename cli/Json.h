#pragma once
#include <string>
#include <string_view>

namespace qor::cli {

// The text as a JSON string, quotes included. Bytes that are not UTF-8 become U+FFFD.
std::string JsonString(std::string_view text);

}  // namespace qor::cli
