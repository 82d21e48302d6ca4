#include "text/RegistryText.h"

#include <cinttypes>
#include <cstdio>

#include "text/Hex.h"
#include "text/Trim.h"
#include "text/Utf16.h"
#include "text/Utf8.h"

namespace qor {

namespace {

constexpr std::string_view kHeader = "WINE REGISTRY Version 2";
constexpr std::string_view kRelativeTo = ";; All keys relative to ";
// Seconds between 1601 (the start of Windows file times) and 1970.
constexpr std::int64_t kEpochDifference = 11644473600;

// --- UTF-16 ---------------------------------------------------------------------------------
// A byte that is not UTF-8 travels as an escape unit (NotUtf8::kEscape) and comes back as the
// same byte, so that a folder name in another code page survives the store.

std::u16string ToUtf16(std::string_view text) {
  return Utf8ToUtf16(text, NotUtf8::kEscape);
}

std::string ToUtf8(std::u16string_view units) {
  return Utf16ToUtf8(units, NotUtf8::kEscape);
}

void AppendUnit(std::string& out, char16_t unit) {
  out.push_back(static_cast<char>(unit & 0xFF));
  out.push_back(static_cast<char>(unit >> 8));
}

std::u16string UnitsOf(const std::string& data) {
  std::u16string units;
  units.reserve(data.size() / 2);
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    units.push_back(static_cast<char16_t>(static_cast<unsigned char>(data[i]) |
                                          (static_cast<unsigned char>(data[i + 1]) << 8)));
  }
  return units;
}

// --- Reading ----------------------------------------------------------------------------------

// Reads an escaped text from line[pos] up to the unescaped `end`, leaving pos after it. False
// when the line ends first.
bool ParseEscaped(std::string_view line, std::size_t& pos, char end, std::u16string& out) {
  while (pos < line.size()) {
    const char c = line[pos];
    if (c == end) {
      ++pos;
      return true;
    }
    if (c != '\\') {
      // Plain characters up to the next escape or the end: neither byte occurs inside a UTF-8
      // sequence.
      std::size_t stop = pos + 1;
      while (stop < line.size() && line[stop] != end && line[stop] != '\\') ++stop;
      AppendUtf8AsUtf16(out, line.substr(pos, stop - pos), NotUtf8::kEscape);
      pos = stop;
      continue;
    }
    if (++pos >= line.size()) return false;
    const char e = line[pos];
    static constexpr std::string_view kLetters = "abefnrtv";
    static constexpr char16_t kControls[] = {7, 8, 27, 12, 10, 13, 9, 11};
    if (const std::size_t letter = kLetters.find(e); letter != std::string_view::npos) {
      out.push_back(kControls[letter]);
      ++pos;
    } else if (e == 'x') {
      ++pos;
      unsigned value = 0;
      int digits = 0;
      for (; digits < 4 && pos < line.size() && HexDigitValue(line[pos]) >= 0; ++digits) {
        value = value * 16 + static_cast<unsigned>(HexDigitValue(line[pos++]));
      }
      out.push_back(digits == 0 ? u'x' : static_cast<char16_t>(value));  // "\x" alone: the x
    } else if (e >= '0' && e <= '7') {
      unsigned value = 0;
      for (int digits = 0; digits < 3 && pos < line.size() && line[pos] >= '0' && line[pos] <= '7';
           ++digits) {
        value = value * 8 + static_cast<unsigned>(line[pos++] - '0');
      }
      out.push_back(static_cast<char16_t>(value));
    } else {
      // \\, \", \[, \] and any other character stand for it.
      const std::size_t size = DecodeUtf8(line, pos).size;
      AppendUtf8AsUtf16(out, line.substr(pos, size), NotUtf8::kEscape);
      pos += size;
    }
  }
  return false;
}

// Parses "01,02,ff" (blanks allowed around the bytes); false on anything else.
bool ParseHexBytes(std::string_view text, std::string& out) {
  text = Trim(text);
  if (text.empty()) return true;
  std::size_t pos = 0;
  while (true) {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    const int high = pos < text.size() ? HexDigitValue(text[pos]) : -1;
    const int low = pos + 1 < text.size() ? HexDigitValue(text[pos + 1]) : -1;
    if (high < 0 || low < 0) return false;
    out.push_back(static_cast<char>(high * 16 + low));
    pos += 2;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    if (pos == text.size()) return true;
    if (text[pos] != ',') return false;
    ++pos;
  }
}

bool ParseTypeNumber(std::string_view text, std::size_t& pos, std::uint32_t& type) {
  std::uint32_t value = 0;
  int digits = 0;
  while (pos < text.size() && HexDigitValue(text[pos]) >= 0 && digits < 8) {
    value = value * 16 + static_cast<std::uint32_t>(HexDigitValue(text[pos++]));
    ++digits;
  }
  if (digits == 0 || pos >= text.size() || text[pos] != ')') return false;
  ++pos;
  type = value;
  return true;
}

// The data after "=": a quoted text, str(N):"...", dword:..., hex:... or hex(N):...
bool ParseData(std::string_view text, RegValue& value) {
  std::size_t pos = 0;
  std::uint32_t type = kRegSz;
  if (text.starts_with("\"")) {
    pos = 1;
  } else if (text.starts_with("str:\"")) {
    pos = 5;
  } else if (text.starts_with("str(")) {
    pos = 4;
    if (!ParseTypeNumber(text, pos, type) || text.substr(pos, 2) != ":\"") return false;
    pos += 2;
  } else if (text.starts_with("dword:")) {
    std::uint32_t number = 0;
    pos = 6;
    int digits = 0;
    while (pos < text.size() && HexDigitValue(text[pos]) >= 0 && digits < 8) {
      number = number * 16 + static_cast<std::uint32_t>(HexDigitValue(text[pos++]));
      ++digits;
    }
    if (digits == 0 || !TrimEnd(text.substr(pos)).empty()) return false;
    value = RegValue::Dword(number);
    return true;
  } else if (text.starts_with("hex:")) {
    value.type = kRegBinary;
    value.data.clear();
    return ParseHexBytes(text.substr(4), value.data);
  } else if (text.starts_with("hex(")) {
    pos = 4;
    if (!ParseTypeNumber(text, pos, type) || pos >= text.size() || text[pos] != ':') {
      return false;
    }
    value.type = type;
    value.data.clear();
    return ParseHexBytes(text.substr(pos + 1), value.data);
  } else {
    return false;
  }
  std::u16string units;
  if (!ParseEscaped(text, pos, '"', units)) return false;
  units.push_back(0);  // the terminating zero, never written in the file
  value.type = type;
  value.data.clear();
  for (char16_t u : units) AppendUnit(value.data, u);
  return true;
}

// --- Writing ----------------------------------------------------------------------------------

void AppendEscaped(std::string& out, std::u16string_view units, std::string_view special) {
  static constexpr char kLetters[32] = {0,   0,   0,   0, 0, 0,   0, 'a', 'b', 't', 'n',
                                        'v', 'f', 'r', 0, 0, 0,   0, 0,   0,   0,   0,
                                        0,   0,   0,   0, 0, 'e', 0, 0,   0,   0};
  char buffer[16];
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char16_t u = units[i];
    if (u > 127) {
      // Always four digits, so that a following hex digit never joins the escape.
      std::snprintf(buffer, sizeof buffer, "\\x%04x", static_cast<unsigned>(u));
      out += buffer;
    } else if (u < 32) {
      if (kLetters[u] != 0) {
        out.push_back('\\');
        out.push_back(kLetters[u]);
      } else {
        const bool octalFollows =
            i + 1 < units.size() && units[i + 1] >= u'0' && units[i + 1] <= u'7';
        std::snprintf(buffer, sizeof buffer, octalFollows ? "\\%03o" : "\\%o",
                      static_cast<unsigned>(u));
        out += buffer;
      }
    } else {
      const char c = static_cast<char>(u);
      if (c == '\\' || special.find(c) != std::string_view::npos) out.push_back('\\');
      out.push_back(c);
    }
  }
}

