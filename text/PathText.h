#pragma once
// Paths as a user reads them in a message, and texts of data as a terminal may show them. A
// name on disk is any bytes but '/' and NUL: a newline, a tab or a byte that is not UTF-8 (see
// DecodeUtf8) would break the line of a message or show as nothing, so they are spelled out.

#include <cstddef>
#include <string>
#include <string_view>

namespace qor {

// The path with its control characters as \n, \t, \r or \xNN and each byte that is not UTF-8
// as \xNN; everything else, accents and quotes included, as it is.
std::string ReadablePath(std::string_view path);
// The readable path between double quotes, as the messages name a file.
std::string QuotedPath(std::string_view path);

// A text of data (a name, a title, a path, a message quoting them) as standard output may
// carry it to a terminal: no control character that could drive the terminal or break the
// output's lines. C0 characters and DEL are written as ReadablePath writes them (\n, \t, \r,
// \x1B), C1 characters (U+0080 to U+009F) as \u0085, stray bytes 0x80 to 0x9F as \x85;
// everything else as it is, bytes that are not UTF-8 from 0xA0 up included (a name's own
// bytes, which no terminal takes for a command).
std::string TerminalText(std::string_view text);
// The most bytes TerminalText makes of `size` bytes.
constexpr std::size_t TerminalTextRoom(std::size_t size) {
  return 4 * size;
}
// Writes the same at out, which has room for TerminalTextRoom(text.size()) bytes; returns the
// end. A text without such characters is copied in one piece.
char* WriteTerminalText(char* out, std::string_view text);

}  // namespace qor
