#include "util/TextFields.h"

namespace qor {

std::string CutField(std::string& text, std::string_view sep) {
  const std::size_t at = sep.empty() ? std::string::npos : text.find(sep);
  if (at == std::string::npos) {
    std::string field = Unquote(text);
    text.clear();
    return field;
  }
  std::string field = Unquote(std::string_view(text).substr(0, at));
  text.erase(0, at + sep.size());
  return field;
}

std::string CutFieldAny(std::string& text, const std::vector<std::string>& seps,
                        std::string& found) {
  if (seps.size() <= 1) {
    found = seps.empty() ? std::string("\t") : seps.front();
    return CutField(text, found);
  }
  found.clear();
  std::size_t best = std::string::npos;
  for (const std::string& sep : seps) {
    if (sep.empty()) continue;
    const std::size_t at = text.find(sep);
    if (at < best) {  // strictly earlier, so a tie stays with the earlier separator
      best = at;
      found = sep;
    }
  }
  if (found.empty()) {
    std::string field = Unquote(text);
    text.clear();
    return field;
  }
  return CutField(text, found);
}

std::string Unquote(std::string_view text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
    text = text.substr(1, text.size() - 2);
  return std::string(text);
}

}  // namespace qor
