#include "tests/support/Json.h"

#include <stdexcept>

namespace qor::test {

namespace {

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  JsonValue Document() {
    CheckUtf8();
    JsonValue value = Value();
    Blanks();
    if (at_ != text_.size()) Fail("text after the value");
    return value;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw std::runtime_error("JSON: " + what + " at byte " + std::to_string(at_));
  }

  void CheckUtf8() const {
    for (std::size_t i = 0; i < text_.size();) {
      const auto c = static_cast<unsigned char>(text_[i]);
      std::size_t n = c < 0x80                 ? 1
                      : c >= 0xC2 && c <= 0xDF ? 2
                      : c >= 0xE0 && c <= 0xEF ? 3
                      : c >= 0xF0 && c <= 0xF4 ? 4
                                               : 0;
      if (n == 0 || i + n > text_.size()) throw std::runtime_error("JSON: not UTF-8");
      char32_t cp = n == 1 ? c : c & (0x7F >> n);
      for (std::size_t k = 1; k < n; ++k) {
        const auto t = static_cast<unsigned char>(text_[i + k]);
        if ((t & 0xC0) != 0x80) throw std::runtime_error("JSON: not UTF-8");
        cp = (cp << 6) | (t & 0x3F);
      }
      const char32_t min = n == 2 ? 0x80 : n == 3 ? 0x800 : n == 4 ? 0x10000 : 0;
      if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        throw std::runtime_error("JSON: not UTF-8");
      }
      i += n;
    }
  }

  void Blanks() {
    while (at_ < text_.size() &&
           (text_[at_] == ' ' || text_[at_] == '\n' || text_[at_] == '\r' || text_[at_] == '\t')) {
      ++at_;
    }
  }

  char Next() {
    if (at_ >= text_.size()) Fail("unexpected end");
    return text_[at_++];
  }

  void Expect(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) Fail("expected " + std::string(word));
    at_ += word.size();
  }

  JsonValue Value() {
    Blanks();
    if (at_ >= text_.size()) Fail("unexpected end");
    JsonValue v;
    const char c = text_[at_];
    if (c == '{') {
      v.kind = JsonValue::Kind::kObject;
      ++at_;
      Blanks();
      if (at_ < text_.size() && text_[at_] == '}') return ++at_, v;
      for (;;) {
        Blanks();
        if (Next() != '"') Fail("expected a key");
        std::string key = String();
        Blanks();
        if (Next() != ':') Fail("expected ':'");
        if (!v.members.emplace(key, Value()).second) Fail("key twice: " + key);
        Blanks();
        const char sep = Next();
        if (sep == '}') return v;
        if (sep != ',') Fail("expected ',' or '}'");
      }
    }
    if (c == '[') {
      v.kind = JsonValue::Kind::kArray;
      ++at_;
      Blanks();
      if (at_ < text_.size() && text_[at_] == ']') return ++at_, v;
      for (;;) {
        v.items.push_back(Value());
        Blanks();
        const char sep = Next();
        if (sep == ']') return v;
        if (sep != ',') Fail("expected ',' or ']'");
      }
    }
    if (c == '"') {
      ++at_;
      v.kind = JsonValue::Kind::kString;
      v.text = String();
      return v;
    }
    if (c == 't' || c == 'f') {
      v.kind = JsonValue::Kind::kBool;
      v.boolean = c == 't';
      Expect(v.boolean ? "true" : "false");
      return v;
    }
    if (c == 'n') {
      Expect("null");
      return v;
    }
    v.kind = JsonValue::Kind::kNumber;
    const std::size_t start = at_;
    if (text_[at_] == '-') ++at_;
    if (at_ >= text_.size() || text_[at_] < '0' || text_[at_] > '9') Fail("expected a value");
    if (text_[at_] == '0' && at_ + 1 < text_.size() && text_[at_ + 1] >= '0' &&
        text_[at_ + 1] <= '9') {
      Fail("leading zero");
    }
    while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
    v.number = std::stoll(std::string(text_.substr(start, at_ - start)));
    if (at_ < text_.size() && text_[at_] == '.') {
      ++at_;
      const std::size_t fraction = at_;
      while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
      if (at_ == fraction) Fail("expected the digits of a fraction");
    }
    v.real = std::stod(std::string(text_.substr(start, at_ - start)));
    return v;
  }

  unsigned Hex4() {
    unsigned u = 0;
    for (int k = 0; k < 4; ++k) {
      const char h = Next();
      u <<= 4;
      if (h >= '0' && h <= '9') {
        u |= h - '0';
      } else if (h >= 'a' && h <= 'f') {
        u |= h - 'a' + 10;
      } else if (h >= 'A' && h <= 'F') {
        u |= h - 'A' + 10;
      } else {
        Fail("bad \\u escape");
      }
    }
    return u;
  }

  static void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }

  // The rest of a string whose opening quote was read.
  std::string String() {
    std::string out;
    for (;;) {
      const char c = Next();
      if (c == '"') return out;
      if (static_cast<unsigned char>(c) < 0x20) Fail("raw control character in a string");
      if (c != '\\') {
        out += c;
        continue;
      }
      const char e = Next();
      switch (e) {
        case '"':
        case '\\':
        case '/':
          out += e;
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          char32_t cp = Hex4();
          if (cp >= 0xDC00 && cp <= 0xDFFF) Fail("lone low surrogate");
          if (cp >= 0xD800 && cp <= 0xDBFF) {
            Expect("\\u");
            const char32_t low = Hex4();
            if (low < 0xDC00 || low > 0xDFFF) Fail("lone high surrogate");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          }
          AppendUtf8(out, cp);
          break;
        }
        default:
          Fail("bad escape");
      }
    }
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace

const JsonValue& JsonValue::operator[](const std::string& key) const {
  const auto it = members.find(key);
  if (it == members.end()) throw std::runtime_error("JSON: no member " + key);
  return it->second;
}

JsonValue ParseJson(std::string_view text) {
  return Reader(text).Document();
}

}  // namespace qor::test
