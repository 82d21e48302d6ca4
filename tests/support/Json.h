#pragma once
// A strict little JSON reader for the tests of qorbgl-cli's output: the whole text must be one
// value in well-formed UTF-8, strings without raw control characters, escapes as JSON has them
// (a \u escape of half a surrogate pair is refused). Raises std::runtime_error otherwise.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace qor::test {

struct JsonValue {
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject };
  Kind kind = Kind::kNull;
  bool boolean = false;
  std::int64_t number = 0;  // the whole part of a number
  double real = 0;          // the number with its fraction (degrees)
  std::string text;         // UTF-8
  std::vector<JsonValue> items;
  std::map<std::string, JsonValue> members;

  // The member called key of an object; raises when there is none.
  const JsonValue& operator[](const std::string& key) const;
  bool Has(const std::string& key) const { return members.count(key) != 0; }
};

JsonValue ParseJson(std::string_view text);

}  // namespace qor::test
