// The fuzz target of the reference lists' reader: any bytes, read as OurAirports' airports.csv or
// OpenFlights' airports.dat a step at a time, as the window reads them, then indexed and matched.
// The message that the bytes are neither list is the expected answer to most inputs; a crash, a
// leak, a hang, a huge allocation or a broken promise of the reader (checked below) is a finding.
//
// Built with -fsanitize=fuzzer it is driven by libFuzzer (scripts/fuzz.sh); linked with
// ReplayMain.cpp it is a replayer of saved inputs.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "library/Reference.h"
#include "platform/Errors.h"
#include "text/Trim.h"

namespace {

using qor::library::Match;
using qor::library::Reference;
using qor::library::ReferenceAirport;
using qor::library::ReferenceMatch;
using qor::library::ReferenceRead;

// A promise of the reader that does not hold: stop here, so that the fuzzer keeps the input.
void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "qorbgl reference fuzz: %s\n", what);
  std::abort();
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

// Whether the index holds key, known by an ident or a gps code.
bool Indexed(const Reference& reference, const std::string& key) {
  return std::any_of(reference.index.begin(), reference.index.end(),
                     [&](const Reference::Key& k) { return k.ident == key; });
}

// What Match promises whatever it is asked: a row found lies within the radius and answers to
// the key; a row only farther away is named, and only when nothing near was found.
void CheckMatch(const Reference& reference, const ReferenceMatch& match, const std::string& key) {
  if (match.airport != nullptr) {
    Require(match.distanceM <= qor::library::kMatchRadiusM, "a match farther than the radius");
    Require(Upper(match.airport->ident) == key || Upper(match.airport->gpsCode) == key,
            "a match that answers to another ident");
    Require(!match.rejected, "a match that also names a rejected row");
  } else if (match.rejected) {
    Require(match.rejected->second > qor::library::kMatchRadiusM,
            "a row rejected though it lies within the radius");
    Require(Upper(match.rejected->first) == key, "a rejected row of another ident");
  } else {
    Require(key.empty() || !Indexed(reference, key), "an indexed ident neither found nor rejected");
  }
}

void CheckAirports(const Reference& reference) {
  Require(reference.file == "fuzz", "the reference lost its file's name");
  Require(reference.airports.size() + reference.withoutElevation + reference.malformed <=
              reference.rows,
          "more airports and skipped rows than rows");
  std::size_t keys = 0;
  for (const ReferenceAirport& a : reference.airports) {
    Require(!a.ident.empty() || !a.gpsCode.empty(), "an airport nothing can match");
    Require(a.gpsCode.empty() || Upper(a.gpsCode) != Upper(a.ident),
            "a gps code kept though it is the ident");
    Require(std::abs(a.latitude) <= 90 && std::abs(a.longitude) <= 180, "a position off the Earth");
    Require(qor::library::FeetToMm(a.feet) == a.elevationMm,
            "millimetres that are not the feet kept");
    keys += (a.ident.empty() ? 0 : 1) + (a.gpsCode.empty() ? 0 : 1);
  }
  Require(reference.index.size() == keys, "an index of other keys than the airports'");
  Require(std::is_sorted(
              reference.index.begin(), reference.index.end(),
              [](const Reference::Key& x, const Reference::Key& y) { return x.ident < y.ident; }),
          "an index out of order");
}

void CheckMatches(const Reference& reference, std::string_view tail) {
  for (const ReferenceAirport& a : reference.airports) {
    // At its own place an airport is found by its ident: itself, or a twin as near.
    if (!a.ident.empty()) {
      const ReferenceMatch match = Match(reference, a.ident, a.latitude, a.longitude);
      Require(match.airport != nullptr && match.distanceM == 0 &&
                  Upper(match.airport->ident) == Upper(a.ident),
              "an airport not found by its ident at its own place");
    }
    const std::string key = Upper(a.gpsCode.empty() ? a.ident : a.gpsCode);
    const ReferenceMatch own = Match(reference, key, a.latitude, a.longitude);
    Require(own.airport != nullptr, "an airport not found by its gps code at its own place");
    CheckMatch(reference, own, key);
    // From the other side of the Earth: a row of that ident is there, or it is named as too far.
    const double longitude = a.longitude > 0 ? a.longitude - 180 : a.longitude + 180;
    const ReferenceMatch far = Match(reference, key, -a.latitude, longitude);
    Require(far.airport != nullptr || far.rejected, "an indexed ident neither found nor rejected");
    CheckMatch(reference, far, key);
  }
  // A few idents whatever the list holds: blank, a real one, and the input's last bytes.
  for (std::string_view icao : {std::string_view(), std::string_view("LFLJ"), tail}) {
    const std::string key = Upper(qor::Trim(icao));
    CheckMatch(reference, Match(reference, icao, 45.3967, 6.6347), key);
  }
  Require(!Match(reference, "", 0, 0).airport && !Match(reference, "", 0, 0).rejected,
          "a blank ident matched something");
}

// Feet read exactly: whatever text FeetToMm takes, its millimetres are those of the number the
// text writes, within the rounding.
void CheckFeet(std::string_view text) {
  const std::optional<std::int32_t> mm = qor::library::FeetToMm(text);
  if (!mm) return;
  const std::string number(qor::Trim(text));
  const double feet = std::strtod(number.c_str(), nullptr);
  Require(std::abs(*mm - feet * 304.8) <= 0.5 + 1e-6, "feet turned into other millimetres");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckFeet(bytes.substr(0, 16));
  std::unique_ptr<ReferenceRead> read;
  try {
    read = std::make_unique<ReferenceRead>(std::string(bytes), "fuzz");
  } catch (const qor::Exception&) {
    return 0;  // neither list: the reader said so, which is what it must do
  }
  Require(read->Total() == size, "a total other than the input's size");
  // A deadline already past: each step reads one batch of rows, as a window's timer would.
  std::uint64_t done = read->Done();
  while (!read->Step(ReferenceRead::Clock::now())) {
    const std::uint64_t now = read->Done();
    Require(now > done && now <= size, "a step that reads nothing, or past the end");
    done = now;
  }
  Require(read->Done() == size, "read to the end, yet not every byte counted");
  const Reference reference = read->Take();
  CheckAirports(reference);
  // The last bytes of the input, up to 8, are an ident asked for besides the list's own.
  const std::size_t tail = size < 8 ? size : 8;
  CheckMatches(reference, bytes.substr(size - tail));
  return 0;
}
