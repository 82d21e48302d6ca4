#include "text/Csv.h"

namespace qor {

namespace {

bool EndsField(std::string_view text, std::size_t at) {
  return at == text.size() || text[at] == ',' || text[at] == '\n' ||
         (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n');
}

}  // namespace

bool CsvReader::ReadField(std::string& field) {
  field.clear();
  if (at_ == text_.size() || text_[at_] != '"') {
    std::size_t end = text_.find_first_of(",\n", at_);
    if (end == std::string_view::npos) end = text_.size();
    std::size_t last = end;
    if (last > at_ && last < text_.size() && text_[last] == '\n' && text_[last - 1] == '\r') --last;
    field.assign(text_.substr(at_, last - at_));
    at_ = last;
    return true;
  }
  ++at_;
  const std::string_view specials = quotes_ == CsvQuotes::kDoubled ? "\"\n" : "\"\\\n";
  for (;;) {
    const std::size_t mark = text_.find_first_of(specials, at_);
    if (mark == std::string_view::npos) return false;  // a quote left open
    field += text_.substr(at_, mark - at_);
    if (text_[mark] == '\n') {
      field += '\n';
      at_ = mark + 1;
      if (++line_ - recordLine_ > kMaxLineBreaks) return false;
      continue;
    }
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
    return EndsField(text_, at_);
  }
}

void CsvReader::SkipLine(std::size_t from) {
  const std::size_t end = text_.find('\n', from);
  at_ = end == std::string_view::npos ? text_.size() : end + 1;
  line_ = recordLine_ + 1;
}

bool CsvReader::Next(std::vector<std::string>& fields, bool& malformed) {
  malformed = false;
  if (at_ >= text_.size()) return false;
  recordLine_ = line_;
  const std::size_t start = at_;
  std::size_t n = 0;
  for (;;) {
    if (n == kMaxFields) break;
    if (fields.size() <= n) fields.emplace_back();
    if (!ReadField(fields[n])) break;
    ++n;
    if (at_ == text_.size()) {
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
  SkipLine(start);
  return true;
}

}  // namespace qor
