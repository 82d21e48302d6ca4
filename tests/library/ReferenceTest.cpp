// The real-world lists: both layouts read as their writers write them, and the row that a
// definition matches.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "library/Reference.h"
#include "platform/Errors.h"
#include "tests/support/TempFolder.h"

namespace qor::library {
namespace {

constexpr char kHeader[] =
    "\"id\",\"ident\",\"type\",\"name\",\"latitude_deg\",\"longitude_deg\",\"elevation_ft\","
    "\"continent\",\"gps_code\"\n";

Reference Read(const std::string& bytes) {
  ReferenceRead read(bytes, "airports");
  read.Step(ReferenceRead::Clock::time_point::max());
  return read.Take();
}

// An airport as one line: ident, gps code, name, feet, millimetres.
std::vector<std::string> Lines(const Reference& r) {
  std::vector<std::string> lines;
  for (const ReferenceAirport& a : r.airports) {
    lines.push_back(a.ident + "|" + a.gpsCode + "|" + a.name + "|" + a.feet + "|" +
                    std::to_string(a.elevationMm));
  }
  return lines;
}

TEST(ReferenceTest, BothLayoutsAreReadAsTheirWritersWriteThem) {
  struct Row {
    const char* what;
    std::string bytes;
    ReferenceFormat format;
    std::vector<std::string> airports;
    std::size_t rows, withoutElevation, malformed;
  };
  const Row rows[] = {
      {"quotes doubled, commas and a line break in a name, CRLF, a byte-order mark",
       "\xEF\xBB\xBF" + std::string(kHeader) +
           "1,\"LFLJ\",\"small\",\"Courchevel, \"\"Altiport\"\"\",45.3967,6.6347,6588,\"EU\","
           "\"LFLJ\"\r\n"
           "2,\"EHAM\",\"large\",\"Schiphol\r\nAmsterdam\",52.3086,4.7639,-11,\"EU\",\r\n",
       ReferenceFormat::kOurAirports,
       {"LFLJ||Courchevel, \"Altiport\"|6588|2008022", "EHAM||Schiphol\r\nAmsterdam|-11|-3353"},
       2,
       0,
       0},
      {"columns found by their names; a blank elevation; a gps code other than the ident",
       "elevation_ft,gps_code,name,ident,longitude_deg,latitude_deg\n"
       ",,Nowhere,XX01,1,1\n"
       "12.5,KABC,Some field,US-0001,-100,40\n"
       "0.625,,Tie down,T1,0,0\n",
       ReferenceFormat::kOurAirports,
       {"US-0001|KABC|Some field|12.5|3810", "T1||Tie down|0.625|190"},
       3,
       1,
       0},
      {"a broken quote, a position that is not one, too few fields: one row each, no more",
       std::string(kHeader) + "1,\"AAAA\",\"x\",\"Open quote,1,2,3,\"EU\",\n"
                              "2,\"BBBB\",\"x\",\"Far north\",91,0,10,\"EU\",\n"
                              "3,\"CCCC\",\"x\"\n"
                              "4,\"DDDD\",\"x\",\"Good\",1,2,1.875,\"EU\",\n",
       ReferenceFormat::kOurAirports,
       {"DDDD||Good|1.875|572"},
       4,
       0,
       3},
      {"OpenFlights: quotes after a backslash, \\N for none, no header",
       "1,\"Magdeburg \\\"City\\\" Airport\",\"Magdeburg\",\"Germany\",\"ZMG\",\"EDBM\","
       "52.0736,11.6264,259,1,\"E\",\"Europe/Berlin\",\"airport\",\"OurAirports\"\n"
       "2,\"No ICAO\",\"x\",\"y\",\\N,\\N,1,1,5,1,\"E\",\\N,\"airport\",\"OurAirports\"\n"
       "3,\"No altitude\",\"x\",\"y\",\\N,\"ABCD\",1,1,\\N,1,\"E\",\\N,\"airport\",\"x\"\n"
       "4,\"Dead Sea\",\"x\",\"y\",\\N,\"LLXX\",31.2,35.4,-1240,2,\"E\",\\N,\"airport\",\"x\"\n"
       "5,\"Not a height\",\"x\",\"y\",\\N,\"EEEE\",1,1,high,1,\"E\",\\N,\"airport\",\"x\"\n",
       ReferenceFormat::kOpenFlights,
       {"EDBM||Magdeburg \"City\" Airport|259|78943", "LLXX||Dead Sea|-1240|-377952"},
       5,
       1,
       1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const Reference r = Read(row.bytes);
    EXPECT_EQ(r.format, row.format);
    EXPECT_EQ(Lines(r), row.airports);
    EXPECT_EQ(r.rows, row.rows);
    EXPECT_EQ(r.withoutElevation, row.withoutElevation);
    EXPECT_EQ(r.malformed, row.malformed);
  }

  // Neither list: a message that names the file, whatever else it holds.
  for (const std::string bytes :
       {"", "\n\n", "a,b,c\n1,2,3\n", "id,ident,name\n1,LFLJ,x\n", "\x01\x02\x00\x03",
        "1,\"x\",\"y\",\"z\",\\N,\"ABCD\",north,1,5\n"}) {
    try {
      Read(bytes);
      ADD_FAILURE() << "read: " << bytes;
    } catch (const Exception& e) {
      EXPECT_NE(std::string(e.what()).find("\"airports\" n'est ni la liste airports.csv"),
                std::string::npos)
          << e.what();
    }
  }
  // From a file, as the commands and the window read it; a file that is not there says so.
  test::TempFolder dir;
  test::WriteText(dir / "airports.csv", std::string(kHeader) + "1,LFLJ,x,C,45,6,6588,EU,\n");
  EXPECT_EQ(Lines(ReadReference(dir / "airports.csv")),
            std::vector<std::string>{"LFLJ||C|6588|2008022"});
  EXPECT_THROW(ReadReference(dir / "absent.csv"), Exception);
}

TEST(ReferenceTest, ADefinitionMatchesItsIdentWithinTenKilometres) {
  // 0.09 degree of latitude is 10.008 km; 0.0899 is 9.997 km.
  const Reference r = Read(std::string(kHeader) +
                           "1,LFLJ,x,Courchevel,45.3967,6.6347,6588,EU,\n"
                           "2,LFLJ,x,Old Courchevel,45.40,6.6347,6000,EU,\n"
                           "3,US-7,x,By gps code,40,-100,100,NA,K7\n"
                           "4,K7,x,Ident K7,40.0899,-100,200,NA,\n"
                           "5,EDDF,x,Frankfurt,50.0333,8.5706,364,EU,\n");
  struct Row {
    const char* icao;
    double latitude, longitude;
    const char* name;      // matched, or "" for none
    const char* rejected;  // the ident found too far, or ""
  };
  const Row rows[] = {
      {"lfLJ", 45.3967, 6.6347, "Courchevel", ""},
      {"LFLJ", 45.3995, 6.6347, "Old Courchevel", ""},  // of two rows, the nearer
      {"K7", 39.99, -100, "By gps code", ""},           // the ident's row lies 11 km off
      {"K7", 40.08, -100, "Ident K7", ""},              // both near: the ident first
      {"EDDF", 50.0333 + 0.0899, 8.5706, "Frankfurt", ""},
      {"EDDF", 50.0333 + 0.0901, 8.5706, "", "EDDF"},
      {"EDDF", 50.0333 - 0.0901, 8.5706, "", "EDDF"},
      {"", 45.3967, 6.6347, "", ""},
      {"LFMN", 43.66, 7.21, "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.icao) + " " + std::to_string(row.latitude));
    const ReferenceMatch m = Match(r, row.icao, row.latitude, row.longitude);
    EXPECT_EQ(m.airport ? m.airport->name : "", row.name);
    EXPECT_EQ(m.rejected ? m.rejected->first : "", row.rejected);
    if (m.rejected) {
      EXPECT_GT(m.rejected->second, kMatchRadiusM);
      EXPECT_LT(m.rejected->second, 10100);
    }
  }
}

TEST(ReferenceTest, FeetBecomeMillimetresExactlyAndHalfAFootNeverCounts) {
  const std::pair<const char*, std::optional<std::int32_t>> feet[] = {
      {"6588", 2008022}, {"1", 305},        {"-54", -16459}, {"0.625", 190},
      {"1.875", 572},    {"-0.625", -190},  {"+3", 914},     {"100000", 30480000},
      {"100001", {}},    {"1.2345678", {}}, {"1e3", {}},     {"", {}},
      {".", {}},         {"--1", {}},
  };
  for (const auto& [text, mm] : feet) EXPECT_EQ(FeetToMm(text), mm) << text;

  const struct {
    std::int32_t definition, reference, minDiff;
    bool differs;
  } diffs[] = {
      {2008000, 2008152, 0, false}, {2008000, 2008153, 0, true},    {2008153, 2008000, 0, true},
      {2008000, 2007848, 0, false}, {2008000, 2008500, 500, false}, {2008000, 2008501, 500, true},
  };
  for (const auto& d : diffs) {
    EXPECT_EQ(DiffersFromReference(d.definition, d.reference, d.minDiff), d.differs)
        << d.definition << " " << d.reference << " " << d.minDiff;
  }
}

}  // namespace
}  // namespace qor::library