void AppendValue(std::string& out, const std::string& name, const RegValue& value) {
  if (name.empty()) {
    out += '@';
  } else {
    out += '"';
    AppendEscaped(out, ToUtf16(name), "\"");
    out += '"';
  }
  out += '=';
  char buffer[32];
  const bool textType =
      value.type == kRegSz || value.type == kRegExpandSz || value.type == kRegMultiSz;
  // Only a text with its terminating zero is written as text; anything else as its bytes.
  if (textType && value.data.size() >= 2 && value.data.size() % 2 == 0 &&
      value.data[value.data.size() - 1] == 0 && value.data[value.data.size() - 2] == 0) {
    if (value.type != kRegSz) {
      std::snprintf(buffer, sizeof buffer, "str(%x):", static_cast<unsigned>(value.type));
      out += buffer;
    }
    const std::u16string units = UnitsOf(value.data);
    out += '"';
    AppendEscaped(out, std::u16string_view(units).substr(0, units.size() - 1), "\"");
    out += "\"\n";
    return;
  }
  if (value.type == kRegDword && value.data.size() == 4) {
    std::uint32_t number = 0;
    for (int k = 3; k >= 0; --k) number = number << 8 | static_cast<unsigned char>(value.data[k]);
    std::snprintf(buffer, sizeof buffer, "dword:%08" PRIx32 "\n", number);
    out += buffer;
    return;
  }
  if (value.type == kRegBinary) {
    out += "hex:";
  } else {
    std::snprintf(buffer, sizeof buffer, "hex(%x):", static_cast<unsigned>(value.type));
    out += buffer;
  }
  std::size_t column = out.size() - out.rfind('\n');
  for (std::size_t i = 0; i < value.data.size(); ++i) {
    std::snprintf(buffer, sizeof buffer, "%02x", static_cast<unsigned char>(value.data[i]));
    out += buffer;
    column += 2;
    if (i + 1 < value.data.size()) {
      out += ',';
      if (++column > 76) {  // long data goes on continuation lines, as Wine writes it
        out += "\\\n  ";
        column = 2;
      }
    }
  }
  out += '\n';
}

}  // namespace

