// Records read from text that comes in parts, as a file read a part at a time gives it: wherever
// the text is cut, the records are those of the whole text, each read once.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/Csv.h"

namespace qor {
namespace {

// Every record as one line: its fields joined by '|', or "!" for a malformed one.
std::vector<std::string> Records(std::string_view text, CsvQuotes quotes, std::size_t cut) {
  std::vector<std::string> records;
  std::vector<std::string> fields;
  bool malformed = false;
  const auto take = [&](CsvReader& reader) {
    while (reader.Next(fields, malformed)) {
      std::string record = malformed ? "!" : "";
      for (std::size_t i = 0; !malformed && i < fields.size(); ++i) {
        record += (i ? "|" : "") + fields[i];
      }
      records.push_back(record);
    }
    return reader.Offset();
  };
  CsvReader first(text.substr(0, cut), quotes, cut == text.size());
  const std::size_t unread = take(first);
  if (cut < text.size()) {
    CsvReader rest(text.substr(unread), quotes, true);
    take(rest);
  }
  return records;
}

TEST(CsvTest, ACutAnywhereReadsTheRecordsOfTheWholeText) {
  const struct {
    CsvQuotes quotes;
    std::string text;
    std::vector<std::string> records;
  } rows[] = {
      {CsvQuotes::kDoubled,
       "a,\"b,\"\"c\"\"\"\r\n\"line\nbreak\",x\n\"open,y\n,\"\",z\r\nlast,\"\"",
       {"a|b,\"c\"", "line\nbreak|x", "!", "||z", "last|"}},
      {CsvQuotes::kBackslash,
       "1,\"Magdeburg \\\"City\\\"\",\\N\n2,\"back\\\\\",\"end\\\"\nx\"\n3,\"a\\b\"\n",
       {"1|Magdeburg \"City\"|\\N", "2|back\\|end\"\nx", "3|a\\b"}},
  };
  for (const auto& row : rows) {
    for (std::size_t cut = 0; cut <= row.text.size(); ++cut) {
      EXPECT_EQ(Records(row.text, row.quotes, cut), row.records) << "cut at " << cut;
    }
  }
}

}  // namespace
}  // namespace qor
