#include "library/Reference.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <tuple>

#include "lang/Tr.h"
#include "platform/Errors.h"
#include "platform/File.h"
#include "text/PathText.h"
#include "text/Trim.h"

namespace qor::library {

namespace {

// The lists are some megabytes; a file far larger is not one of them.
constexpr std::uint64_t kMaxBytes = 512ull << 20;

enum Column { kIdent, kName, kLatitude, kLongitude, kElevation, kGpsCode, kColumns };

// OurAirports' header names, in Column's order.
constexpr std::string_view kHeader[kColumns] = {"ident",         "name",         "latitude_deg",
                                                "longitude_deg", "elevation_ft", "gps_code"};
// OpenFlights' columns: id, name, city, country, IATA, ICAO, latitude, longitude, altitude, ...
const std::vector<int> kOpenFlightsColumns = {5, 1, 6, 7, 8, -1};
constexpr std::size_t kOpenFlightsId = 0;

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

// A value the file leaves empty: blank, or OpenFlights' \N.
bool Absent(std::string_view value) {
  return value.empty() || value == "\\N";
}

std::optional<double> Number(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
      !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

bool IsInteger(std::string_view text) {
  return !text.empty() && text.size() <= 18 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string NeitherFormat(const std::string& file) {
  return Tr(
      "Le fichier %1 n'est ni la liste airports.csv d'OurAirports ni la liste airports.dat "
      "d'OpenFlights : je n'y trouve aucune altitude de référence.",
      {QuotedPath(file)});
}

// The part of a file held at once: a record longer than this makes it grow to hold it.
constexpr std::size_t kPart = 1 << 20;

}  // namespace

std::string_view FormatKey(ReferenceFormat format) {
  return format == ReferenceFormat::kOurAirports ? "ourairports" : "openflights";
}

std::string_view FormatName(ReferenceFormat format) {
  return format == ReferenceFormat::kOurAirports ? "OurAirports" : "OpenFlights";
}

namespace {

// Feet as a decimal text in millionths of a foot; nothing for a text that is not such a number
// or lies beyond 100,000 feet.
std::optional<std::int64_t> MicroFeet(std::string_view feet) {
  feet = Trim(feet);
  bool negative = false;
  if (!feet.empty() && (feet.front() == '-' || feet.front() == '+')) {
    negative = feet.front() == '-';
    feet.remove_prefix(1);
  }
  const std::size_t point = feet.find('.');
  const std::string_view whole = feet.substr(0, point);
  const std::string_view fraction =
      point == std::string_view::npos ? std::string_view() : feet.substr(point + 1);
  const auto digits = [](std::string_view t) {
    return std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (whole.size() + fraction.size() == 0 || !digits(whole) || !digits(fraction) ||
      fraction.size() > 6 || whole.size() > 6) {
    return std::nullopt;
  }
  std::int64_t micro = 0;
  for (char c : whole) micro = micro * 10 + (c - '0');
  if (micro > 100000) return std::nullopt;
  for (std::size_t i = 0; i < 6; ++i) {
    micro = micro * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
  }
  return negative ? -micro : micro;
}

// Millionths of a foot as a JSON number writes them: "6588", "-12.5".
std::string FeetText(std::int64_t micro) {
  std::string text = micro < 0 ? "-" : "";
  const std::int64_t magnitude = micro < 0 ? -micro : micro;
  text += std::to_string(magnitude / 1000000);
  std::string fraction = std::to_string(1000000 + magnitude % 1000000).substr(1);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  if (!fraction.empty()) text += "." + fraction;
  return text == "-0" ? "0" : text;
}

// Millionths of a foot x 3048 / 10^7, exact in 64 bits, rounded half to even.
std::int32_t MicroFeetToMm(std::int64_t micro) {
  const std::int64_t scaled = (micro < 0 ? -micro : micro) * 3048;
  constexpr std::int64_t kDivisor = 10000000;
  std::int64_t mm = scaled / kDivisor;
  const std::int64_t rest = scaled % kDivisor;
  if (2 * rest > kDivisor || (2 * rest == kDivisor && mm % 2 == 1)) ++mm;
  return static_cast<std::int32_t>(micro < 0 ? -mm : mm);
}

}  // namespace

std::optional<std::int32_t> FeetToMm(std::string_view feet) {
  const std::optional<std::int64_t> micro = MicroFeet(feet);
  if (!micro) return std::nullopt;
  return MicroFeetToMm(*micro);
}

bool DiffersFromReference(std::int32_t definitionMm, std::int32_t referenceMm,
                          std::int32_t minDiffMm) {
  const std::int64_t diff = std::llabs(std::int64_t{definitionMm} - referenceMm);
  return diff > minDiffMm && diff * 10 >= 1524;
}

double DistanceM(double latitude1, double longitude1, double latitude2, double longitude2) {
  constexpr double kRadiusM = 6371008.8;
  constexpr double kRadian = 3.14159265358979323846 / 180;
  const double dLat = (latitude2 - latitude1) * kRadian;
  const double dLon = (longitude2 - longitude1) * kRadian;
  const double a = std::sin(dLat / 2) * std::sin(dLat / 2) +
                   std::cos(latitude1 * kRadian) * std::cos(latitude2 * kRadian) *
                       std::sin(dLon / 2) * std::sin(dLon / 2);
  return 2 * kRadiusM * std::asin(std::min(1.0, std::sqrt(a)));
}

ReferenceRead::ReferenceRead(const std::string& path) : file_(platform::File::OpenRead(path)) {
  size_ = file_->Size();
  if (size_ > kMaxBytes) throw Exception(NeitherFormat(path));
  part_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(size_, kPart)));
  part_.resize(file_->ReadAt(0, part_.data(), part_.size()));
  Start(path);
}

ReferenceRead::ReferenceRead(std::string bytes, const std::string& file)
    : size_(bytes.size()), part_(std::move(bytes)) {
  Start(file);
}

void ReferenceRead::Start(const std::string& file) {
  reference_.file = file;
  // The airports' room taken once, not grown step by step: the lists' rows are well over 64
  // bytes long (room not used is never touched, and costs no memory).
  reference_.airports.reserve(static_cast<std::size_t>(size_ / 64) + 16);
  const bool last = part_.size() == size_;
  std::string_view text = part_;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);

