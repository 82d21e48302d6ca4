#include "text/Csv.h"

namespace qor {

namespace {

// The first of the characters at or after from (npos: none). A plain loop: the standard
// find_first_of looks each byte up in the set with a call of its own.
template <typename... Chars>
std::size_t FindAny(std::string_view text, std::size_t from, Chars... wanted) {
  for (std::size_t i = from; i < text.size(); ++i) {
    const char c = text[i];
    if (((c == wanted) || ...)) return i;
  }
  return std::string_view::npos;
}

bool EndsField(std::string_view text, std::size_t at) {
  return at == text.size() || text[at] == ',' || text[at] == '\n' ||
         (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n');
}

}  // namespace

CsvReader::Field CsvReader::ReadField(std::string& field) {
  field.clear();
  if (at_ == text_.size() || text_[at_] != '"') {
    std::size_t end = FindAny(text_, at_, ',', '\n');
    if (end == std::string_view::npos) end = text_.size();
    std::size_t last = end;
    if (last > at_ && last < text_.size() && text_[last] == '\n' && text_[last - 1] == '\r') --last;
    field.assign(text_.substr(at_, last - at_));
    at_ = last;
    return Field::kRead;
  }
  ++at_;
  const bool backslashes = quotes_ == CsvQuotes::kBackslash;
  for (;;) {
    const std::size_t mark =
        backslashes ? FindAny(text_, at_, '"', '\\', '\n') : FindAny(text_, at_, '"', '\n');
    if (mark == std::string_view::npos) {
      return last_ ? Field::kBroken : Field::kCut;  // a quote left open, or not closed yet
    }
    field += text_.substr(at_, mark - at_);
    if (text_[mark] == '\n') {
      field += '\n';
      at_ = mark + 1;
      if (++line_ - recordLine_ > kMaxLineBreaks) return Field::kBroken;
      continue;
    }
    // What follows a quote or a backslash decides what it is: read it first.
    if (mark + 1 == text_.size() && !last_) return Field::kCut;
    const bool escapable = mark + 1 < text_.size();
    if (text_[mark] == '\\') {
      // \" and \\ stand for the character; any other backslash is one.
      if (escapable && (text_[mark + 1] == '"' || text_[mark + 1] == '\\')) {
        field += text_[mark + 1];
        at_ = mark + 2;
      } else {
        field += '\\';
        at_ = mark + 1;
      }
      continue;
    }
    if (quotes_ == CsvQuotes::kDoubled && escapable && text_[mark + 1] == '"') {
      field += '"';
      at_ = mark + 2;
      continue;
    }
    at_ = mark + 1;
    if (!last_ && at_ + 1 == text_.size() && text_[at_] == '\r') return Field::kCut;
    return EndsField(text_, at_) ? Field::kRead : Field::kBroken;
  }
}

bool CsvReader::SkipLine(std::size_t from) {
  const std::size_t end = text_.find('\n', from);
  if (end == std::string_view::npos && !last_) return false;
  at_ = end == std::string_view::npos ? text_.size() : end + 1;
  line_ = recordLine_ + 1;
  return true;
}

bool CsvReader::Next(std::vector<std::string>& fields, bool& malformed) {
  malformed = false;
  if (at_ >= text_.size()) return false;
  recordLine_ = line_;
  const std::size_t start = at_;
  const auto cut = [&] {
    at_ = start;
    line_ = recordLine_;
    return false;
  };
  std::size_t n = 0;
  for (;;) {
    if (n == kMaxFields) break;
    if (fields.size() <= n) fields.emplace_back();
    const Field read = ReadField(fields[n]);
    if (read == Field::kCut) return cut();
    if (read == Field::kBroken) break;
    ++n;
    if (at_ == text_.size()) {
      if (!last_) return cut();  // its line's end is still to come
      fields.resize(n);
      return true;
    }
    const char c = text_[at_];
    if (c == ',') {
      ++at_;
      continue;
    }
    at_ += c == '\r' ? 2 : 1;  // the line's end: LF or CR LF, as EndsField saw it
    ++line_;
    fields.resize(n);
    return true;
  }
  malformed = true;
  fields.clear();
  if (!SkipLine(start)) return cut();
  return true;
}

}  // namespace qor
