#pragma once
// Turning numbers, dates and version numbers into display text, padding and cutting texts for
// fixed-width columns, and taking texts apart at separators. Texts are UTF-8; every width and
// position counts characters (code points), not bytes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Regional.h"
#include "util/Variant.h"

namespace qor {

// The regional symbols FormatNumber uses by default: read from the user's locale on first use,
// and kept until SetNumberSymbols replaces them (after a regional change, or in tests).
const platform::NumberSymbols& CurrentNumberSymbols();
void SetNumberSymbols(platform::NumberSymbols symbols);

// Formats value after the width-and-decimals code spec, read as W.D: W = spec truncated is the
// minimum width in characters (negative: left-justified in |W|), D = its first decimal digit is
// the number of decimals. With showZero false a zero gives a blank field holding only a point
// where the decimal symbol would stand. A fill other than a blank replaces every blank of the
// result; isSigned puts "+ " in front, or a blank after a leading minus sign.
std::string FormatNumber(const Variant& value, char fill, bool showZero, double spec, bool grouped,
                         bool isSigned, const platform::NumberSymbols& symbols);
std::string FormatNumber(const Variant& value, char fill, bool showZero, double spec, bool grouped,
                         bool isSigned);

// Whether a byte continues a UTF-8 character rather than starting one.
inline bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}
// The characters of a UTF-8 text: a stray continuation byte at the start counts as one, the
// ones after a character belong to it.
std::size_t CharCount(std::string_view text);

// Exactly |n| characters: n > 0 left-justifies (cutting the end), n < 0 right-justifies
// (keeping the last -n characters); n = 0 gives the empty text.
std::string FitStr(std::string_view text, int n, char32_t pad = U' ');
void AppendFitStr(std::string& out, std::string_view text, int n, char32_t pad = U' ');

// Appends a count of thousandths as metres, exactly as FormatNumber writes thousandths / 1000
// with the spec width.3, grouped, showing zero, blank fill, unsigned; without floating point,
// since the airport tree writes one for each of its lines.
void AppendThousandths(std::string& out, std::int64_t thousandths, int width,
                       const platform::NumberSymbols& symbols);
// text without its leading and trailing blanks and control characters (codes 32 and below).
std::string Trim(std::string_view text);
// The first n characters (all of them when n is at least the length, none when n <= 0).
std::string LeftText(std::string_view text, int n);
// text written n times (empty when n <= 0).
std::string RepeatStr(std::string_view text, int n);

// Cuts the field before the first sep from text (unquoted) and leaves in text what follows the
// separator; without sep (an empty sep never occurs) the whole text is the field.
std::string CutField(std::string& text, std::string_view sep);
// Cuts at whichever of seps comes first (ties to the earlier in the list) and says which in
// found; an empty list means the tab. With two or more separators of which none occurs, found
// is empty and the whole text is the field.
std::string CutFieldAny(std::string& text, const std::vector<std::string>& seps,
                        std::string& found);
// text without its enclosing double quotes, when it starts and ends with one.
std::string Unquote(std::string_view text);

// A date-time (days since 30 December 1899, time of day as the fraction) in French:
// "01.03.2004, 09:05", "1.3.2004, 9:05" or "lundi 1er mars 2004, 9:05".
std::string DateTimeStr(bool withTime, bool numeric, bool zeroPad, double when);
// 1 = Sunday ... 7 = Saturday, counted round (8 is Sunday again).
std::string DayName(int n, bool isShort);
// 1 = January ... 12 = December, counted round; 0 gives "???"; a negative n names the range
// from January, as in "janv-mars".
std::string MonthName(int n, bool isShort);

struct FileVersion {
  int major = 0;
  int minor = 0;
  int release = 0;
  int build = 0;
  bool operator==(const FileVersion&) const = default;
};

// The version of the program file at path. Only the program's own file carries one (the
// version it was built with); every other file, and a missing one, gives all zeros.
FileVersion ReadFileVersion(const std::string& path);

// "(QORBgl v1.0.1.4)" with parts (1 to 4) numbers of the version.
std::string ProgramTitle(int parts);
std::string ProgramTitle(int parts, std::string_view progName, const FileVersion& version);

// R + G * 256 + B * 65536, from the low 8 bits of each.
std::uint32_t RGBColor(int r, int g, int b);

}  // namespace qor
