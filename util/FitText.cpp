#include "util/FitText.h"

#include "text/Utf8.h"

namespace qor {

namespace {

// |n| without overflow for the most negative int.
std::size_t Magnitude(int n) {
  return n < 0 ? static_cast<std::size_t>(-static_cast<long long>(n)) : static_cast<std::size_t>(n);
}

}  // namespace

void AppendFitStr(std::string& out, std::string_view text, int n, char32_t pad) {
  const std::size_t width = Magnitude(n);
  if (n > 0) {
    // One pass: where character number `width` starts (or the end), and how many come before.
    std::size_t cut = 0;
    std::size_t count = 0;
    for (; cut < text.size(); ++cut) {
      if (cut > 0 && IsContinuationByte(text[cut])) continue;
      if (count == width) break;
      ++count;
    }
    out.append(text.data(), cut);
    if (count < width) {
      if (pad < 0x80) {
        out.append(width - count, static_cast<char>(pad));
      } else {
        for (; count < width; ++count) AppendUtf8(out, pad);
      }
    }
    return;
  }
  const std::size_t count = CharCount(text);
  if (count >= width) {
    out.append(text.substr(CharOffset(text, count - width)));
    return;
  }
  if (pad < 0x80) {
    out.append(width - count, static_cast<char>(pad));
  } else {
    for (std::size_t i = count; i < width; ++i) AppendUtf8(out, pad);
  }
  out.append(text);
}

std::string FitStr(std::string_view text, int n, char32_t pad) {
  std::string out;
  AppendFitStr(out, text, n, pad);
  return out;
}

std::string LeftText(std::string_view text, int n) {
  if (n <= 0) return {};
  return std::string(text.substr(0, CharOffset(text, static_cast<std::size_t>(n))));
}

std::string RepeatStr(std::string_view text, int n) {
  std::string out;
  if (n <= 0 || text.empty()) return out;
  out.reserve(text.size() * static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) out += text;
  return out;
}

}  // namespace qor
