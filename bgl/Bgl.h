#pragma once
// One open FS2004 BGL file (header word $0201): its header, section directory, subsections and
// decoded records, built whole when it is opened. The file stays open for reading and writing
// until the object is destroyed.

#include <cstdint>
#include <functional>
#include <memory>
#include <memory_resource>
#include <string>
#include <string_view>
#include <vector>

#include "bgl/AirportTree.h"
#include "bgl/BufferedFile.h"
#include "bgl/Records.h"
#include "bgl/UserDialog.h"
#include "platform/Memory.h"
#include "util/Variant.h"

namespace qor {

class TSection;

class TBGL {
 public:
  static constexpr std::uint32_t kSectionAirports = 3;
  static constexpr std::uint32_t kSectionNameList = 39;
  static constexpr const char* kBackupFolderName = "QORBgl Backup";

  // What an object reads of its file. Whole: every section, the file open for reading and
  // writing. WholeReadOnly: the same, the file open for reading only (nothing can be written
  // through the object), as a check of damage needs. Airports: the header, the section
  // directory and the airport-data sections only, read only, as a scan of many files needs: a
  // file without airports costs its header and directory.
  enum class Scope { Whole, WholeReadOnly, Airports };

  // Opens and reads the file; desktopFolder (ending in the path delimiter) is where the
  // backup folder lies. Raises Exception or EInOutError; the file is closed again on failure.
  TBGL(const std::string& fileName, const std::string& desktopFolder, Scope scope = Scope::Whole);
  ~TBGL();
  TBGL(const TBGL&) = delete;
  TBGL& operator=(const TBGL&) = delete;

  // Whether the file is one this library reads: it exists, opens for reading and writing, and
  // its header is of the readable kind (bgl/BglHeader.h). Files shorter than two bytes are
  // refused.
  static bool CanRead(const std::string& fileName);
  // The same for the file named `name` in an open folder, as a folder's listing asks it of
  // each of its files.
  static bool CanRead(const platform::OpenFolder& folder, const std::string& name);

  // The listing of the airports (records of the airport-data sections).
  int AirportCount() const;
  // Every airport record of the airport-data sections, in directory and file order.
  std::vector<const TAirport1Rec*> Airports() const;
  void FillTree(AirportTree& tree) const;
  // Whether some airport's name equals text, the letters a to z taken as A to Z, or its ICAO
  // ident is text (1 to 4 letters or digits, in any letter case).
  bool FindAirport(std::string_view text) const;

  // Writes the low 8, 16 or 32 bits of value, little-endian, at offset (codes B, W, D), as a
  // change of its own (bgl/Change.h: locked, backed up once per open file, recorded in the
  // journal, flushed). Refuses, with a message and nothing written, an offset whose bytes would
  // not lie inside the file and a file that changed since this object last saw it. True when
  // the file holds the value afterwards; the elevation entry of a field written so shows it.
  bool ReplaceValue(std::uint32_t offset, char code, const Variant& value, UserDialog& dialog);
  // The elevation field at offset as the file holds it now, read as signed millimetres.
  // Raises EInOutError when the field lies past the end of the file.
  std::int32_t ElevationAt(std::uint32_t offset);
  // The folder of the backup copies: "QORBgl Backup" on the desktop.
  std::string BackupFolder() const;
  // Where the backup copy of the file goes: the file's name in the backup folder.
  std::string BackupPath() const;
  // Whether the file lies inside the backup folder: a backup copy, which is never written.
  bool IsBackupCopy() const;
  // What a field is, as the journal names it: its airport's name, or its element's caption and
  // its airport's name; "" for an offset of no elevation.
  std::string FieldName(std::uint32_t offset) const;

  BufferedFile& File() { return *file_; }
  // The file's identity, size and time of change as this object last saw them.
  const platform::File::Stamp& SeenStamp() const { return seen_; }
  // Where the records of the file and their entries are made: in large blocks, let go all at
  // once with the object. A file of thousands of airports would otherwise take and give back
  // thousands of small pieces of memory, slower the more the program has done before.
  std::pmr::memory_resource& Arena() { return arena_; }

 private:
  // Declared first, so that it outlives the records, also of an object whose building fails.
  std::pmr::monotonic_buffer_resource arena_{64 * 1024, &platform::LargeBlocks()};

 public:
  bool BackupDone = false;
  std::uint16_t Header = 0;
  std::string FileName;
  std::vector<std::unique_ptr<TSection>> Sections;

 private:
  friend class TSection;
  friend class TSubSection;
  friend class TRecord;
  friend class TAirport1Rec;
  friend class ChangeWriter;

  // The header, the section directory, the subsections and the records.
  void ReadStructure();
  // Refuses a count or offset that would have the walk read or build more than the file holds;
  // what names the table, and is only asked for when the table is refused.
  void CheckTable(std::uint64_t offset, std::uint64_t count, std::uint64_t entrySize,
                  const std::function<std::string()>& what) const;
  // Every table entry, record and sub-record the walk builds takes part of the file; a file
  // whose tables point into one another again and again cannot take more than it has.
  void TakeStructure(std::uint64_t bytes) {
    if (bytes > structureLeft_) StructureExhausted();
    structureLeft_ -= bytes;
  }
  [[noreturn]] void StructureExhausted() const;
  [[noreturn]] void Damaged(const std::string& what) const;

  // Whether the file on disk is still the one this object read and wrote last.
  bool Unchanged() const;
  // After a write of 4 bytes at offset: the elevation entry of that field holds the new value,
  // so that the listing made again shows what the file holds.
  void NoteElevation(std::uint32_t offset, std::uint32_t value);

  std::unique_ptr<BufferedFile> file_;
  // The copy named after the file plus ".bak" stood in for a new one when the file was opened,
  // and the user has not been told yet.
  bool keptCopyUntold_ = false;
  Scope scope_ = Scope::Whole;
  std::uint64_t structureLeft_ = 0;
  std::string desktopFolder_;
  platform::File::Stamp seen_;
};

class TSection {
 public:
  TSection(TBGL& owner, std::uint32_t entryOffset, std::size_t index);

  TBGL* BGL;
  std::uint32_t SectionType = 0;
  std::vector<std::unique_ptr<TSubSection>> SubSections;
};

class TSubSection {
 public:
  TSubSection(TBGL& owner, std::uint32_t entryOffset, TSection& parent, std::size_t sectionIndex,
              std::size_t index);

  TBGL* BGL;
  std::uint32_t Id = 0;
  TSection* Section;
  std::vector<RecordPtr> Records;
};

}  // namespace qor
