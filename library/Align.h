#pragma once
// Brings every active definition of an airport to one elevation, all or nothing: every file
// checked first, then each backed up, then the change recorded in the journal and written, so
// that a file that cannot be written, or a run cut short, leaves every definition as it was.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "library/Library.h"

namespace qor::library {

struct FieldChange {
  std::string file;
  std::string what;  // the airport's name, or its runway's or start's caption
  std::uint32_t offset = 0;
  std::int32_t oldMm = 0;
  std::int32_t newMm = 0;
};

// The fields to change so that the definitions given hold mm: each airport's own field, with
// all its runways' and starts' too. Fields that hold mm already are left out, and so is a field
// met a second time through another path to the same file (a hard link, a link, an area listed
// twice in scenery.cfg): one file, one write.
std::vector<FieldChange> PlanAlign(const Library& library,
                                   const std::vector<const Definition*>& definitions,
                                   std::int32_t mm, bool all);

// Writes the changes as one change of the journal (command names it there). Every file must
// still be the one the scan read, each field holding its old value; with backup, two files of
// one name are refused too, as their copies would take one name. Raises Exception with a French
// message naming the file when a check or a copy fails: nothing is written then. A write that
// fails raises too, after the fields written were put back. report is told of each copy made and
// each field written, once the change is made.
struct AlignReport {
  std::function<void(const std::string& file, const std::string& copy)> copied;
  std::function<void(const FieldChange&)> written;
};
void Align(const Library& library, const std::vector<FieldChange>& changes,
           const std::string& desktopFolder, bool backup, const AlignReport& report,
           const std::string& command = "align");

}  // namespace qor::library
