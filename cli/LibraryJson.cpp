#include "cli/LibraryJson.h"

#include <cmath>

#include "cli/AirportJson.h"
#include "cli/Json.h"

namespace qor::cli {

void AppendDefinition(std::string& out, const library::Library& library,
                      const library::Definition& d, bool shown) {
  const library::Area& area = library.AreaOf(d);
  out += "{\"area\": ";
  AppendJsonString(out, area.title);
  out += ", \"layer\": ";
  AppendJsonNumber(out, area.layer);
  out += area.active ? ", \"active\": true" : ", \"active\": false";
  out += shown ? ", \"shown\": true" : ", \"shown\": false";
  out += ", \"file\": ";
  AppendJsonString(out, d.file);
  out += ", \"icao\": ";
  AppendJsonString(out, d.icao);
  out += ", \"name\": ";
  AppendJsonString(out, d.name);
  StringSink sink(out);
  WriteAirportJson(
      sink, d.latitude, d.longitude, d.elevationMm, d.offset,
      [&](auto&& write) {
        for (const library::Element& e : d.elements) write(e.caption, e.elevationMm, e.offset);
      },
      ElementLines::kAirports);
}

void AppendReference(std::string& out, const library::Reference& reference,
                     const library::ReferenceMatch& match) {
  out += "\"reference\": ";
  if (!match.airport) {
    out += "null, ";
    return;
  }
  const library::ReferenceAirport& a = *match.airport;
  out += "{\"file\": ";
  AppendJsonString(out, reference.file);
  out += ", \"format\": ";
  AppendJsonString(out, library::FormatKey(reference.format));
  out += ", \"ident\": ";
  AppendJsonString(out, match.ident);
  out += ", \"name\": ";
  AppendJsonString(out, a.name);
  out += ", \"elevation_ft\": " + a.feet + ", \"elevation_mm\": ";
  AppendJsonNumber(out, a.elevationMm);
  out += ", \"latitude\": ";
  AppendJsonDegrees(out, a.latitude);
  out += ", \"longitude\": ";
  AppendJsonDegrees(out, a.longitude);
  out += ", \"distance_m\": ";
  AppendJsonNumber(out, std::llround(match.distanceM));
  out += "}, ";
}

void AppendRejected(std::string& out, const library::ReferenceMatch& match) {
  out += "\"reference_rejected\": ";
  if (!match.rejected) {
    out += "null, ";
    return;
  }
  out += "{\"ident\": ";
  AppendJsonString(out, match.rejected->first);
  out += ", \"distance_m\": ";
  AppendJsonNumber(out, std::llround(match.rejected->second));
  out += "}, ";
}

void AppendUnreadable(std::string& out, const library::Library& library) {
  out += "\"unreadable\": [";
  const std::vector<library::Problem>& problems = library.problems;
  for (std::size_t i = 0; i < problems.size(); ++i) {
    out += i == 0 ? "\n  {\"file\": " : ",\n  {\"file\": ";
    AppendJsonString(out, problems[i].path);
    out += ", \"message\": ";
    AppendJsonString(out, problems[i].message);
    out += '}';
  }
  out += problems.empty() ? "]" : "\n]";
}

}  // namespace qor::cli
