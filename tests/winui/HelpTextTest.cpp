#include "winui/HelpText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"
#include "text/Utf8.h"

#ifdef _WIN32
#include <windows.h>

#include <richedit.h>

#include "platform/Text_win32.h"
#endif

namespace qor {
namespace {

// How a character looks once a reader has laid the RTF out.
struct Look {
  bool bold = false, italic = false;
  std::string font;
  int halfPoints = 24;
  int rgb = 0;
};

// What an RTF reader shows, read here independently of the writer: the text of each paragraph
// (line breaks end one too) and the look of each of its bytes.
struct Shown {
  std::vector<std::string> paragraphs{""};
  std::vector<std::vector<Look>> looks{{}};
  int depthAtEnd = -1;  // the group depth after the document's closing brace, 0 when balanced

  std::string Text() const {
    std::string all;
    for (const std::string& p : paragraphs) all += p + "\n";
    while (!all.empty() && all.back() == '\n') all.pop_back();
    return all;
  }
  // The look of the first character of the first paragraph that begins with text.
  const Look* LookOf(const std::string& text) const {
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
      if (paragraphs[i].rfind(text, 0) == 0 && !looks[i].empty()) return &looks[i][0];
    }
    return nullptr;
  }
};

Shown Read(const std::string& rtf) {
  struct State {
    bool skip = false, bold = false, italic = false;
    int font = 0, halfPoints = 24, color = 0;
  };
  Shown shown;
  std::vector<State> groups{State{}};
  std::map<int, std::string> fonts;
  std::vector<int> colors;  // the first entry, before its first ';', is the automatic colour
  int fontNumber = 0, red = 0, green = 0, blue = 0;
  std::string destination;  // "fonttbl" or "colortbl" while reading one
  char16_t high = 0;        // the first half of a surrogate pair
  int depth = 0;
  const auto put = [&](char32_t c) {
    State& s = groups.back();
    if (s.skip) return;
    if (destination == "fonttbl") {
      if (c == ';') return;
      fonts[fontNumber] += static_cast<char>(c);
      return;
    }
    if (destination == "colortbl") {
      if (c == ';') colors.push_back(red << 16 | green << 8 | blue);
      return;
    }
    std::string bytes;
    AppendUtf8(bytes, c);
    const Look look{s.bold, s.italic, fonts[s.font], s.halfPoints,
                    s.color < static_cast<int>(colors.size()) ? colors[s.color] : -1};
    shown.paragraphs.back() += bytes;
    shown.looks.back().insert(shown.looks.back().end(), bytes.size(), look);
  };
  const auto endParagraph = [&] {
    if (groups.back().skip || !destination.empty()) return;
    shown.paragraphs.emplace_back();
    shown.looks.emplace_back();
  };
  for (std::size_t i = 0; i < rtf.size();) {
    const char c = rtf[i++];
    if (c == '{') {
      groups.push_back(groups.back());
      ++depth;
    } else if (c == '}') {
      if (groups.size() > 1) groups.pop_back();
      if (--depth == 1) destination.clear();
      if (depth == 0) shown.depthAtEnd = 0;
      if (depth < 0) shown.depthAtEnd = depth;
    } else if (c == '\r' || c == '\n') {
      // Line ends only lay the RTF out.
    } else if (c != '\\') {
      put(static_cast<unsigned char>(c));
    } else if (i < rtf.size() && !std::isalpha(static_cast<unsigned char>(rtf[i]))) {
      const char symbol = rtf[i++];
      if (symbol == '*') groups.back().skip = true;
      if (symbol == '~') put(0xA0);
      if (symbol == '\\' || symbol == '{' || symbol == '}') put(symbol);
    } else {
      std::string word;
      while (i < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[i]))) word += rtf[i++];
      std::string number;
      if (i < rtf.size() && rtf[i] == '-') number += rtf[i++];
      while (i < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[i]))) {
        number += rtf[i++];
      }
      if (i < rtf.size() && rtf[i] == ' ') ++i;
      const bool hasNumber = !number.empty() && number != "-";
      const int n = hasNumber ? std::stoi(number) : 0;
      State& s = groups.back();
      if (word == "fonttbl" || word == "colortbl") destination = word;
      if (word == "stylesheet" || word == "info" || word == "pict") s.skip = true;
      if (word == "f" && destination == "fonttbl") fontNumber = n;
      if (word == "red") red = n;
      if (word == "green") green = n;
      if (word == "blue") blue = n;
      if (word == "par" || word == "line") endParagraph();
      if (word == "tab") put('\t');
      if (word == "plain") s.bold = s.italic = false, s.font = 0, s.halfPoints = 24, s.color = 0;
      if (word == "b") s.bold = !hasNumber || n != 0;
      if (word == "i") s.italic = !hasNumber || n != 0;
      if (word == "f" && destination.empty()) s.font = n;
      if (word == "fs") s.halfPoints = n;
      if (word == "cf") s.color = n;
      if (word == "u") {
        const char16_t unit = static_cast<char16_t>(n);
        if (unit >= 0xD800 && unit < 0xDC00) {
          high = unit;
        } else if (unit >= 0xDC00 && unit < 0xE000) {
          put(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
        } else {
          put(unit);
        }
        if (i < rtf.size()) ++i;  // the fallback character of \uc1
      }
    }
  }
  if (shown.paragraphs.back().empty()) {
    shown.paragraphs.pop_back();
    shown.looks.pop_back();
  }
  return shown;
}

