#pragma once
// Where the window finds its help page: QORBgl.htm in French, QORBgl-en.htm and QORBgl-de.htm in
// the other languages the program speaks.

#include <string>

#include "lang/Language.h"

namespace qor {

// The page's file name in a language: "QORBgl.htm" for French, the page first written, else
// "QORBgl-<code>.htm".
std::string HelpPageName(lang::Language language);

// The help page of a program whose folder is appFolder (ending in the path delimiter), in the
// language if that page is there, else the French one. Each is looked for beside the program
// (the build folder, the Windows installation), then in share/qorbgl beside the program's
// folder (an installed or relocated Linux tree: bin/QORBgl, share/qorbgl/QORBgl.htm). When
// neither page is anywhere, the French page beside the program: the viewer then says that it is
// missing.
std::string HelpPagePath(const std::string& appFolder, lang::Language language);

// The help page of the running program (AppFolder) in the current language (lang::Current).
// Ask again after the language changes.
std::string HelpPagePath();

}  // namespace qor
