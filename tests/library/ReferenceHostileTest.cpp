// The reference lists' reader against files made to hurt it: lines of 100 MB, quotes left open
// or chained over lines, NUL bytes, nothing but commas. Each must end, within a few seconds, in
// the message that the file is neither list or in rows passed over, the good rows around them
// still read; and the reader keeps fewer airports than the rows it reads, so that its memory
// follows the input.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "library/Reference.h"
#include "platform/Errors.h"

namespace qor::library {
namespace {

constexpr std::size_t kHuge = std::size_t{100} << 20;  // one line of 100 MB
constexpr std::size_t kMany = std::size_t{16} << 20;   // more lines than OurAirports' whole file

// A few seconds at most, with room for a machine busy with other work; the sanitizers check
// every byte the scans touch, in a build without optimisation: the same work takes them several
// times as long.
#if defined(__SANITIZE_ADDRESS__)
#define QORBGL_CHECKED_BYTES 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QORBGL_CHECKED_BYTES 1
#endif
#endif
#ifdef QORBGL_CHECKED_BYTES
constexpr auto kLimit = std::chrono::seconds(30);
#else
constexpr auto kLimit = std::chrono::seconds(8);
#endif

const std::string kHeader =
    "\"id\",\"ident\",\"type\",\"name\",\"latitude_deg\",\"longitude_deg\",\"elevation_ft\","
    "\"continent\",\"iso_country\",\"iso_region\",\"municipality\",\"scheduled_service\","
    "\"gps_code\",\"iata_code\",\"local_code\",\"home_link\",\"wikipedia_link\",\"keywords\"\n";
const std::string kCourchevel =
    "4185,\"LFLJ\",\"small_airport\",\"Courchevel\",45.3967,6.6347,6588,\"EU\",\"FR\",\"FR-ARA\","
    "\"\",\"no\",\"LFLJ\",\"CVF\",\"\",\"\",\"\",\"\"\n";
const std::string kToussus =
    "4213,\"LFPN\",\"small_airport\",\"Toussus\",48.7519,2.1061,538,\"EU\",\"FR\",\"FR-IDF\",\"\","
    "\"no\",\"LFPN\",\"TNF\",\"\",\"\",\"\",\"\"\n";
const std::string kCourchevelDat =
    "1,\"Courchevel\",\"Courchevel\",\"France\",\"CVF\",\"LFLJ\",45.3967,6.6347,6588,1,\"E\","
    "\"Europe/Paris\",\"airport\",\"OurAirports\"\n";
const std::string kToussusDat =
    "2,\"Toussus\",\"Toussus\",\"France\",\"TNF\",\"LFPN\",48.7519,2.1061,538,1,\"E\","
    "\"Europe/Paris\",\"airport\",\"OurAirports\"\n";

// line again and again, up to about size bytes.
std::string Lines(const std::string& line, std::size_t size) {
  std::string text;
  text.reserve(size + line.size());
  while (text.size() < size) text += line;
  return text;
}

struct Hostile {
  const char* name;
  std::string (*make)();
  bool refused;                     // neither list: the constructor says so
  std::vector<std::string> idents;  // otherwise the airports read, in order
};

void PrintTo(const Hostile& row, std::ostream* out) {
  *out << row.name;
}

const Hostile kRows[] = {
    {"LineOfOneField", [] { return std::string(kHuge, 'x'); }, true, {}},
    {"LineOfCommas", [] { return std::string(kHuge, ','); }, true, {}},
    {"LineOfOneFieldAmongRows",
     [] { return kHeader + kCourchevel + std::string(kHuge, 'x') + "\n" + kToussus; },
     false,
     {"LFLJ", "LFPN"}},
    {"LineOfCommasAmongRows",
     [] { return kHeader + kCourchevel + std::string(kHuge, ',') + "\n" + kToussus; },
     false,
     {"LFLJ", "LFPN"}},
    {"QuotedFieldLeftOpen",
     [] {
       return kHeader + kCourchevel + "2,\"LFPN\",\"small_airport\",\"" + std::string(kHuge, 'y');
     },
     false,
     {"LFLJ"}},
    {"QuotedFieldLeftOpenBackslashes",
     [] { return kCourchevelDat + "2,\"" + std::string(kHuge, '\\'); },
     false,
     {"LFLJ"}},
    {"QuotedFieldLeftOpenOverLines",
     [] {
       return kCourchevelDat + "2,\"" + Lines("abcdefghijklmnopqrstuvwxyz0123456789\n", kMany);
     },
     false,
     {"LFLJ"}},
    {"UnbalancedQuoteOnEveryLine",
     [] {
       return kHeader + Lines("7,\"LFLJ,small_airport,Name,45.39,6.63,6588\n", kMany) + kToussus;
     },
     false,
     {"LFPN"}},
    {"EscapedQuoteOnEveryLine",
     [] {
       return kCourchevelDat + Lines("3,\"Nom \\\",\"V\",\"F\",\\N,\"LFXX\",45,6,100\n", kMany) +
              kToussusDat;
     },
     false,
     {"LFLJ", "LFPN"}},
    {"QuotesChainedOverLines",
     [] { return kHeader + Lines("a\",\"\n", kMany) + kToussus; },
     false,
     {"LFPN"}},
    {"NulInRows",
     [] {
       using namespace std::string_literals;
       return kHeader +
              "5,\"LFLJ\",\"small_airport\",\"Cour\0chevel\",45.3967,6.6347,6588,\"EU\",\"FR\","
              "\"\",\"\",\"no\",\"\",\"\",\"\",\"\",\"\",\"\"\n"s +
              "6,\"LFPN\",\"small_airport\",\"Toussus\",48.7519,2.1061,5\0"
              "38,\"EU\",\"FR\",\"\",\"\",\"no\",\"\",\"\",\"\",\"\",\"\",\"\"\n"s +
              "\0\0\0\n"s;
     },
     false,
     {"LFLJ"}},
    {"OnlyCommas", [] { return Lines(",,,,,,,,,,,,,,,,,\n", kMany); }, true, {}},
    {"OnlyCommasAfterTheHeader",
     [] { return kHeader + Lines(",,,,,,,,,,,,,,,,,\n", kMany); },
     false,
     {}},
};

class ReferenceHostileTest : public ::testing::TestWithParam<Hostile> {};

TEST_P(ReferenceHostileTest, EndsInAMessageOrRowsPassedOverInBoundedTime) {
  const Hostile& row = GetParam();
  std::string bytes = row.make();
  const auto start = ReferenceRead::Clock::now();
  if (row.refused) {
    try {
      ReferenceRead read(std::move(bytes), "hostile.csv");
      FAIL() << "read as " << FormatName(read.Take().format);
    } catch (const Exception& e) {
      EXPECT_NE(std::string(e.what()).find("hostile.csv"), std::string::npos) << e.what();
    }
    EXPECT_LT(ReferenceRead::Clock::now() - start, kLimit);
    return;
  }
  ReferenceRead read(std::move(bytes), "hostile.csv");
  // Read against the clock, as the window does: a reader stuck in rescans is stopped at the
  // limit rather than left to run for minutes.
  ASSERT_TRUE(read.Step(start + kLimit))
      << "not read within the limit: " << read.Done() << " of " << read.Total() << " bytes";
  const Reference reference = read.Take();
  std::vector<std::string> idents;
  for (const ReferenceAirport& a : reference.airports) idents.push_back(a.ident);
  EXPECT_EQ(idents, row.idents);
  EXPECT_LT(reference.airports.size(), reference.rows);
  EXPECT_EQ(reference.rows - reference.airports.size(),
            reference.malformed + reference.withoutElevation);
}

INSTANTIATE_TEST_SUITE_P(Files, ReferenceHostileTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Hostile>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace qor::library
