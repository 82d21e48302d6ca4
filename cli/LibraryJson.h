#pragma once
// The JSON pieces that the library commands share: a definition of an airport, and the files
// and folders that the scan could not read.

#include <string>

#include "library/Library.h"

namespace qor::cli {

// Appends a definition: {"area", "layer", "active", "shown", "file", "icao", "name",
// "latitude", "longitude", "elevation_mm", "offset", "elements"}.
void AppendDefinition(std::string& out, const library::Library& library,
                      const library::Definition& d, bool shown);

// Appends "unreadable": [{"file": PATH, "message": TEXT}, ...], every problem of the scan in
// the order met, as a member of the command's object (no comma before it).
void AppendUnreadable(std::string& out, const library::Library& library);

}  // namespace qor::cli
