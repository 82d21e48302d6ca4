#include "cli/LibraryJson.h"

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
