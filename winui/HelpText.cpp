#include "winui/HelpText.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <vector>

#include "platform/Errors.h"
#include "platform/File.h"
#include "text/Hex.h"
#include "text/Trim.h"
#include "text/Utf8.h"

namespace qor {

namespace {

constexpr int kPageBlue = 0x1F4E79;  // the headings' colour where the page gives none
constexpr int kIndent = 360;         // twips: a list level, the second column of a table

bool IsBlank(char32_t c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}
bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// The UTF-8 character at text[i], i moved past it; a byte that starts no character is U+FFFD.
char32_t NextChar(std::string_view text, std::size_t& i) {
  const Utf8Char c = DecodeUtf8(text, i);
  i += c.size;
  return c.code;
}

struct NamedEntity {
  std::string_view name;
  char32_t c;
};
// The entities a French page uses; any other stays as written.
constexpr NamedEntity kEntities[] = {
    {"amp", '&'},      {"lt", '<'},       {"gt", '>'},        {"quot", '"'},     {"apos", '\''},
    {"nbsp", 0xA0},    {"laquo", 0xAB},   {"raquo", 0xBB},    {"agrave", 0xE0},  {"Agrave", 0xC0},
    {"acirc", 0xE2},   {"Acirc", 0xC2},   {"ccedil", 0xE7},   {"Ccedil", 0xC7},  {"eacute", 0xE9},
    {"Eacute", 0xC9},  {"egrave", 0xE8},  {"Egrave", 0xC8},   {"ecirc", 0xEA},   {"Ecirc", 0xCA},
    {"euml", 0xEB},    {"icirc", 0xEE},   {"iuml", 0xEF},     {"ocirc", 0xF4},   {"Ocirc", 0xD4},
    {"ugrave", 0xF9},  {"ucirc", 0xFB},   {"uuml", 0xFC},     {"oelig", 0x153},  {"OElig", 0x152},
    {"deg", 0xB0},     {"copy", 0xA9},    {"reg", 0xAE},      {"middot", 0xB7},  {"times", 0xD7},
    {"euro", 0x20AC},  {"ndash", 0x2013}, {"mdash", 0x2014},  {"lsquo", 0x2018}, {"rsquo", 0x2019},
    {"ldquo", 0x201C}, {"rdquo", 0x201D}, {"hellip", 0x2026}, {"bull", 0x2022},  {"thinsp", 0x2009},
    {"shy", 0xAD},
};

// The character of the entity at text[i] (an '&'), i moved past its ';'; none when the '&'
// starts no entity.
std::optional<char32_t> Entity(std::string_view text, std::size_t& i) {
  const std::size_t end = text.find(';', i + 1);
  if (end == std::string_view::npos || end - i > 10) return std::nullopt;
  const std::string_view name = text.substr(i + 1, end - i - 1);
  std::optional<char32_t> c;
  if (name.size() > 1 && name[0] == '#') {
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) return std::nullopt;
    std::uint32_t value = 0;
    for (const char d : digits) {
      const int v = hex ? HexDigitValue(d) : IsDigit(d) ? d - '0' : -1;
      if (v < 0) return std::nullopt;
      if (value <= 0x10FFFF) value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(v);
    }
    const bool valid = value != 0 && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
    c = valid ? value : 0xFFFD;
  } else {
    for (const NamedEntity& e : kEntities) {
      if (e.name == name) c = e.c;
    }
  }
  if (c) i = end + 1;
  return c;
}

// An attribute's text with its entities decoded.
std::string Decoded(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == '&') {
      if (const auto c = Entity(text, i)) {
        AppendUtf8(out, *c);
        continue;
      }
    }
    out += text[i++];
  }
  return out;
}

