#pragma once
// Paths as a user reads them in a message. A name on disk is any bytes but '/' and NUL: a
// newline, a tab or a byte that is not UTF-8 would break the line of a message or show as
// nothing, so they are spelled out.

#include <cstddef>
#include <string>
#include <string_view>

namespace qor::platform {

// The length of the well-formed UTF-8 sequence at text[i] (1 for ASCII), or 0 when the bytes
// there are not one (a stray, overlong or surrogate sequence).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i);
bool IsUtf8(std::string_view text);

// The path with its control characters as \n, \t, \r or \xNN and each byte that is not UTF-8
// as \xNN; everything else, accents and quotes included, as it is.
std::string ReadablePath(std::string_view path);
// The readable path between double quotes, as the messages name a file.
std::string QuotedPath(std::string_view path);

}  // namespace qor::platform
