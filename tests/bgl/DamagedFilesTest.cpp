#include <unistd.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "bgl/Bgl.h"
#include "bgl/PlainTree.h"
#include "lang/Language.h"
#include "platform/Errors.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/TempFolder.h"

namespace qor {
namespace {

using test::Airport;
using test::BglBuilder;
using test::Bytes;

// Two airport sections around a name list: Toussus and Chavenay in the first, Pontoise in the
// third.
BglBuilder Scenery() {
  BglBuilder b;
  auto& sub = b.AddSection(3).AddSubSection();
  sub.AddAirport()
      .Name("Toussus-le-Noble")
      .Elevation(164000)
      .Runway(7, 1, 1)
      .Start(7, 1, 2)
      .Com()
      .TaxiwayPoints(5)
      .Parking(3);
  sub.AddAirport().Name("Chavenay").Elevation(146000).Runway(5, 0, 3).Start(23, 0, 4);
  b.AddSection(39).AddSubSection().Data({1, 0, 0, 0});
  b.AddSection(3).AddSubSection().AddAirport().Name("Pontoise").Runway(12, 0, 5);
  return b;
}

Airport& Toussus(BglBuilder& b) {
  return b.sections[0].subSections[0].airports[0];
}
Airport& Pontoise(BglBuilder& b) {
  return b.sections[2].subSections[0].airports[0];
}

// The scenery with one damage done before it is laid out.
Bytes Damaged(const std::function<void(BglBuilder&)>& damage) {
  BglBuilder b = Scenery();
  damage(b);
  return b.Build();
}

// The scenery cut short where `at` says, once it is laid out.
Bytes Cut(const std::function<std::uint32_t(BglBuilder&)>& at) {
  BglBuilder b = Scenery();
  Bytes bytes = b.Build();
  bytes.resize(at(b));
  return bytes;
}

// Two airports, the first with a sub-record damaged by `damage` between or after its runways;
// the second is found through the first's record size whatever its walk met.
Bytes Airfield(const std::function<void(Airport&)>& damage) {
  BglBuilder b;
  auto& sub = b.AddSection(3).AddSubSection();
  Airport& first = sub.AddAirport().Name("Premier").Elevation(100).Runway(1, 0, 1);
  damage(first);
  sub.AddAirport().Name("Deuxième").Elevation(200).Start(3, 0, 3);
  return b.Build();
}

const std::vector<std::string> kWholeScenery = {
    "Toussus-le-Noble 164000 [Runway 7 L 1, Start 7 L 2]",
    "Chavenay 146000 [Runway 5 3, Start 23 4]",
    "Pontoise 0 [Runway 12 5]",
};
const std::string kDeuxieme = "Deuxième 200 [Start 3 3]";

// An airport as one line: name, elevation, then its runways and starts with theirs.
std::string Describe(const TAirport1Rec& airport) {
  std::string text =
      std::string(airport.Name) + " " + std::to_string(airport.Elevations[0].SignedAltitude());
  text += " [";
  for (std::size_t i = 1; i < airport.Elevations.size(); ++i) {
    if (i > 1) text += ", ";
    text += std::string(airport.Elevations[i].Caption) + " " +
            std::to_string(airport.Elevations[i].SignedAltitude());
  }
  return text + "]";
}

// A name fit for a file: letters and digits, the rest as dashes.
std::string Slug(const std::string& text) {
  std::string slug;
  for (const char c : text) {
    const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (keep) {
      slug.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c));
    } else if (!slug.empty() && slug.back() != '-') {
      slug.push_back('-');
    }
  }
  while (!slug.empty() && slug.back() == '-') slug.pop_back();
  return slug;
}

class DamagedFilesTest : public ::testing::Test {
 protected:
  struct Outcome {
    std::string error;                  // the message, or "" when the file opens
    std::vector<std::string> airports;  // what the listing keeps, when it opens
  };

