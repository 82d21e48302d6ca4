#pragma once
// The text of a C++ string literal read from the program's sources, its escapes undone (those
// the texts use): how the tests that read the sources compare a call's literal with a table.

#include <string>

namespace qor::test {

inline std::string Unescaped(const std::string& literal) {
  std::string out;
  for (std::size_t i = 0; i < literal.size(); ++i) {
    if (literal[i] != '\\' || i + 1 == literal.size()) {
      out += literal[i];
      continue;
    }
    const char next = literal[++i];
    out += next == 'n' ? '\n' : next == 'r' ? '\r' : next == 't' ? '\t' : next;
  }
  return out;
}

}  // namespace qor::test
