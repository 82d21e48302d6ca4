#include "cli/AirportJson.h"

namespace qor::cli {

namespace {

char* WriteElevationAndOffset(char* out, std::int32_t elevationMm, std::uint32_t offset) {
  out = Put(out, ", \"elevation_mm\": ");
  out = WriteJsonNumber(out, elevationMm);
  out = Put(out, ", \"offset\": ");
  return WriteJsonNumber(out, offset);
}

}  // namespace

char* WriteAirportPlace(char* out, double latitude, double longitude, std::int32_t elevationMm,
                        std::uint32_t offset) {
  out = Put(out, ", \"latitude\": ");
  out = WriteJsonDegrees(out, latitude);
  out = Put(out, ", \"longitude\": ");
  out = WriteJsonDegrees(out, longitude);
  out = WriteElevationAndOffset(out, elevationMm, offset);
  return Put(out, ", \"elements\": [");
}

char* WriteElement(char* out, std::string_view caption, std::int32_t elevationMm,
                   std::uint32_t offset, bool first, ElementLines lines) {
  if (lines == ElementLines::kOwn) {
    out = first ? Put(out, "\n    {\"caption\": ") : Put(out, ",\n    {\"caption\": ");
  } else {
    out = first ? Put(out, "{\"caption\": ") : Put(out, ", {\"caption\": ");
  }
  out = WriteJsonString(out, caption);
  out = WriteElevationAndOffset(out, elevationMm, offset);
  return Put(out, "}");
}

char* WriteElementsEnd(char* out, bool none, ElementLines lines) {
  return lines == ElementLines::kOwn && !none ? Put(out, "\n  ]}") : Put(out, "]}");
}

}  // namespace qor::cli