  // Opens the file at path_, lists it and searches it, as the window does.
  Outcome OpenAndList() {
    Outcome outcome;
    try {
      TBGL bgl(path_, dir_.Path() + "/");
      PlainTree tree;
      bgl.FillTree(tree);
      for (const TAirport1Rec* airport : bgl.Airports()) {
        outcome.airports.push_back(Describe(*airport));
        EXPECT_TRUE(bgl.FindAirport(airport->Name)) << airport->Name;
      }
      EXPECT_EQ(tree.TopLevel().size(), outcome.airports.size());
      bgl.FindAirport("Chavenay");
    } catch (const Exception& e) {
      outcome.error = e.what();
    }
    return outcome;
  }
  std::string OpenAndList(const Bytes& bytes) {
    test::WriteFile(path_, bytes);
    return OpenAndList().error;
  }

  std::string DamagedMessage(const std::string& what) const {
    return "(TBGL.Create) Le fichier \"" + path_ + "\" est endommagé : " + what + ".";
  }

  test::TempFolder dir_;
  std::string path_ = dir_ / "damaged.bgl";
};

// Every kind of damage the parser must survive, with what it must answer: the exact message,
// or the airports the listing keeps. With QORBGL_SEED_FOLDER set, each row's file is also
// written there: they are the fuzzer's seeds.
TEST_F(DamagedFilesTest, Table) {
  namespace fs = std::filesystem;
  const std::string end = DamagedMessage("il est plus court que ses tables ne l'annoncent");
  const std::string size = std::to_string(Scenery().Build().size());
  auto pastTheEnd = [&](const std::string& what, std::uint64_t offset) {
    return DamagedMessage(what + " commence à l'offset " + std::to_string(offset) +
                          ", au-delà de la fin du fichier (" + size + " octets)");
  };
  auto tooMany = [&](const std::string& what, std::uint64_t count) {
    return DamagedMessage(what + " annonce " + std::to_string(count) +
                          " entrées, plus que le fichier n'en tient");
  };
  const std::string looping =
      DamagedMessage("ses tables ou ses enregistrements se chevauchent ou se répètent sans fin");
  const std::string kSections = "le répertoire des sections";
  const std::string kTable1 = "la table des sous-sections de la section 1";

  struct Row {
    std::string kind;
    Bytes file;
    Outcome outcome;
    // How the file lands on disk when not as a plain file of the bytes.
    std::function<void(const std::string&)> place = nullptr;
  };
  const std::vector<Row> rows = {
      // Files that are whole.
      {"whole scenery", Scenery().Build(), {"", kWholeScenery}},
      {"sample shapes: two subsections and a section not read",
       [] {
         BglBuilder b;
         auto& west = b.AddSection(3).AddSubSection(0x0101);
         west.AddAirport()
             .Name("Aérodrome")
             .Elevation(-3350)
             .Runway(18, 3, -3800)
             .Start(36, 3, -3200);
         b.sections[0].AddSubSection(0x0102).AddAirport().Name("Nord").Runway(37, 4, 7);
         b.AddSection(39).AddSubSection().Data({1, 0, 0x4C, 0x46, 0, 0});
         b.AddSection(19).AddSubSection().Data(Bytes(32, 0x5A));
         return b.Build();
       }(),
       {"",
        {"Aérodrome -3350 [Runway 18 C -3800, Start 36 C -3200]", "Nord 0 [Runway N water 7]"}}},
      {"later layout airport $003C, sub-records after 56 bytes",
       [] {
         BglBuilder b;
         b.AddSection(3)
             .AddSubSection()
             .AddAirport()
             .Id(0x003C)
             .Name("Plus tard")
             .Elevation(9)
             .Runway(36, 0, 8);
         return b.Build();
       }(),
       {"", {"Plus tard 9 [Runway 36 8]"}}},
      {"FS2002 header $0001",
       [] {
         BglBuilder b;
         b.HeaderWord(0x0001);
         b.AddSection(3).AddSubSection().AddAirport().Name("Ancien format");
         return b.Build();
       }(),
       {"(TBGL.Create)\r\n\r\nJe ne sais pas explorer les BGLs de type $0001.\r\n\r\nJe ne "
        "reconnais (pour le moment) que les BGLs\r\ndu type $0201 introduits par FS9 (FS2004).",
        {}}},

      // Cut short.
      {"empty file", {}, {end, {}}},
      {"one byte", {0x01}, {end, {}}},
      {"truncated in the header", Cut([](BglBuilder&) { return 16; }), {end, {}}},
      {"truncated in the directory",
       Cut([](BglBuilder&) { return 0x38 + 30; }),
       {tooMany(kSections, 3), {}}},
      {"truncated in a subsection table",
       Cut([](BglBuilder& b) { return b.sections[0].tableAt + 8; }),
       {tooMany(kTable1, 1), {}}},
      {"truncated in a record",
       Cut([](BglBuilder& b) { return Toussus(b).elevationOffset; }),
       {end, {}}},
      {"truncated in a sub-record header",
       Cut([](BglBuilder& b) { return Toussus(b).subRecords[1].offset + 3; }),
       {end, {}}},
      {"truncated in a sub-record",
       Cut([](BglBuilder& b) { return Toussus(b).elements[0].offset + 20; }),
       {end, {}}},
      {"truncated in a name",
       Cut([](BglBuilder& b) { return Toussus(b).subRecords[0].offset + 6 + 7; }),
       {end, {}}},

      // Counts.
      {"section count 0", Damaged([](BglBuilder& b) { b.SectionCount(0); }), {"", {}}},
      {"section count $FFFFFFFF",
       Damaged([](BglBuilder& b) { b.SectionCount(0xFFFFFFFF); }),
       {tooMany(kSections, 0xFFFFFFFF), {}}},
      {"subsection count 0",
       Damaged([](BglBuilder& b) { b.sections[0].SubSectionCount(0); }),
       {"", {kWholeScenery[2]}}},
      {"subsection count $FFFFFFFF",
       Damaged([](BglBuilder& b) { b.sections[0].SubSectionCount(0xFFFFFFFF); }),
       {tooMany(kTable1, 0xFFFFFFFF), {}}},
      {"record count 0",
       Damaged([](BglBuilder& b) { b.sections[0].subSections[0].Count(0); }),
       {"", {kWholeScenery[2]}}},
      {"record count 1 of 2",
       Damaged([](BglBuilder& b) { b.sections[0].subSections[0].Count(1); }),
       {"", {kWholeScenery[0], kWholeScenery[2]}}},
      {"record count $FFFFFFFF",
       Damaged([](BglBuilder& b) { b.sections[0].subSections[0].Count(0xFFFFFFFF); }),
       {tooMany("la sous-section 1 de la section 1", 0xFFFFFFFF), {}}},

      // Offsets past the end, and back into the header, whose words are then read as entries.
      {"directory past the end",
       Damaged([](BglBuilder& b) { b.DirectoryOffset(0x7FFFFFF0); }),
       {pastTheEnd(kSections, 0x7FFFFFF0), {}}},
      {"directory in the header: the creation time as a table offset",
       Damaged([](BglBuilder& b) { b.DirectoryOffset(0); }),
       {pastTheEnd(kTable1, 0x01C3A8F0), {}}},
      {"subsection table past the end",
       Damaged([](BglBuilder& b) { b.sections[2].TableOffset(0xFFFFFFF0); }),
       {pastTheEnd("la table des sous-sections de la section 3", 0xFFFFFFF0), {}}},
      {"subsection table in the header: the creation time as a record offset",
       Damaged([](BglBuilder& b) { b.sections[0].TableOffset(0); }),
       {pastTheEnd("la sous-section 1 de la section 1", 0xC5A5B400), {}}},
      {"records past the end",
       Damaged([](BglBuilder& b) { b.sections[2].subSections[0].RecordOffset(0x80000000); }),
       {pastTheEnd("la sous-section 1 de la section 3", 0x80000000), {}}},
      // The header read as an airport: its sub-records run from byte 52, the first one's size
      // taken from the section type (3 << 16), which leaves the file.
      {"records in the header",
       Damaged([](BglBuilder& b) { b.sections[0].subSections[0].RecordOffset(0); }),
       {end, {}}},

      // Record sizes: one too small for its header ends its subsection.
      {"record size 0",
       Damaged([](BglBuilder& b) { Toussus(b).Size(0); }),
       {"", {" 164000 []", kWholeScenery[2]}}},
      {"record size 1",
       Damaged([](BglBuilder& b) { Toussus(b).Size(1); }),
       {"", {" 164000 []", kWholeScenery[2]}}},
      {"record size 5",
       Damaged([](BglBuilder& b) { Toussus(b).Size(5); }),
       {"", {" 164000 []", kWholeScenery[2]}}},
      {"record size past the end",
       Damaged([](BglBuilder& b) { Pontoise(b).Size(0x10000); }),
       {end, {}}},

      // Sub-records: one too small for its header ends the walk of its airport.
      {"sub-record size 0",
       Airfield([](Airport& a) { a.Other(0x1234, {}).SizeOfLast(0).Runway(2, 0, 2); }),
       {"", {"Premier 100 [Runway 1 1]", kDeuxieme}}},
      {"sub-record size 1",
       Airfield([](Airport& a) { a.Other(0x1234, {}).SizeOfLast(1).Runway(2, 0, 2); }),
       {"", {"Premier 100 [Runway 1 1]", kDeuxieme}}},
      {"sub-record size 5",
       Airfield([](Airport& a) { a.Other(0x1234, {}).SizeOfLast(5).Runway(2, 0, 2); }),
       {"", {"Premier 100 [Runway 1 1]", kDeuxieme}}},
      {"sub-records whole",
       Airfield([](Airport& a) { a.Runway(2, 0, 2); }),
       {"", {"Premier 100 [Runway 1 1, Runway 2 2]", kDeuxieme}}},
      // An unknown sub-record whose size leaves the walk inside its own bytes, on a start.
      {"sub-records that overlap",
       Airfield([](Airport& a) {
         a.Other(0x00AA,
                 {0x11, 0, 24, 0, 0, 0, 9, 0x10, 0, 0, 0, 0, 0, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0})
             .SizeOfLast(6)
             .Runway(2, 0, 2);
       }),
       {"", {"Premier 100 [Runway 1 1, Start 9 6, Runway 2 2]", kDeuxieme}}},
      {"sub-record nested past its record",
       Airfield([](Airport& a) { a.Runway(2, 0, 2).SizeOfLast(52 + 200); }),
       {"", {"Premier 100 [Runway 1 1]", kDeuxieme}}},
      {"sub-record whose size wraps the offset round",
       Airfield([](Airport& a) { a.Other(0x1234, {}).SizeOfLast(0xFFFFFFFF).Runway(2, 0, 2); }),
       {"", {"Premier 100 [Runway 1 1]", kDeuxieme}}},
      {"runway too short for its elevation",
       Airfield([](Airport& a) { a.Runway(2, 0, 2).SizeOfLast(28).Runway(3, 0, 3); }),
       {"", {"Premier 100 [Runway 1 1]", kDeuxieme}}},
      {"start too short for its elevation",
       Airfield([](Airport& a) { a.Start(2, 0, 2).SizeOfLast(16).Runway(3, 0, 3); }),
       {"", {"Premier 100 [Runway 1 1]", kDeuxieme}}},
      {"tables that point into one another",
       [] {
         // Every section entry names the first one's subsection table: far more airports
         // than the file holds.
         BglBuilder b;
         for (int i = 0; i < 200; ++i) b.AddSection(3);
         for (int j = 0; j < 200; ++j) {
           b.sections[0].AddSubSection().AddAirport().Name("A").Runway(1, 0, 1);
         }
         Bytes bytes = b.Build();
         for (int i = 1; i < 200; ++i) {
           const std::uint32_t entry = BglBuilder::kHeaderSize + 20 * i;
           for (int k = 8; k < 16; ++k) bytes[entry + k] = bytes[BglBuilder::kHeaderSize + k];
         }
         return bytes;
       }(),
       {looping, {}}},

      {"one long name in records shared by many subsections",
       [] {
         BglBuilder b;
         auto& section = b.AddSection(3);
         section.AddSubSection().AddAirport().NameBytes(std::string(60000, 'A'));
         for (int j = 1; j < 5000; ++j) section.AddSubSection().Count(1);
         b.Build();  // lays out the file, so that the records' place is known
         const std::uint32_t shared = section.subSections[0].recordsAt;
         for (auto& sub : section.subSections) sub.RecordOffset(shared);
         return b.Build();
       }(),
       {looping, {}}},

      // Names.
      {"name without its zero, ended by its size",
       Airfield([](Airport& a) { a.NameBytes("Nord"); }),
       {"", {"Nord 100 [Runway 1 1]", kDeuxieme}}},
      {"name without its zero, running past its record",
       Airfield([](Airport& a) { a.NameBytes("Nord", 0x1000); }),
       {"", {"Premier 100 [Runway 1 1]", kDeuxieme}}},
      {"empty name",
       Airfield([](Airport& a) { a.NameBytes("", 6); }),
       {"", {" 100 [Runway 1 1]", kDeuxieme}}},

      // What is on disk is no file to read.
      {"a folder",
       {},
       {"(TBGL.Create) Je ne trouve pas le fichier \"" + path_ + "\".", {}},
       [](const std::string& path) { fs::create_directory(path); }},
      {"read-only file",
       Scenery().Build(),
       {"Impossible d'ouvrir le fichier \"" + path_ +
            "\" en écriture : il est en lecture seule (accès refusé).",
        {}},
       [](const std::string& path) {
         fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
       }},
#ifndef _WIN32  // Windows has no permission bit but the read-only attribute
      // Permission bits do not stop the administrator: as root the file is read all the same.
      {"file without read permission", Scenery().Build(),
       ::geteuid() == 0
           ? Outcome{"", kWholeScenery}
           : Outcome{"Impossible d'ouvrir le fichier \"" + path_ + "\" : accès refusé.", {}},
       [](const std::string& path) { fs::permissions(path, fs::perms::owner_write); }},
#endif
  };

  const char* seedFolder = std::getenv("QORBGL_SEED_FOLDER");
  if (seedFolder) {
    fs::create_directories(seedFolder);
    for (const auto& entry : fs::directory_iterator(seedFolder)) {
      if (entry.path().extension() == ".bgl") fs::remove(entry.path());
    }
  }
  ASSERT_GE(rows.size(), 30u);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Row& row = rows[i];
    SCOPED_TRACE(row.kind);
    if (seedFolder) {
      const std::string name = (i < 9 ? "0" : "") + std::to_string(i + 1) + "-" + Slug(row.kind);
      test::WriteFile(std::string(seedFolder) + "/" + name + ".bgl", row.file);
    }
    std::error_code ec;
    fs::remove_all(path_, ec);
    if (row.place) {
      if (!row.file.empty()) test::WriteFile(path_, row.file);
      row.place(path_);
    } else {
      test::WriteFile(path_, row.file);
    }
    const auto start = std::chrono::steady_clock::now();
    const Outcome outcome = OpenAndList();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(outcome.error, row.outcome.error);
    EXPECT_EQ(outcome.airports, row.outcome.airports);
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  }
}