// --- RegValue ---------------------------------------------------------------------------------

RegValue RegValue::Text(std::string_view utf8, std::uint32_t type) {
  RegValue value;
  value.type = type;
  for (char16_t u : ToUtf16(utf8)) AppendUnit(value.data, u);
  AppendUnit(value.data, 0);
  return value;
}

RegValue RegValue::Dword(std::uint32_t number) {
  RegValue value;
  value.type = kRegDword;
  for (int k = 0; k < 4; ++k) value.data.push_back(static_cast<char>((number >> (8 * k)) & 0xFF));
  return value;
}

std::string RegValue::AsText() const {
  std::u16string units = UnitsOf(data);
  if (!units.empty() && units.back() == 0) units.pop_back();
  return ToUtf8(units);
}

// --- RegKey -----------------------------------------------------------------------------------

const RegValue* RegKey::Find(std::string_view name) const {
  const std::u32string wanted = fold_(name);
  for (const auto& [n, v] : values) {
    if (fold_(n) == wanted) return &v;
  }
  return nullptr;
}

void RegKey::Set(std::string_view name, RegValue value) {
  const std::u32string wanted = fold_(name);
  for (auto& [n, v] : values) {
    if (fold_(n) == wanted) {
      v = std::move(value);
      return;
    }
  }
  values.emplace_back(std::string(name), std::move(value));
}

// --- RegistryHive -----------------------------------------------------------------------------

std::optional<std::string> NormalizeKeyPath(std::string_view path) {
  if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  if (path.empty()) return std::string();
  if (path.front() == '\\' || path.find("\\\\") != std::string_view::npos) return std::nullopt;
  return std::string(path);
}

const RegKey* RegistryHive::FindKey(std::string_view path) const {
  const auto normal = NormalizeKeyPath(path);
  if (!normal) return nullptr;
  const auto found = index_.find(fold_(*normal));
  return found == index_.end() ? nullptr : &keys_[found->second];
}

