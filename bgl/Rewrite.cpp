// The one editing action of the library: a new value written where the old one stands, as a
// change of its own (bgl/Change.h), so that nothing of the file can be lost on the way.

#include "bgl/Bgl.h"
#include "bgl/Change.h"
#include "platform/File.h"
#include "platform/FileOps.h"
#include "util/FileUtil.h"

namespace qor {

bool TBGL::Unchanged() const {
  // Compared with what this object saw last: the open file, and the file the path names now
  // (another program may have replaced it, or removed it).
  const std::optional<platform::File::Stamp> onPath = platform::StampOfPath(FileName);
  return onPath && *onPath == seen_ && file_->Raw().CurrentStamp() == seen_;
}

std::int32_t TBGL::ElevationAt(std::uint32_t offset) {
  return static_cast<std::int32_t>(file_->Get<std::uint32_t>(offset));
}

bool TBGL::IsBackupCopy() const {
  if (desktopFolder_.empty()) return false;
  // Compared as the system resolves them: a relative path, a link or ".." reach it too.
  const std::optional<std::string> folder = platform::RealPath(BackupFolder());
  const std::optional<std::string> file = platform::RealPath(FileName);
  if (!folder || !file) return false;
  const std::string inside = IncludeBackslash(*folder);
  return file->compare(0, inside.size(), inside) == 0;
}

bool TBGL::ReplaceValue(std::uint32_t offset, char code, const Variant& value, UserDialog& dialog) {
  std::vector<FileWrites> files{{this, {{offset, code, value.AsInt64(), std::nullopt, ""}}, {}}};
  return WriteChange(files, ChangeOptions{}, dialog).accepted;
}

std::string TBGL::FieldName(std::uint32_t offset) const {
  for (const TAirport1Rec* airport : Airports()) {
    for (std::size_t i = 0; i < airport->Elevations.size(); ++i) {
      if (airport->Elevations[i].Offset != offset) continue;
      if (i == 0) return std::string(airport->Name);
      // Kept by the journal and written into the command line's JSON: French in every language.
      return std::string(airport->Elevations[i].Caption) + " de " + std::string(airport->Name);
    }
  }
  return "";
}

void TBGL::NoteElevation(std::uint32_t offset, std::uint32_t value) {
  for (const TAirport1Rec* airport : Airports()) {
    for (const TElevation& entry : airport->Elevations) {
      // The entries are the file's own, made in its arena; only the listing reads them.
      if (entry.Offset == offset) const_cast<TElevation&>(entry).Altitude = value;
    }
  }
}

}  // namespace qor
