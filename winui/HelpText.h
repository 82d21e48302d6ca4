#pragma once
// The help page, written in HTML for a browser, as rich text for the Windows window's read-only
// rich-edit control: the window embeds no HTML engine, and Wine ships none.

#include <string>
#include <string_view>
#include <vector>

namespace qor {

// The UTF-8 page as an RTF document in ASCII (other characters as \uN? escapes): headings,
// paragraphs, bulleted and numbered lists, table rows, bold, italic, fixed-pitch blocks. The
// head, styles and scripts are dropped and blanks collapse as a browser collapses them. A link
// to another document keeps its text, followed by its address when the text does not show it,
// for the control's URL detection: Wine's rich edit drops the text of RTF hyperlink fields.
std::string HelpRtf(std::string_view html);

// A link to a place inside the page (href="#name"), in the control's character positions
// (UTF-16 units, a paragraph's end counting one): its text, and the first character after the
// anchor it leads to (-1 when the page has no such anchor).
struct HelpLink {
  long start = 0, end = 0;
  long target = -1;
};

struct HelpPage {
  std::string rtf;              // as HelpRtf gives it
  std::vector<HelpLink> links;  // in the order of the page
};
HelpPage HelpPageOf(std::string_view html);

// The page at path; a short page that says it is missing when it cannot be read.
std::string ReadHelpHtml(const std::string& path);

}  // namespace qor