// The value of the attribute name among a start tag's attributes.
std::optional<std::string> Attribute(std::string_view attributes, std::string_view name) {
  const std::size_t n = attributes.size();
  const auto blank = [&](std::size_t k) {
    return IsBlank(static_cast<unsigned char>(attributes[k]));
  };
  std::size_t i = 0;
  while (i < n) {
    while (i < n && (blank(i) || attributes[i] == '/')) ++i;
    const std::size_t start = i;
    while (i < n && !blank(i) && attributes[i] != '=' && attributes[i] != '/') ++i;
    const std::string key = LowerAscii(attributes.substr(start, i - start));
    while (i < n && blank(i)) ++i;
    std::string_view value;
    if (i < n && attributes[i] == '=') {
      ++i;
      while (i < n && blank(i)) ++i;
      if (i < n && (attributes[i] == '"' || attributes[i] == '\'')) {
        const std::size_t close = attributes.find(attributes[i], i + 1);
        const std::size_t stop = close == std::string_view::npos ? n : close;
        value = attributes.substr(i + 1, stop - i - 1);
        i = stop + 1;
      } else {
        const std::size_t from = i;
        while (i < n && !blank(i)) ++i;
        value = attributes.substr(from, i - from);
      }
    }
    if (!key.empty() && key == name) return Decoded(value);
    if (i == start) ++i;  // a stray character: step over it
  }
  return std::nullopt;
}

// "#1f4e79" or "#abc" as 0xRRGGBB; -1 for any other colour.
int ParseColor(std::string_view value) {
  if (value.empty() || value[0] != '#') return -1;
  value.remove_prefix(1);
  if (value.size() != 3 && value.size() != 6) return -1;
  int rgb = 0;
  for (const char d : value) {
    const int v = HexDigitValue(d);
    if (v < 0) return -1;
    rgb = value.size() == 3 ? rgb * 256 + v * 17 : rgb * 16 + v;
  }
  return rgb;
}

// "13pt" or "12px" in half-points (a pixel is three quarters of a point); 0 for other sizes.
int ParseSize(std::string_view value) {
  double number = 0, scale = 1;
  bool fraction = false, digits = false;
  std::size_t i = 0;
  for (; i < value.size() && (IsDigit(value[i]) || value[i] == '.'); ++i) {
    if (value[i] == '.') {
      fraction = true;
      continue;
    }
    digits = true;
    number = number * 10 + (value[i] - '0');
    if (fraction) scale *= 10;
  }
  const std::string_view unit = value.substr(i);
  const double points = unit == "pt" ? number / scale : unit == "px" ? number / scale * 0.75 : 0;
  return digits ? static_cast<int>(points * 2 + 0.5) : 0;
}

bool IsHeading(const std::string& name) {
  return name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6';
}

bool IsBlock(const std::string& name) {
  static constexpr std::string_view kBlocks[] = {
      "address", "blockquote", "body", "caption", "dd", "div", "dl", "dt", "li",
      "ol",      "p",          "pre",  "table",   "td", "th",  "tr", "ul"};
  for (const std::string_view b : kBlocks) {
    if (b == name) return true;
  }
  return IsHeading(name);
}

bool IsVoid(const std::string& name) {
  static constexpr std::string_view kVoid[] = {"area", "base", "col",   "img",    "input",
                                               "link", "meta", "param", "source", "wbr"};
  for (const std::string_view v : kVoid) {
    if (v == name) return true;
  }
  return false;
}

// Elements whose content is not shown: it is skipped up to their end tag.
bool IsDropped(const std::string& name) {
  return name == "head" || name == "title" || name == "style" || name == "script";
}

// Where the text after the end tag of name begins, from i on; the end when there is none.
std::size_t AfterEndTag(std::string_view html, std::size_t i, const std::string& name) {
  for (std::size_t at = html.find("</", i); at != std::string_view::npos;
       at = html.find("</", at + 2)) {
    const std::size_t after = at + 2 + name.size();
    if (after <= html.size() && LowerAscii(html.substr(at + 2, name.size())) == name &&
        (after == html.size() || !IsLetter(html[after]))) {
      const std::size_t close = html.find('>', after);
      return close == std::string_view::npos ? html.size() : close + 1;
    }
  }
  return html.size();
}

void AppendUnicode(std::string& out, char32_t unit) {
  // RTF takes the code unit as a signed 16-bit number, followed by a fallback character.
  out += "\\u" + std::to_string(static_cast<int>(unit) - (unit >= 0x8000 ? 0x10000 : 0)) + "?";
}

// The control's characters one character of text takes: UTF-16 units, none for a control
// character that Put drops.
long Units(char32_t c) {
  if (c == '\t') return 1;
  if (c < 0x20 || c == 0x7F) return 0;
  return c < 0x10000 ? 1 : 2;
}

