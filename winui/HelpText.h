#pragma once
// The help page, written in HTML for a browser, as rich text for the Windows window's read-only
// rich-edit control: the window embeds no HTML engine, and Wine ships none.

#include <string>
#include <string_view>

namespace qor {

// The UTF-8 page as an RTF document in ASCII (other characters as \uN? escapes): headings,
// paragraphs, bulleted and numbered lists, table rows, bold, italic, fixed-pitch blocks. The
// head, styles and scripts are dropped and blanks collapse as a browser collapses them. A link
// to another document keeps its text, followed by its address when the text does not show it,
// for the control's URL detection: Wine's rich edit drops the text of RTF hyperlink fields.
std::string HelpRtf(std::string_view html);

}  // namespace qor
