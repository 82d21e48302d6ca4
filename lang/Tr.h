#pragma once
// Every text the program shows a user, in the current language. The French text is the source:
// it is both the text shown in French and the key of its translations (a gettext msgid), read
// from po/en.po and po/de.po, which the build turns into the program's tables. The window's
// numbered texts are keyed by their number as well (the msgctxt).
//
//   Tr("Je ne trouve pas le fichier %1.", {QuotedPath(path)})
//
// %1 to %9 stand for the arguments, in the order given; a translation may place them elsewhere.

#include <initializer_list>
#include <string>
#include <string_view>

namespace qor {

// The text in the current language; the French text itself when it has no translation.
std::string Tr(std::string_view french);
// The same with %1, %2... replaced by the arguments.
std::string Tr(std::string_view french, std::initializer_list<std::string_view> args);
// A numbered text of the window, keyed by its number and its French text.
std::string TrNumbered(int id, std::string_view french);

namespace lang {

// One entry of the tables: its context (the number of a numbered text, else empty), its French
// text, and its English and German translations (empty when not translated).
struct Entry {
  std::string_view context;
  std::string_view french;
  std::string_view english;
  std::string_view german;
};
// Every entry of the translation files, in their order.
const Entry* Entries(std::size_t& count);

// The pseudo-language of the tests: the text lengthened by 40 % and in brackets, its access key
// and %1... placeholders kept.
std::string Pseudo(std::string_view french);

}  // namespace lang

}  // namespace qor
