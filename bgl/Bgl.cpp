#include "bgl/Bgl.h"

#include <algorithm>
#include <string_view>

#include "bgl/BglHeader.h"
#include "bgl/GetValue.h"
#include "lang/Tr.h"
#include "platform/Errors.h"
#include "platform/File.h"
#include "text/PathText.h"
#include "util/FileUtil.h"

namespace qor {

namespace {

std::uint32_t ReadD(TBGL& bgl, std::uint32_t offset) {
  Variant v;
  std::uint32_t next;
  GetValue(bgl.File(), offset, 'D', v, next);
  return static_cast<std::uint32_t>(v.AsInt64());
}

}  // namespace

TBGL::TBGL(const std::string& fileName, const std::string& desktopFolder, Scope scope)
    : scope_(scope) {
  if (!platform::FileExists(fileName)) {
    throw Exception("(TBGL.Create) " +
                    Tr("Je ne trouve pas le fichier %1.", {QuotedPath(fileName)}));
  }
  FileName = fileName;
  std::unique_ptr<platform::File> file = scope == Scope::Whole
                                             ? platform::File::OpenReadWrite(fileName)
                                             : platform::File::OpenRead(fileName);
  seen_ = file->CurrentStamp();
  file_ = std::make_unique<BufferedFile>(
      std::move(file), seen_.size,
      scope == Scope::Airports ? BufferedFile::Reading::Sparse : BufferedFile::Reading::Whole);
  desktopFolder_ = desktopFolder;
  structureLeft_ = file_->Size();
  try {
    ReadStructure();
  } catch (const EReadBeyondEnd&) {
    // A table or record that runs past the end: the user is told which file and why.
    Damaged(Tr("il est plus court que ses tables ne l'annoncent"));
  }
  // A copy named after the file plus ".bak" counts as made already (for a file opened to be
  // written: a read-only look needs no copy).
  if (scope == Scope::Whole)
    BackupDone = keptCopyUntold_ = platform::FileExists(BackupPath() + ".bak");
}

void TBGL::ReadStructure() {
  Variant v;
  std::uint32_t next;
  GetValue(*file_, 0, 'W', v, next);
  Header = static_cast<std::uint16_t>(v.AsInt64());
  if (Header != kReadableHeader) {
    throw Exception("(TBGL.Create)\r\n\r\n" +
                    Tr("Je ne sais pas explorer les BGLs de type %1.\r\n\r\nJe ne reconnais "
                       "(pour le moment) que les BGLs\r\ndu type $0201 introduits par FS9 "
                       "(FS2004).",
                       {ValueToHex(Variant::Word(Header))}));
  }
  const std::uint32_t dirOffset = ReadD(*this, 4);
  const std::uint32_t count = ReadD(*this, 20);
  CheckTable(dirOffset, count, 20, [] { return Tr("le répertoire des sections"); });
  Sections.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    Sections.push_back(std::make_unique<TSection>(*this, dirOffset + 20 * i, i));
  }
}

TBGL::~TBGL() = default;

std::string TBGL::BackupFolder() const {
  return desktopFolder_ + kBackupFolderName;
}

std::string TBGL::BackupPath() const {
  return BackupFolder() + platform::kPathDelimiter + ExtractFileName(FileName);
}

namespace {

bool Readable(std::optional<std::size_t> read, const unsigned char (&bytes)[2]) {
  return read && HeaderKindOf(std::span(bytes, *read)) == HeaderKind::kReadable;
}

}  // namespace

bool TBGL::CanRead(const std::string& fileName) {
  // Called for every file of a folder: one open, one status query and one read each.
  unsigned char bytes[2];
  return Readable(platform::ReadStartOfFile(fileName, bytes, 2), bytes);
}

bool TBGL::CanRead(const platform::OpenFolder& folder, const std::string& name) {
  unsigned char bytes[2];
  return Readable(platform::ReadStartOfFile(folder, name, bytes, 2), bytes);
}