// One character of text in RTF.
void Put(std::string& out, char32_t c) {
  if (c == '\\' || c == '{' || c == '}') {
    out += '\\';
    out += static_cast<char>(c);
  } else if (c == '\t') {
    out += "\\tab ";
  } else if (c >= 0x20 && c < 0x7F) {
    out += static_cast<char>(c);
  } else if (c < 0x20 || c == 0x7F) {
    // No other control character belongs in the text.
  } else if (c < 0x10000) {
    AppendUnicode(out, c);
  } else {
    AppendUnicode(out, 0xD800 + ((c - 0x10000) >> 10));
    AppendUnicode(out, 0xDC00 + ((c - 0x10000) & 0x3FF));
  }
}

struct Element {
  std::string name;
  int color = -1;      // 0xRRGGBB given by its style, -1 for its parent's
  int halfPoints = 0;  // its text's size given by its style, 0 for its parent's
};

struct Format {
  bool bold = false, italic = false, underline = false, fixed = false;
  int halfPoints = 20;
  int color = -1;
  bool operator==(const Format&) const = default;
};

class Converter {
 public:
  std::string Run(std::string_view html);
  std::vector<HelpLink> Links() const;

 private:
  bool Tag(std::string_view html, std::size_t& i);
  void StartTag(const std::string& name, std::string_view attributes, bool selfClosing);
  void EndTag(const std::string& name);
  void Ended(const Element& element);
  void Char(char32_t c);
  void Text(char32_t c);
  void OpenParagraph();
  void CloseParagraph();
  // The look of the text inside the depth outermost open elements.
  void EmitFormat(std::size_t depth = SIZE_MAX);
  Format CurrentFormat(std::size_t depth) const;
  int ColorIndex(int rgb);

  std::string out_;
  std::vector<Element> open_;
  std::vector<int> colors_;
  struct List {
    bool ordered;
    int count;
  };
  std::vector<List> lists_;
  bool inParagraph_ = false;
  bool lineHasText_ = false;  // a blank now would separate two words
  bool pendingSpace_ = false;
  bool marker_ = false;      // the next paragraph starts a list item
  bool blockEnded_ = false;  // a list or table ended: the next paragraph keeps its distance
  int cell_ = 0;             // the cell of the table row, from 1
  int pre_ = 0;              // open <pre> elements
  bool skipNewline_ = false;
  int pendingBreaks_ = 0;  // line ends inside <pre>, written when more text follows
  std::optional<Format> shown_;
  std::optional<std::string> link_;  // the address of the open link to another document
  std::string linkText_;
  // Where the text stands in the control's characters (UTF-16 units, a paragraph's end one),
  // so that the links inside the page can be found there.
  long cp_ = 0;
  struct PlaceLink {
    std::string anchor;
    long start = -1, end = -1;
  };
  std::optional<PlaceLink> placeLink_;  // the open link to a place inside the page
  std::vector<PlaceLink> placeLinks_;
  std::vector<std::string> pendingAnchors_;  // placed at the next character shown
  std::map<std::string, long> anchors_;
};

std::string Converter::Run(std::string_view html) {
  for (std::size_t i = 0; i < html.size();) {
    if (html[i] == '<' && Tag(html, i)) continue;
    if (html[i] == '&') {
      if (const auto c = Entity(html, i)) {
        Char(*c);
        continue;
      }
    }
    Char(NextChar(html, i));
  }
  while (!open_.empty()) EndTag(open_.back().name);
  CloseParagraph();

  std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1036\\uc1"
      "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fmodern\\fcharset0 Courier New;}}"
      "{\\colortbl ;";
  for (const int rgb : colors_) {
    rtf += "\\red" + std::to_string(rgb >> 16) + "\\green" + std::to_string((rgb >> 8) & 0xFF) +
           "\\blue" + std::to_string(rgb & 0xFF) + ";";
  }
  rtf += "}\n" + out_ + "}\n";
  return rtf;
}