  // OurAirports: a header row naming the columns.
  CsvReader header(text, CsvQuotes::kDoubled, last);
  bool malformed = false;
  if (header.Next(fields_, malformed) && !malformed) {
    columns_.assign(kColumns, -1);
    for (std::size_t i = 0; i < fields_.size(); ++i) {
      const std::string_view name = Trim(fields_[i]);
      for (int c = 0; c < kColumns; ++c) {
        if (name == kHeader[c] && columns_[c] < 0) columns_[c] = static_cast<int>(i);
      }
    }
    if (std::all_of(columns_.begin(), columns_.begin() + kGpsCode, [](int c) { return c >= 0; })) {
      reference_.format = ReferenceFormat::kOurAirports;
      start_ = part_.size() - text.size() + header.Offset();
      rows_.emplace(text.substr(header.Offset()), CsvQuotes::kDoubled, last);
      return;
    }
  }

  // OpenFlights: no header; the first row that is not blank has a number for its id and
  // numbers for its position.
  CsvReader first(text, CsvQuotes::kBackslash, last);
  while (first.Next(fields_, malformed)) {
    if (!malformed && fields_.size() == 1 && Trim(fields_[0]).empty()) continue;
    if (!malformed && fields_.size() > 8 && IsInteger(Trim(fields_[kOpenFlightsId])) &&
        Number(Trim(fields_[6])) && Number(Trim(fields_[7]))) {
      reference_.format = ReferenceFormat::kOpenFlights;
      columns_ = kOpenFlightsColumns;
      start_ = part_.size() - text.size();
      rows_.emplace(text, CsvQuotes::kBackslash, last);
      return;
    }
    break;
  }
  throw Exception(NeitherFormat(file));
}

ReferenceRead::~ReferenceRead() = default;

void ReferenceRead::ReadRow() {
  bool malformed = false;
  if (!rows_->Next(fields_, malformed)) {
    if (before_ + part_.size() >= size_) {
      done_ = true;
    } else {
      ReadOn();
    }
    return;
  }
  if (!malformed && fields_.size() == 1 && Trim(fields_[0]).empty()) return;  // a blank line
  ++reference_.rows;
  const int needed = *std::max_element(columns_.begin(), columns_.end());
  if (malformed || fields_.size() <= static_cast<std::size_t>(needed)) {
    ++reference_.malformed;
    return;
  }
  const auto value = [&](Column c) {
    return columns_[c] < 0 ? std::string_view() : Trim(fields_[columns_[c]]);
  };
  if (Absent(value(kElevation))) {
    ++reference_.withoutElevation;
    return;
  }
  const std::optional<std::int64_t> feet = MicroFeet(value(kElevation));
  const std::optional<double> latitude = Number(value(kLatitude));
  const std::optional<double> longitude = Number(value(kLongitude));
  if (!feet || !latitude || !longitude || std::abs(*latitude) > 90 || std::abs(*longitude) > 180) {
    ++reference_.malformed;
    return;
  }
  ReferenceAirport airport;
  airport.ident = Absent(value(kIdent)) ? std::string() : std::string(value(kIdent));
  if (!Absent(value(kGpsCode)) && Upper(value(kGpsCode)) != Upper(airport.ident)) {
    airport.gpsCode = value(kGpsCode);
  }
  if (airport.ident.empty() && airport.gpsCode.empty()) return;  // nothing to match it by
  airport.name = value(kName);
  airport.latitude = *latitude;
  airport.longitude = *longitude;
  airport.feet = FeetText(*feet);
  airport.elevationMm = MicroFeetToMm(*feet);
  reference_.airports.push_back(std::move(airport));
}

void ReferenceRead::ReadOn() {
  const std::size_t unread = start_ + rows_->Offset();
  part_.erase(0, unread);
  before_ += unread;
  const std::size_t held = part_.size();
  const auto more = static_cast<std::size_t>(
      std::min<std::uint64_t>(size_ - before_ - held, std::max(kPart, held)));
  part_.resize(held + more);
  const std::size_t read = file_->ReadAt(before_ + held, part_.data() + held, more);
  part_.resize(held + read);
  if (read < more) size_ = before_ + part_.size();  // the file was cut meanwhile
  start_ = 0;
  rows_.emplace(part_, rows_->Quotes(), before_ + part_.size() >= size_);
}

bool ReferenceRead::Step(Clock::time_point until) {
  while (!done_) {
    for (int i = 0; i < 256 && !done_; ++i) ReadRow();
    if (Clock::now() >= until) break;
  }
  return done_;
}

std::uint64_t ReferenceRead::Done() const {
  return done_ ? size_ : before_ + start_ + rows_->Offset();
}

std::uint64_t ReferenceRead::Total() const {
  return size_;
}

Reference ReferenceRead::Take() {
  Reference reference = std::move(reference_);
  reference.index.clear();
  reference.index.reserve(2 * reference.airports.size());
  for (std::size_t i = 0; i < reference.airports.size(); ++i) {
    const ReferenceAirport& a = reference.airports[i];
    const auto at = static_cast<std::uint32_t>(i);
    if (!a.ident.empty()) reference.index.push_back({Upper(a.ident), false, at});
    if (!a.gpsCode.empty()) reference.index.push_back({Upper(a.gpsCode), true, at});
  }
  std::sort(reference.index.begin(), reference.index.end(),
            [](const Reference::Key& x, const Reference::Key& y) {
              return std::tie(x.ident, x.gpsCode, x.airport) <
                     std::tie(y.ident, y.gpsCode, y.airport);
            });
  return reference;
}

Reference ReadReference(const std::string& path) {
  ReferenceRead read(path);
  read.Step(ReferenceRead::Clock::time_point::max());
  return read.Take();
}

ReferenceMatch Match(const Reference& reference, std::string_view icao, double latitude,
                     double longitude) {
  ReferenceMatch match;
  const std::string key = Upper(Trim(icao));
  if (key.empty()) return match;
  const auto from = std::lower_bound(
      reference.index.begin(), reference.index.end(), key,
      [](const Reference::Key& k, const std::string& wanted) { return k.ident < wanted; });
  // Rows known by the ident come before rows known by their gps code only (the index's order),
  // so a gps code is taken only when no row of that ident lies near.
  bool byGpsCode = false;
  std::optional<std::pair<std::string, double>> nearest;
  for (auto it = from; it != reference.index.end() && it->ident == key; ++it) {
    const ReferenceAirport& row = reference.airports[it->airport];
    const double distance = DistanceM(latitude, longitude, row.latitude, row.longitude);
    if (distance <= kMatchRadiusM &&
        (!match.airport || (it->gpsCode == byGpsCode && distance < match.distanceM))) {
      match.airport = &row;
      match.distanceM = distance;
      byGpsCode = it->gpsCode;
      match.ident = it->gpsCode ? row.gpsCode : row.ident;
    }
    if (!nearest || distance < nearest->second) {
      nearest.emplace(it->gpsCode ? row.gpsCode : row.ident, distance);
    }
  }
  if (!match.airport) match.rejected = std::move(nearest);
  return match;
}

}  // namespace qor::library