// The message is built from pieces in the language chosen; a read past the end is known by its
// kind, not by its French text.
TEST_F(DamagedFilesTest, TheMessageSpeaksTheLanguageChosen) {
  namespace fs = std::filesystem;
  const std::string quoted = "\"" + path_ + "\"";
  const auto cutInTable = Cut([](BglBuilder& b) { return b.sections[0].tableAt + 8; });
  const Bytes olderHeader = [] {
    BglBuilder b;
    b.HeaderWord(0x0001);
    b.AddSection(3).AddSubSection().AddAirport().Name("Ancien format");
    return b.Build();
  }();
  const struct {
    lang::Language language;
    Bytes file;
    std::string error;
  } rows[] = {
      {lang::Language::kEnglish, Cut([](BglBuilder& b) { return Toussus(b).elevationOffset; }),
       "(TBGL.Create) The file " + quoted + " is damaged: it is shorter than its tables say."},
      {lang::Language::kGerman, Cut([](BglBuilder& b) { return Toussus(b).elevationOffset; }),
       "(TBGL.Create) Die Datei " + quoted +
           " ist beschädigt: Sie ist kürzer, als ihre Tabellen angeben."},
      {lang::Language::kEnglish, cutInTable,
       "(TBGL.Create) The file " + quoted +
           " is damaged: the subsection table of section 1 announces 1 entries, more than the "
           "file holds."},
      {lang::Language::kGerman, cutInTable,
       "(TBGL.Create) Die Datei " + quoted +
           " ist beschädigt: Die Unterabschnittstabelle von Abschnitt 1 gibt 1 Einträge an, mehr "
           "als die Datei enthält."},
      {lang::Language::kEnglish, olderHeader,
       "(TBGL.Create)\r\n\r\nI cannot explore BGLs of type $0001.\r\n\r\nI only recognise (for "
       "now) the BGLs\r\nof type $0201 introduced by FS9 (FS2004)."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(lang::Code(row.language));
    lang::SetCurrent(row.language);
    const std::string error = OpenAndList(row.file);
    lang::SetCurrent(lang::Language::kFrench);
    EXPECT_EQ(error, row.error);
  }
  // Every piece goes through the table: the sentence and the reason inside it.
  lang::SetCurrent(lang::Language::kPseudo);
  const std::string pseudo = OpenAndList(Bytes{});
  lang::SetCurrent(lang::Language::kFrench);
  EXPECT_EQ(pseudo.rfind("(TBGL.Create) [Le fichier " + quoted +
                             " est endommagé : [il est plus court que ses tables ne l'annoncent",
                         0),
            0u)
      << pseudo;
  // The file layer's own message, its reason a piece of its own.
  test::WriteFile(path_, Scenery().Build());
  fs::permissions(path_, fs::perms::owner_read | fs::perms::group_read);
  lang::SetCurrent(lang::Language::kGerman);
  EXPECT_EQ(OpenAndList().error, "Die Datei " + quoted +
                                     " kann nicht zum Schreiben geöffnet werden: Sie ist "
                                     "schreibgeschützt (Zugriff verweigert).");
  lang::SetCurrent(lang::Language::kFrench);
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add);
}

TEST_F(DamagedFilesTest, EveryTruncationEndsInADamagedFileMessageOrAListingQuickly) {
  const Bytes whole = Scenery().Build();
  const auto start = std::chrono::steady_clock::now();
  for (std::size_t length = 2; length < whole.size(); ++length) {
    const std::string error = OpenAndList(Bytes(whole.begin(), whole.begin() + length));
    // A cut in bytes the walk never reads leaves a file that still lists.
    EXPECT_TRUE(error.empty() ||
                error.rfind("(TBGL.Create) Le fichier \"" + path_ + "\" est endommagé", 0) == 0)
        << "length " << length << ": " << error;
  }
  EXPECT_EQ(OpenAndList(whole), "");
  // Each length writes, opens and lists a file: a few milliseconds here, many more under Wine,
  // whose file calls each cross to its server. A walk that went round in circles would take
  // far longer than either bound.
#ifdef _WIN32
  constexpr auto kBound = std::chrono::seconds(30);
#else
  constexpr auto kBound = std::chrono::seconds(5);
#endif
  EXPECT_LT(std::chrono::steady_clock::now() - start, kBound);
}

}  // namespace
}  // namespace qor