// Reads the markup at html[i] ('<'), i moved past it; false when the '<' is plain text.
bool Converter::Tag(std::string_view html, std::size_t& i) {
  const std::size_t n = html.size();
  if (html.substr(i, 4) == "<!--") {
    const std::size_t end = html.find("-->", i + 4);
    i = end == std::string_view::npos ? n : end + 3;
    return true;
  }
  std::size_t j = i + 1;
  if (j < n && (html[j] == '!' || html[j] == '?')) {  // a declaration
    const std::size_t end = html.find('>', j);
    i = end == std::string_view::npos ? n : end + 1;
    return true;
  }
  const bool isEnd = j < n && html[j] == '/';
  if (isEnd) ++j;
  if (j >= n || !IsLetter(html[j])) return false;
  std::size_t k = j;
  while (k < n && (IsLetter(html[k]) || IsDigit(html[k]))) ++k;
  const std::string name = LowerAscii(html.substr(j, k - j));
  const std::size_t attributesStart = k;
  for (char quote = 0; k < n && (quote != 0 || html[k] != '>'); ++k) {
    if (quote != 0) {
      if (html[k] == quote) quote = 0;
    } else if (html[k] == '"' || html[k] == '\'') {
      quote = html[k];
    }
  }
  const std::string_view attributes = html.substr(attributesStart, k - attributesStart);
  i = k < n ? k + 1 : n;
  if (isEnd) {
    EndTag(name);
  } else if (IsDropped(name)) {
    i = AfterEndTag(html, i, name);
  } else {
    StartTag(name, attributes, !attributes.empty() && attributes.back() == '/');
  }
  return true;
}

void Converter::StartTag(const std::string& name, std::string_view attributes, bool selfClosing) {
  if (name == "br") {
    if (!inParagraph_) OpenParagraph();
    out_ += "\\line ";
    ++cp_;
    lineHasText_ = pendingSpace_ = false;
    return;
  }
  if (name == "hr") {
    CloseParagraph();
    out_ += "\\pard\\brdrb\\brdrs\\brdrw10\\brsp20\\sa120\\par\n";
    ++cp_;
    return;
  }
  if (IsVoid(name)) {
    if (name == "img") {
      const std::string alt = Attribute(attributes, "alt").value_or("");
      for (std::size_t i = 0; i < alt.size();) Char(NextChar(alt, i));
    }
    return;
  }
  if (IsBlock(name)) CloseParagraph();
  if (name == "ul" || name == "ol") {
    const std::string start = Attribute(attributes, "start").value_or("1");
    lists_.push_back({name == "ol", name == "ol" ? std::atoi(start.c_str()) - 1 : 0});
  } else if (name == "li" && !lists_.empty()) {
    ++lists_.back().count;
    marker_ = true;
  } else if (name == "tr") {
    cell_ = 0;
  } else if (name == "td" || name == "th") {
    ++cell_;
  } else if (name == "pre") {
    ++pre_;
    skipNewline_ = true;  // as a browser, which drops the line end right after <pre>
  } else if (name == "a") {
    const std::string href = Attribute(attributes, "href").value_or("");
    // A place inside the page is nothing the shell can open: the window follows it itself.
    if (!href.empty() && href[0] != '#' && !link_) {
      link_ = href;
      linkText_.clear();
    } else if (href.size() > 1 && href[0] == '#' && !placeLink_) {
      placeLink_ = PlaceLink{href.substr(1)};
    }
    if (const auto anchor = Attribute(attributes, "name")) pendingAnchors_.push_back(*anchor);
  }
  // Any element may be a link's target by its id.
  if (const auto anchor = Attribute(attributes, "id")) pendingAnchors_.push_back(*anchor);
  if (selfClosing) return;
  Element element{name};
  if (const auto style = Attribute(attributes, "style")) {
    std::string_view rest = *style;
    while (!rest.empty()) {
      const std::size_t semicolon = rest.find(';');
      const std::string_view declaration = rest.substr(0, semicolon);
      rest = semicolon == std::string_view::npos ? std::string_view() : rest.substr(semicolon + 1);
      const std::size_t colon = declaration.find(':');
      if (colon == std::string_view::npos) continue;
      const std::string property = LowerAscii(Trim(declaration.substr(0, colon)));
      const std::string_view value = Trim(declaration.substr(colon + 1));
      if (property == "color") element.color = ParseColor(value);
      if (property == "font-size") element.halfPoints = ParseSize(value);
    }
  }
  open_.push_back(std::move(element));
}

