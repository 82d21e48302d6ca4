#pragma once
// Padding and cutting texts for fixed-width columns (trimming is text/Trim.h's). Texts are
// UTF-8; every width counts characters (code points), not bytes.

#include <string>
#include <string_view>

namespace qor {

// Exactly |n| characters: n > 0 left-justifies (cutting the end), n < 0 right-justifies
// (keeping the last -n characters); n = 0 gives the empty text.
std::string FitStr(std::string_view text, int n, char32_t pad = U' ');
void AppendFitStr(std::string& out, std::string_view text, int n, char32_t pad = U' ');

// The first n characters (all of them when n is at least the length, none when n <= 0).
std::string LeftText(std::string_view text, int n);
// text written n times (empty when n <= 0).
std::string RepeatStr(std::string_view text, int n);

}  // namespace qor
