#pragma once
// Records of comma-separated values, read from text held whole in memory: the airport lists
// that scenery builders download. A field in quotes may hold commas and line breaks; a quote
// inside it is written twice (RFC 4180) or after a backslash (OpenFlights' files). Lines end in
// LF or CR LF. A record whose quoting is broken (a quote left open, a closing quote followed by
// something else than a comma or the end of the line) or that has too many fields is reported
// as malformed, and reading goes on at the line after the one where it began, so that one stray
// quote costs one record, not the rest of the file, and no input costs more than a few readings
// of each line.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

enum class CsvQuotes { kDoubled, kBackslash };

class CsvReader {
 public:
  // More fields than this make a record malformed: a line of commas costs no more memory
  // than its bytes.
  static constexpr std::size_t kMaxFields = 256;
  // A record that runs over more line breaks than this is taken for a quote left open: reading
  // again from the next line then costs a few lines, never the rest of the file.
  static constexpr std::size_t kMaxLineBreaks = 16;

  // last: the text ends where the input does. Otherwise the input goes on after it (a file read
  // a part at a time), and a record the text holds only the beginning of is not read: Next
  // stops before it, so that it is read whole from the text that follows.
  CsvReader(std::string_view text, CsvQuotes quotes, bool last = true)
      : text_(text), quotes_(quotes), last_(last) {}

  // The next record's fields, unquoted; false at the end of the text, or before a record the
  // text holds only part of (Offset() is then where it begins). malformed is set for a record
  // that could not be read (its fields are then meaningless).
  bool Next(std::vector<std::string>& fields, bool& malformed);
  // How far the reading has gone, in bytes of the text.
  std::size_t Offset() const { return at_; }
  CsvQuotes Quotes() const { return quotes_; }
  // The line where the record read last began, from 1.
  std::size_t Line() const { return recordLine_; }

 private:
  enum class Field { kRead, kBroken, kCut };
  // Reads one field at at_ into field: kBroken when the quoting is broken, kCut when the text
  // ends inside it and the input does not.
  Field ReadField(std::string& field);
  // Past the line where a record that could not be read began; false when the text ends
  // before that line does and the input does not.
  bool SkipLine(std::size_t from);

  std::string_view text_;
  CsvQuotes quotes_;
  bool last_;
  std::size_t at_ = 0;
  std::size_t line_ = 1;
  std::size_t recordLine_ = 0;
};

}  // namespace qor