void Converter::EndTag(const std::string& name) {
  std::size_t depth = open_.size();
  while (depth > 0 && open_[depth - 1].name != name) --depth;
  if (depth == 0) return;  // an end tag that closes nothing
  while (open_.size() >= depth) {
    const Element element = std::move(open_.back());
    open_.pop_back();
    Ended(element);
  }
}

void Converter::Ended(const Element& element) {
  const std::string& name = element.name;
  if (name == "a" && placeLink_) {
    if (placeLink_->start >= 0) {
      placeLink_->end = cp_;
      placeLinks_.push_back(*placeLink_);
    }
    placeLink_.reset();
  }
  if (name == "a" && link_) {
    // The address follows the text unless the text shows it already.
    const std::string address = *link_;
    link_.reset();
    std::string_view bare = address;
    for (const std::string_view scheme : {"http://", "https://", "mailto:"}) {
      if (bare.substr(0, scheme.size()) == scheme) bare.remove_prefix(scheme.size());
    }
    if (linkText_.find(bare) == std::string::npos) {
      const bool blank = pendingSpace_;  // a blank at the end of the link's text
      pendingSpace_ = false;
      Text(' ');
      Text('(');
      for (std::size_t i = 0; i < address.size();) Text(NextChar(address, i));
      Text(')');
      pendingSpace_ = blank;
    }
  } else if (name == "pre") {
    --pre_;
    pendingBreaks_ = 0;
    if (inParagraph_) out_ += "\\sa120";  // the block's last line keeps its distance
  } else if (name == "ul" || name == "ol") {
    if (!lists_.empty()) lists_.pop_back();
    marker_ = false;
    blockEnded_ = true;
  } else if (name == "li") {
    marker_ = false;
  } else if (name == "table") {
    cell_ = 0;
    blockEnded_ = true;
  }
  if (IsBlock(name)) CloseParagraph();
}

// One character of the page's text: blanks collapse outside <pre>.
void Converter::Char(char32_t c) {
  const bool skipNewline = skipNewline_;
  skipNewline_ = false;
  if (pre_ > 0) {
    if (c == '\r' || (c == '\n' && skipNewline)) return;
    if (c == '\n') {
      ++pendingBreaks_;
      return;
    }
    for (; pendingBreaks_ > 0; --pendingBreaks_) {
      if (!inParagraph_) OpenParagraph();
      out_ += "\\par\n";
      ++cp_;
      inParagraph_ = false;
    }
    Text(c);
    return;
  }
  if (IsBlank(c)) {
    if (lineHasText_) pendingSpace_ = true;
    return;
  }
  Text(c);
}

void Converter::Text(char32_t c) {
  if (!inParagraph_) OpenParagraph();
  if (pendingSpace_) {
    // The blank keeps the look of the word before it: "<b>a</b> <code>b</code>".
    pendingSpace_ = false;
    Put(out_, ' ');
    ++cp_;
    if (link_) linkText_ += ' ';
  }
  if (placeLink_ && placeLink_->start < 0) placeLink_->start = cp_;
  for (const std::string& anchor : pendingAnchors_) anchors_.emplace(anchor, cp_);
  pendingAnchors_.clear();
  EmitFormat();
  Put(out_, c);
  cp_ += Units(c);
  lineHasText_ = true;
  if (link_) AppendUtf8(linkText_, c);
}