bool IsAscii(const std::string& text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// The text of the page's elements of one kind, as a browser shows it: tags out, blanks
// collapsed (the page writes its accents as characters, not entities).
std::vector<std::string> ElementTexts(const std::string& html, const std::string& tag) {
  std::vector<std::string> texts;
  const std::regex element("<" + tag + "[^>]*>([\\s\\S]*?)</" + tag + ">");
  for (auto it = std::sregex_iterator(html.begin(), html.end(), element);
       it != std::sregex_iterator(); ++it) {
    std::string text = std::regex_replace((*it)[1].str(), std::regex("<[^>]*>"), "");
    text = std::regex_replace(text, std::regex("\\s+"), " ");
    text = std::regex_replace(text, std::regex("^ | $"), "");
    texts.push_back(text);
  }
  return texts;
}

std::string HelpPage() {
  return test::ReadText(QORBGL_HELP);
}

TEST(HelpTextTest, TheHelpPageReadsInTheOrderOfThePage) {
  const std::string html = HelpPage();
  ASSERT_FALSE(html.empty()) << QORBGL_HELP;
  const std::string rtf = HelpRtf(html);
  EXPECT_TRUE(IsAscii(rtf));
  const Shown shown = Read(rtf);
  EXPECT_EQ(shown.depthAtEnd, 0);
  ASSERT_FALSE(shown.paragraphs.empty());
  EXPECT_EQ(shown.paragraphs[0], "QORBgl – altitude des aéroports et des pistes");

  // Every heading and every list item is a paragraph of its own, in the page's order; a
  // numbered list counts from 1, the others carry a bullet.
  std::vector<std::string> expected = ElementTexts(html, "h2");
  const std::vector<std::string> items = ElementTexts(html, "li");
  ASSERT_GE(expected.size(), 9u);
  ASSERT_GE(items.size(), 25u);
  std::size_t next = 0;
  for (const std::string& heading : expected) {
    while (next < shown.paragraphs.size() && shown.paragraphs[next] != heading) ++next;
    EXPECT_LT(next, shown.paragraphs.size()) << "heading out of place: " << heading;
  }
  next = 0;
  for (const std::string& item : items) {
    while (next < shown.paragraphs.size() &&
           !(shown.paragraphs[next].size() > item.size() &&
             shown.paragraphs[next].compare(shown.paragraphs[next].size() - item.size(),
                                            item.size(), item) == 0 &&
             shown.paragraphs[next].find('\t') != std::string::npos)) {
      ++next;
    }
    EXPECT_LT(next, shown.paragraphs.size()) << "list item out of place: " << item;
  }
  const std::string text = shown.Text();
  EXPECT_NE(text.find("•\tLa fenêtre\n•\tOuvrir un fichier\n"), std::string::npos);
  EXPECT_NE(text.find("1.\tDouble-cliquez sur la ligne à modifier (un aéroport, une piste ou un "
                      "départ), ou choisissez-la et appuyez sur Entrée ou F2.\n2.\tLa fenêtre « "
                      "Modification d'élévation »"),
            std::string::npos);
  // The example keeps its columns, line by line.
  EXPECT_NE(text.find("\nToussus-le-Noble           164.000\n"
                      "   Runway 7 L                 163.500\n"
                      "   Start 25 R                 162.800\n"),
            std::string::npos);
  // The head and the markup stay out of the text.
  EXPECT_EQ(text.find("QORBgl – Aide"), std::string::npos);
  EXPECT_EQ(text.find('<'), std::string::npos);
  EXPECT_EQ(text.find("style"), std::string::npos);
  EXPECT_NE(text.find("Bon vol, et bonnes scèneries !"), std::string::npos);
}

TEST(HelpTextTest, HeadingsEmphasisAndExamplesKeepTheirLook) {
  const Shown shown = Read(HelpRtf(HelpPage()));
  struct Row {
    std::string start;
    bool bold, italic;
    std::string font;
    int halfPoints, rgb;
  };
  const Row rows[] = {
      {"QORBgl – altitude", true, false, "Arial", 32, 0x1F4E79},  // the page's blue
      {"Changer une altitude", true, false, "Arial", 26, 0x1F4E79},
      {"Bienvenue", false, false, "Arial", 20, 0x202020},
      {"Quels fichiers ?", true, false, "Arial", 20, 0x202020},
      {"Toussus-le-Noble", false, false, "Courier New", 20, 0x202020},
      {"qorbgl-cli list FICHIER", false, false, "Courier New", 20, 0x202020},
      {"Commande", true, false, "Arial", 20, 0x202020},
      {"Bon vol", false, false, "Arial", 18, 0x606060},
  };
  for (const Row& row : rows) {
    const Look* look = shown.LookOf(row.start);
    ASSERT_NE(look, nullptr) << row.start;
    EXPECT_EQ(look->bold, row.bold) << row.start;
    EXPECT_EQ(look->italic, row.italic) << row.start;
    EXPECT_EQ(look->font, row.font) << row.start;
    EXPECT_EQ(look->halfPoints, row.halfPoints) << row.start;
    EXPECT_EQ(look->rgb, row.rgb) << row.start;
  }
  // Inside a paragraph: "choisissez un fichier <i>.bgl</i>", "<b>Parcourir</b>".
  for (std::size_t i = 0; i < shown.paragraphs.size(); ++i) {
    const std::size_t at = shown.paragraphs[i].find("Cliquez sur Parcourir et choisissez");
    if (at == std::string::npos) continue;
    const std::string& p = shown.paragraphs[i];
    EXPECT_TRUE(shown.looks[i][p.find("Parcourir")].bold);
    EXPECT_FALSE(shown.looks[i][p.find("Cliquez")].bold);
    EXPECT_TRUE(shown.looks[i][p.find(".bgl")].italic);
    // The item's number keeps the item's look, not that of its first word.
    EXPECT_FALSE(shown.looks[i][0].bold);
  }
}

struct HtmlRow {
  const char* name;
  std::string html;
  std::string text;  // paragraphs joined by '\n'
};

void PrintTo(const HtmlRow& row, std::ostream* out) {
  *out << row.name;
}

class HtmlToText : public ::testing::TestWithParam<HtmlRow> {};

TEST_P(HtmlToText, ShowsWhatABrowserShows) {
  const std::string rtf = HelpRtf(GetParam().html);
  EXPECT_TRUE(IsAscii(rtf));
  const Shown shown = Read(rtf);
  EXPECT_EQ(shown.depthAtEnd, 0);
  EXPECT_EQ(shown.Text(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HtmlToText,
    ::testing::Values(
        HtmlRow{"Entities",
                "<p>&eacute;t&eacute; &amp; &lt;b&gt; &laquo;&nbsp;x&nbsp;&raquo; &#233;&#xE9; "
                "&Eacute;cole &copy2 &bogus; a&b &#0; &#x110000;</p>",
                "été & <b> «\u00A0x\u00A0» éé École &copy2 &bogus; a&b \uFFFD \uFFFD"},
        HtmlRow{"BlanksCollapse", "<p>  a \n\t b  </p>\n\n<p>\nc\n</p>  <div> d <b> e </b> f</div>",
                "a b\nc\nd e f"},
        HtmlRow{"NestedLists",
                "<ul><li>un</li><li>deux<ol><li>a</li><li>b</li></ol>suite</li></ul>"
                "<ol start=\"3\"><li><p>trois</p></li></ol>",
                "•\tun\n•\tdeux\n1.\ta\n2.\tb\nsuite\n3.\ttrois"},
        HtmlRow{"Preformatted", "<pre>\n  a  b\n\n\tc\n</pre><p>x  y</p><pre>z</pre>",
                "  a  b\n\n\tc\nx y\nz"},
        HtmlRow{"Links",
                "<p>Voir <a href=\"https://example.org/x?a=1&amp;b=2\">le site</a>, "
                "<a href=\"#haut\">en haut</a>, <a name=\"ici\"></a>"
                "<a href=\"mailto:qor@example.org\">qor@example.org</a> et "
                "<a href='http://example.org'>example.org</a> puis <a href=\"http://a.fr\">A "
                "</a>fin.</p>",
                "Voir le site (https://example.org/x?a=1&b=2), en haut, qor@example.org et "
                "example.org puis A (http://a.fr) fin."},
        HtmlRow{"HeadStylesAndScriptsDropped",
                "<!DOCTYPE html><html><head><title>Titre</title><style>p { color: red; }</style>"
                "</head><body><SCRIPT>var a = '<p>x</p>';</SCRIPT><p>texte<!-- note --></p>"
                "</body></html>",
                "texte"},
        HtmlRow{"RtfSpecialCharacters", "<p>{a} \\b</p>", "{a} \\b"},
        HtmlRow{"LineBreakAndRule", "<p>a<br>b<br/>c</p><hr><p>d</p>", "a\nb\nc\n\nd"},
        HtmlRow{"TableRows",
                "<table><tr><th>A</th><th>B</th></tr>\n<tr><td>c</td><td>d <code>e</code></td>"
                "</tr></table><p>f</p>",
                "A\nB\nc\nd e\nf"},
        HtmlRow{"BeyondTheBasicPlane", "<p>✈ 😀 €</p>", "✈ 😀 €"},
        HtmlRow{"BrokenBytesAndMarkup",
                "<p>a\xFF"
                "b < c <3 &</p><p>d",
                "a\uFFFDb < c <3 &\nd"},
        HtmlRow{"ImageAlt", "<p>Le <img src=\"f.png\" alt=\"drapeau\"> menu</p>",
                "Le drapeau menu"}),
    [](const ::testing::TestParamInfo<HtmlRow>& info) { return std::string(info.param.name); });

#ifdef _WIN32
// Hands the control the rest of the RTF text, a piece at a time.
DWORD CALLBACK ReadRtf(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* read) {
  auto* rest = reinterpret_cast<std::string*>(cookie);
  const std::size_t n = std::min(rest->size(), static_cast<std::size_t>(size));
  std::copy_n(rest->data(), n, buffer);
  rest->erase(0, n);
  *read = static_cast<LONG>(n);
  return 0;
}

// The control the window shows the page in reads the same text: Windows' rich edit, or Wine's.
TEST(HelpTextTest, TheRichEditControlShowsTheSameText) {
  ::LoadLibraryW(L"msftedit.dll");
  HWND edit = ::CreateWindowExW(0, MSFTEDIT_CLASS, L"", WS_POPUP | ES_MULTILINE | ES_READONLY, 0, 0,
                                600, 400, nullptr, nullptr, nullptr, nullptr);
  if (edit == nullptr) GTEST_SKIP() << "no window without a display (run under xvfb-run)";
  std::string rtf = HelpRtf(HelpPage());
  EDITSTREAM stream{};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&rtf);
  stream.pfnCallback = ReadRtf;
  ::SendMessageW(edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
  EXPECT_EQ(stream.dwError, 0u);
  std::wstring wide(static_cast<std::size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
  wide.resize(
      static_cast<std::size_t>(::GetWindowTextW(edit, wide.data(), static_cast<int>(wide.size()))));
  ::DestroyWindow(edit);
  std::string text = platform::Utf8(wide);
  text = std::regex_replace(text, std::regex("\r\n?"), "\n");
  while (!text.empty() && text.back() == '\n') text.pop_back();
  EXPECT_EQ(text, Read(HelpRtf(HelpPage())).Text());
}

// The links to the page's own places, found in the control where HelpPageOf says: the link's
// text, and its anchor's heading at its target. Each row puts before the link what moves the
// control's positions: paragraph ends, list markers, line breaks, tabs, characters of two
// UTF-16 units, entities, preformatted lines.
struct PlaceLinkRow {
  const char* name;
  std::string html;
  std::string link;     // the link's text as the control shows it
  std::string heading;  // the text at its target, "" for none
};

void PrintTo(const PlaceLinkRow& row, std::ostream* out) {
  *out << row.name;
}

class PlaceLinks : public ::testing::TestWithParam<PlaceLinkRow> {};

std::wstring RangeText(HWND edit, long start, long end) {
  std::wstring text(static_cast<std::size_t>(end - start) + 1, L'\0');
  TEXTRANGEW range{{start, end}, text.data()};
  text.resize(static_cast<std::size_t>(
      ::SendMessageW(edit, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range))));
  return text;
}

TEST_P(PlaceLinks, LeadToTheirHeadingInTheControl) {
  ::LoadLibraryW(L"msftedit.dll");
  HWND edit = ::CreateWindowExW(0, MSFTEDIT_CLASS, L"", WS_POPUP | ES_MULTILINE | ES_READONLY, 0, 0,
                                600, 400, nullptr, nullptr, nullptr, nullptr);
  if (edit == nullptr) GTEST_SKIP() << "no window without a display (run under xvfb-run)";
  const auto page = HelpPageOf(GetParam().html);
  SETTEXTEX how{ST_DEFAULT, CP_ACP};
  ::SendMessageW(edit, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how),
                 reinterpret_cast<LPARAM>(page.rtf.c_str()));
  ASSERT_EQ(page.links.size(), 1u);
  const HelpLink& link = page.links[0];
  EXPECT_EQ(platform::Utf8(RangeText(edit, link.start, link.end)), GetParam().link);
  if (GetParam().heading.empty()) {
    EXPECT_EQ(link.target, -1);
  } else {
    const auto size = static_cast<long>(platform::Wide(GetParam().heading).size());
    EXPECT_EQ(platform::Utf8(RangeText(edit, link.target, link.target + size)), GetParam().heading);
  }
  ::DestroyWindow(edit);
}

INSTANTIATE_TEST_SUITE_P(
    HelpTextTest, PlaceLinks,
    ::testing::Values(
        PlaceLinkRow{"ContentsList",
                     "<ul><li><a href=\"#b\">Deux</a></li></ul><h2><a name=\"a\"></a>Un</h2>"
                     "<p>x</p><h2><a name=\"b\"></a>Deux</h2>",
                     "Deux", "Deux"},
        PlaceLinkRow{"AfterNumberedItemsAndBreaks",
                     "<ol><li>a</li><li>b<br>c</li><li>d\te</li><li>f</li><li>g</li><li>h</li>"
                     "<li>i</li><li>j</li><li>k</li><li>l</li></ol><p>voir <a href=\"#fin\">la "
                     "fin</a>.</p><h3 id=\"fin\">Fin &amp; suite</h3>",
                     "la fin", "Fin & suite"},
        PlaceLinkRow{"AfterWideCharactersAndPre",
                     "<p>\xF0\x9F\x9B\xAB avion &eacute;t&eacute;</p><pre>l1\nl2\n\nl4</pre>"
                     "<hr><p><a href=\"#h\">aller</a></p><h1><a name=\"h\">Hé</a> ho</h1>",
                     "aller", "Hé ho"},
        PlaceLinkRow{"ToNoAnchor", "<p>a <a href=\"#nulle\">part</a></p>", "part", ""}),
    [](const ::testing::TestParamInfo<PlaceLinkRow>& info) { return info.param.name; });

// On the real page, each entry of the table of contents leads to the heading of its name.
TEST(HelpTextTest, TheContentsLeadToTheirHeadings) {
  ::LoadLibraryW(L"msftedit.dll");
  HWND edit = ::CreateWindowExW(0, MSFTEDIT_CLASS, L"", WS_POPUP | ES_MULTILINE | ES_READONLY, 0, 0,
                                600, 400, nullptr, nullptr, nullptr, nullptr);
  if (edit == nullptr) GTEST_SKIP() << "no window without a display (run under xvfb-run)";
  const auto page = HelpPageOf(HelpPage());
  SETTEXTEX how{ST_DEFAULT, CP_ACP};
  ::SendMessageW(edit, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how),
                 reinterpret_cast<LPARAM>(page.rtf.c_str()));
  ASSERT_GE(page.links.size(), 10u);
  for (std::size_t i = 0; i < 10; ++i) {
    const HelpLink& link = page.links[i];
    const std::wstring text = RangeText(edit, link.start, link.end);
    ASSERT_GE(link.target, link.end) << i;
    EXPECT_EQ(RangeText(edit, link.target, link.target + static_cast<long>(text.size())), text)
        << platform::Utf8(text);
  }
  ::DestroyWindow(edit);
}
#endif

}  // namespace
}  // namespace qor
