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

// Appends "reference": null or {"file", "format", "ident", "name", "elevation_ft",
// "elevation_mm", "latitude", "longitude", "distance_m"}, as a member (a comma and a blank after).
void AppendReference(std::string& out, const library::Reference& reference,
                     const library::ReferenceMatch& match);
// Appends "reference_rejected": null or {"ident", "distance_m"}, as a member (a comma and a
// blank after).
void AppendRejected(std::string& out, const library::ReferenceMatch& match);

// Appends "unreadable": [{"file": PATH, "message": TEXT}, ...], every problem of the scan in
// the order met, as a member of the command's object (no comma before it).
void AppendUnreadable(std::string& out, const library::Library& library);

}  // namespace qor::cli
