#pragma once
// Taking back a change from a window: the question asked first, and what the user is told after,
// alike for the elevation page's Ctrl+Z and the library page's "Annuler".

#include <string>

namespace qor {

namespace library {
struct JournalChange;
struct UndoOutcome;
}  // namespace library

// "Défaire la modification « align LFLJ » du 08/12/2026 20:41 ? ..." with how many fields and
// files it touched.
std::string UndoQuestion(const library::JournalChange& change);
// What was put back, and each field left as it is with why.
std::string UndoSummary(const library::UndoOutcome& outcome);

}  // namespace qor
