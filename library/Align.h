#pragma once
// Brings every active definition of an airport to one elevation: each file checked first, then
// each backed up, then each field rewritten, so that a file that cannot be written stops the
// whole before anything changes.

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
// all its runways' and starts' too. Fields that hold mm already are left out.
std::vector<FieldChange> PlanAlign(const std::vector<const Definition*>& definitions,
                                   std::int32_t mm, bool all);

// Writes the changes. First every file is checked: still the one the scan read, opened for
// writing, each field still holding its old value; with backup, two files of one name are
// refused too, as their copies would take one name. Then each file is copied into the backup
// folder on desktopFolder's desktop. Then the fields are written, four bytes each. Raises
// Exception with a French message naming the file when a check or a copy fails: nothing is
// written then. A write that fails later raises too, the message saying what was written.
// report is told of each copy made and each field written.
struct AlignReport {
  std::function<void(const std::string& file, const std::string& copy)> copied;
  std::function<void(const FieldChange&)> written;
};
void Align(const Library& library, const std::vector<FieldChange>& changes,
           const std::string& desktopFolder, bool backup, const AlignReport& report);

}  // namespace qor::library