void Converter::OpenParagraph() {
  int left = kIndent * static_cast<int>(lists_.size()) + (cell_ > 1 ? kIndent : 0);
  int before = 0, after = 120;
  bool heading = false;
  for (const Element& e : open_) {
    if (e.name == "blockquote" || e.name == "dd") left += kIndent;
  }
  // The innermost block decides the spacing.
  for (auto e = open_.rbegin(); e != open_.rend(); ++e) {
    if (IsHeading(e->name)) {
      heading = true;
      before = 240;
    } else if (e->name == "li") {
      after = 60;
    } else if (e->name == "td" || e->name == "th") {
      before = cell_ == 1 ? 80 : 0;
      after = 40;
    } else if (e->name == "pre") {
      after = 0;
    } else if (!IsBlock(e->name)) {
      continue;
    }
    break;
  }
  // Items and cells sit close together; what follows them does not.
  if (blockEnded_ && !marker_ && cell_ == 0) before = std::max(before, 120);
  blockEnded_ = false;
  out_ += "\\pard";
  if (before > 0) out_ += "\\sb" + std::to_string(before);
  out_ += "\\sa" + std::to_string(after);
  if (heading) out_ += "\\keepn";
  const bool marker = marker_ && !lists_.empty();
  if (marker) out_ += "\\fi-" + std::to_string(kIndent) + "\\tx" + std::to_string(left);
  out_ += "\\li" + std::to_string(left);
  inParagraph_ = true;
  lineHasText_ = false;
  shown_.reset();
  if (marker) {
    // The number or bullet in the item's own look, not that of its first word.
    marker_ = false;
    std::size_t block = open_.size();
    while (block > 0 && !IsBlock(open_[block - 1].name)) --block;
    EmitFormat(block);
    const List& list = lists_.back();
    if (list.ordered) {
      out_ += std::to_string(list.count) + ".";
    } else {
      Put(out_, 0x2022);  // bullet
    }
    out_ += "\\tab ";
    cp_ += list.ordered ? static_cast<long>(std::to_string(list.count).size()) + 2 : 2;
  }
}

void Converter::CloseParagraph() {
  if (inParagraph_) {
    out_ += "\\par\n";
    ++cp_;
  }
  inParagraph_ = lineHasText_ = pendingSpace_ = false;
  pendingBreaks_ = 0;
}

Format Converter::CurrentFormat(std::size_t depth) const {
  Format f;
  for (std::size_t i = 0; i < depth && i < open_.size(); ++i) {
    const Element& e = open_[i];
    const std::string& n = e.name;
    if (IsHeading(n)) {
      static constexpr int kSizes[] = {32, 26, 24, 22, 20, 20};
      f.bold = true;
      f.halfPoints = kSizes[n[1] - '1'];
      f.color = kPageBlue;
    } else if (n == "b" || n == "strong" || n == "th") {
      f.bold = true;
    } else if (n == "i" || n == "em" || n == "cite" || n == "var") {
      f.italic = true;
    } else if (n == "u" || n == "ins") {
      f.underline = true;
    } else if (n == "code" || n == "tt" || n == "kbd" || n == "samp" || n == "pre") {
      f.fixed = true;
    }
    if (e.color >= 0) f.color = e.color;
    if (e.halfPoints > 0) f.halfPoints = e.halfPoints;
  }
  return f;
}

void Converter::EmitFormat(std::size_t depth) {
  const Format f = CurrentFormat(depth);
  if (shown_ == f) return;
  out_ += f.fixed ? "\\plain\\f1" : "\\plain\\f0";
  out_ += "\\fs" + std::to_string(f.halfPoints);
  if (f.color >= 0) out_ += "\\cf" + std::to_string(ColorIndex(f.color));
  if (f.bold) out_ += "\\b";
  if (f.italic) out_ += "\\i";
  if (f.underline) out_ += "\\ul";
  out_ += ' ';
  shown_ = f;
}

int Converter::ColorIndex(int rgb) {
  for (std::size_t i = 0; i < colors_.size(); ++i) {
    if (colors_[i] == rgb) return static_cast<int>(i) + 1;
  }
  colors_.push_back(rgb);
  return static_cast<int>(colors_.size());
}

}  // namespace

std::vector<HelpLink> Converter::Links() const {
  std::vector<HelpLink> links;
  for (const PlaceLink& link : placeLinks_) {
    const auto target = anchors_.find(link.anchor);
    links.push_back({link.start, link.end, target == anchors_.end() ? -1 : target->second});
  }
  return links;
}

std::string HelpRtf(std::string_view html) {
  return Converter().Run(html);
}

HelpPage HelpPageOf(std::string_view html) {
  Converter converter;
  HelpPage page;
  page.rtf = converter.Run(html);
  page.links = converter.Links();
  return page;
}

std::string ReadHelpHtml(const std::string& path) {
  try {
    const auto file = platform::File::OpenRead(path);
    std::string html(static_cast<std::size_t>(file->Size()), '\0');
    html.resize(file->ReadAt(0, html.data(), html.size()));
    return html;
  } catch (const EInOutError&) {
    return "<h1>Aide</h1><p>Le fichier d'aide " + path + " est introuvable.</p>";
  }
}

}  // namespace qor