bool RegistryHive::KeyExists(std::string_view path) const {
  const auto normal = NormalizeKeyPath(path);
  if (!normal) return false;
  if (normal->empty() || FindKey(*normal) != nullptr) return true;
  const std::u32string prefix = fold_(*normal) + U"\\";
  for (const auto& [upper, at] : index_) {
    if (upper.starts_with(prefix)) return true;
  }
  return false;
}

RegKey* RegistryHive::CreateKey(std::string_view path, std::int64_t now) {
  const auto normal = NormalizeKeyPath(path);
  if (!normal) return nullptr;
  const auto [found, added] = index_.try_emplace(fold_(*normal), keys_.size());
  if (added) keys_.push_back(RegKey(*normal, now, fold_));
  return &keys_[found->second];
}

std::optional<RegistryHive> RegistryHive::Parse(std::string_view text, NameFold fold) {
  std::vector<std::string_view> lines;
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(TrimEnd(text.substr(start, end - start)));
    start = end + 1;
  }
  if (lines.empty() || lines.front() != kHeader) return std::nullopt;

  RegistryHive hive(fold);
  RegKey* key = nullptr;  // the section being read; nullptr before the first or after a bad one
  for (std::size_t n = 1; n < lines.size(); ++n) {
    const std::string_view line = TrimStart(lines[n]);
    if (line.empty()) continue;
    if (line.starts_with(kRelativeTo) && key == nullptr) {
      std::u16string root;
      std::size_t pos = kRelativeTo.size();
      std::string raw(line.substr(pos));
      raw.push_back('\n');  // an end that cannot occur inside, to read up to the line's end
      pos = 0;
      if (ParseEscaped(raw, pos, '\n', root)) hive.relativeTo_ = ToUtf8(root);
      continue;
    }
    if (line.front() == ';') continue;
    if (line.front() == '#') {
      if (key == nullptr) hive.options_.emplace_back(line);  // key options (#time...) are dropped
      continue;
    }
    if (line.front() == '[') {
      std::u16string name;
      std::size_t pos = 1;
      key = nullptr;
      if (!ParseEscaped(line, pos, ']', name)) continue;
      std::int64_t modified = 0;
      const std::string_view rest = TrimStart(line.substr(pos));
      for (char c : rest) {
        if (c < '0' || c > '9' || modified > (INT64_MAX - 9) / 10) break;
        modified = modified * 10 + (c - '0');
      }
      key = hive.CreateKey(ToUtf8(name), modified);
      continue;
    }
    if (key == nullptr || (line.front() != '"' && line.front() != '@')) continue;

    // A value: "Name"=data or @=data; hex data may go on over continuation lines.
    std::string joined(line);
    while (joined.back() == '\\' && joined.find("=hex") != std::string::npos &&
           n + 1 < lines.size()) {
      joined.pop_back();
      joined += TrimStart(lines[++n]);
    }
    std::u16string name;
    std::size_t pos = 1;
    if (joined.front() == '"' && !ParseEscaped(joined, pos, '"', name)) continue;
    if (pos >= joined.size() || joined[pos] != '=') continue;
    RegValue value;
    if (!ParseData(std::string_view(joined).substr(pos + 1), value)) continue;
    key->Set(ToUtf8(name), std::move(value));
  }
  return hive;
}

std::string RegistryHive::Serialize() const {
  std::string out(kHeader);
  out += '\n';
  if (!relativeTo_.empty()) {
    out += kRelativeTo;
    AppendEscaped(out, ToUtf16(relativeTo_), "");
    out += '\n';
  }
  for (const std::string& option : options_) out += option + '\n';
  for (const RegKey& key : keys_) {
    out += "\n[";
    AppendEscaped(out, ToUtf16(key.path), "[]");
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "] %" PRId64 "\n#time=%" PRIx64 "\n", key.modified,
                  static_cast<std::uint64_t>((key.modified + kEpochDifference) * 10000000));
    out += buffer;
    for (const auto& [name, value] : key.values) AppendValue(out, name, value);
  }
  return out;
}

}  // namespace qor