void TBGL::Damaged(const std::string& what) const {
  throw Exception("(TBGL.Create) " +
                  Tr("Le fichier %1 est endommagé : %2.", {QuotedPath(FileName), what}));
}

void TBGL::CheckTable(std::uint64_t offset, std::uint64_t count, std::uint64_t entrySize,
                      const std::function<std::string()>& what) const {
  const std::uint64_t size = file_->Size();
  if (count == 0) return;
  if (offset >= size) {
    Damaged(Tr("%1 commence à l'offset %2, au-delà de la fin du fichier (%3 octets)",
               {what(), std::to_string(offset), std::to_string(size)}));
  }
  if (count > (size - offset) / entrySize) {
    Damaged(Tr("%1 annonce %2 entrées, plus que le fichier n'en tient",
               {what(), std::to_string(count)}));
  }
}

void TBGL::StructureExhausted() const {
  Damaged(Tr("ses tables ou ses enregistrements se chevauchent ou se répètent sans fin"));
}

TSection::TSection(TBGL& owner, std::uint32_t entryOffset, std::size_t index) : BGL(&owner) {
  owner.TakeStructure(20);
  SectionType = ReadD(owner, entryOffset);
  if (owner.scope_ == TBGL::Scope::Airports && SectionType != TBGL::kSectionAirports) return;
  const std::uint32_t count = ReadD(owner, entryOffset + 8);
  const std::uint32_t tableOffset = ReadD(owner, entryOffset + 12);
  owner.CheckTable(tableOffset, count, 16, [index] {
    return Tr("la table des sous-sections de la section %1", {std::to_string(index + 1)});
  });
  SubSections.reserve(count);
  for (std::uint32_t j = 0; j < count; ++j) {
    SubSections.push_back(
        std::make_unique<TSubSection>(owner, tableOffset + 16 * j, *this, index, j));
  }
}

TSubSection::TSubSection(TBGL& owner, std::uint32_t entryOffset, TSection& parent,
                         std::size_t sectionIndex, std::size_t index)
    : BGL(&owner), Section(&parent) {
  owner.TakeStructure(16);
  Id = ReadD(owner, entryOffset);
  const std::uint32_t count = ReadD(owner, entryOffset + 4);
  std::uint32_t recordOffset = ReadD(owner, entryOffset + 8);
  const std::uint32_t recordBytes = ReadD(owner, entryOffset + 12);

  std::uint32_t records = 0;
  if (parent.SectionType == TBGL::kSectionAirports) {
    records = count;
    owner.CheckTable(recordOffset, count, 6, [index, sectionIndex] {
      return Tr("la sous-section %1 de la section %2",
                {std::to_string(index + 1), std::to_string(sectionIndex + 1)});
    });
  } else if (parent.SectionType == TBGL::kSectionNameList) {
    records = 1;
  }
  // A scan reads the records it walks in one go.
  if (records > 0 && owner.scope_ == TBGL::Scope::Airports) {
    owner.File().Prefetch(recordOffset, recordBytes);
  }
  // Room for the records at once, within what a damaged count could not make huge.
  Records.reserve(std::min<std::uint32_t>(records, 1 << 16));
  for (std::uint32_t k = 0; k < records; ++k) {
    RecordPtr record;
    if (parent.SectionType == TBGL::kSectionAirports) {
      record = MakeRecord<TAirport1Rec>(owner.Arena(), owner, recordOffset, *this, parent);
    } else {
      record = MakeRecord<TRecord>(owner.Arena(), owner, recordOffset, *this, parent);
    }
    const std::uint32_t size = record->Size;
    Records.push_back(std::move(record));
    // A record too small for its own header would have the next one start inside it, or at
    // the same place again: the records of this subsection end there.
    if (parent.SectionType == TBGL::kSectionAirports && size < 6) break;
    recordOffset += size;
  }
}

}  // namespace qor
