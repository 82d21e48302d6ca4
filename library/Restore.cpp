#include "library/Restore.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "bgl/Bgl.h"
#include "bgl/Change.h"
#include "lang/Tr.h"
#include "platform/Errors.h"
#include "platform/File.h"
#include "platform/FileOps.h"
#include "text/PathText.h"
#include "util/FileUtil.h"

namespace qor::library {

namespace {

std::string Quoted(const std::string& path) {
  return QuotedPath(path);
}

// The newest record of a copy made under the name copy (the same file as the copy's path).
std::optional<BackupRecord> CopyMadeAs(const JournalContents& journal, const std::string& copy) {
  // The journal keeps the copy's resolved path: one resolution here, none per record.
  const std::string real = platform::RealPath(copy).value_or(copy);
  for (auto it = journal.copies.rbegin(); it != journal.copies.rend(); ++it) {
    if (it->record.copy == copy || it->record.copy == real) return it->record;
  }
  return std::nullopt;
}

}  // namespace

RestoreOutcome Restore(const std::string& file, const std::string& desktopFolder,
                       const JournalContents& journal, UserDialog& dialog) {
  RestoreOutcome outcome;
  TBGL bgl(file, desktopFolder);
  outcome.copy = bgl.BackupPath();
  const std::string& copy = outcome.copy;
  if (!platform::FileExists(copy)) {
    outcome.result = RestoreOutcome::Result::NoCopy;
    outcome.message = Tr(
        "Il n'y a pas de copie de sécurité de ce fichier : %1 n'existe pas. Je n'ai rien changé.",
        {Quoted(copy)});
    return outcome;
  }
  const auto refuse = [&](const std::string& why) {
    outcome.result = RestoreOutcome::Result::Refused;
    outcome.message = why + " " + Tr("Je n'ai rien changé.");
    return outcome;
  };
  if (bgl.IsBackupCopy()) {
    return refuse(Tr("Le fichier %1 est lui-même une copie de sécurité.", {Quoted(file)}));
  }

  // Whose copy the journal says it is.
  if (const std::optional<BackupRecord> made = CopyMadeAs(journal, copy)) {
    if (!made->stamp.SameFile(bgl.SeenStamp())) {
      const std::optional<std::string> then = platform::RealPath(made->path);
      if (made->path == file || (then && then == platform::RealPath(file))) {
        return refuse(
            Tr("Le fichier %1 a été remplacé depuis que sa copie de sécurité %2 a "
               "été faite : cette copie n'est pas la sienne.",
               {Quoted(file), Quoted(copy)}));
      }
      return refuse(Tr("La copie de sécurité %1 est celle du fichier %2, pas de %3.",
                       {Quoted(copy), Quoted(made->path), Quoted(file)}));
    }
  }

  // The copy may differ from the file only inside the file's elevation fields.
  const std::unique_ptr<platform::File> saved = platform::File::OpenRead(copy);
  const std::uint64_t size = bgl.File().Size();
  if (saved->Size() != size) {
    return refuse(
        Tr("La copie de sécurité %1 (%2 octets) n'a pas la longueur du fichier %3 (%4 "
           "octets) : ce n'est pas une copie de ce fichier, ou elle est endommagée.",
           {Quoted(copy), std::to_string(saved->Size()), Quoted(file), std::to_string(size)}));
  }
  std::vector<std::uint32_t> fields;
  for (const TAirport1Rec* airport : bgl.Airports()) {
    for (const TElevation& e : airport->Elevations) fields.push_back(e.Offset);
  }
  std::sort(fields.begin(), fields.end());
  fields.erase(std::unique(fields.begin(), fields.end()), fields.end());
  const auto insideField = [&](std::uint64_t at) {
    const auto it = std::upper_bound(fields.begin(), fields.end(), at);
    return it != fields.begin() && at - *(it - 1) < 4;
  };

  std::vector<FieldWrite> writes;
  const std::unique_ptr<platform::File> current = platform::File::OpenRead(file);
  constexpr std::size_t kChunk = 1 << 20;
  std::vector<unsigned char> a(kChunk), b(kChunk);
  for (std::uint64_t at = 0; at < size; at += kChunk) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, size - at));
    if (current->ReadAt(at, a.data(), n) != n || saved->ReadAt(at, b.data(), n) != n) {
      throw EInOutError(
          Tr("Le fichier %1 ou sa copie %2 a changé de longueur pendant que je les comparais.",
             {Quoted(file), Quoted(copy)}));
    }
    for (std::size_t i = 0; i < n; ++i) {
      if (a[i] == b[i]) continue;
      const std::uint64_t offset = at + i;
      if (!insideField(offset)) {
        return refuse(
            Tr("La copie de sécurité %1 diffère du fichier %2 ailleurs que dans ses "
               "altitudes (à l'offset %3) : ce n'est pas une copie de ce fichier, ou "
               "l'un des deux a été changé par un autre programme.",
               {Quoted(copy), Quoted(file), std::to_string(offset)}));
      }
    }
  }
  for (const std::uint32_t offset : fields) {
    std::array<unsigned char, 4> now{}, then{};
    if (current->ReadAt(offset, now.data(), 4) != 4 || saved->ReadAt(offset, then.data(), 4) != 4 ||
        now == then) {
      continue;
    }
    const auto value = [](const std::array<unsigned char, 4>& v) {
      return std::int64_t{LittleEndian<std::uint32_t>(v.data())};
    };
    writes.push_back({offset, 'D', value(then), value(now), bgl.FieldName(offset)});
  }
  if (writes.empty()) {
    outcome.result = RestoreOutcome::Result::Same;
    return outcome;
  }
  std::vector<FileWrites> files{{&bgl, writes, bgl.SeenStamp()}};
  ChangeOptions options;
  options.command = "restore";
  options.backup = false;  // the copy is what goes back; the journal keeps what it replaces
  const ChangeResult result = WriteChange(files, options, dialog);
  if (!result.accepted) {
    outcome.result = RestoreOutcome::Result::Refused;
    outcome.message.clear();  // the dialog said why
    return outcome;
  }
  outcome.result = RestoreOutcome::Result::Restored;
  outcome.fields = result.written;
  outcome.change = result.change;
  return outcome;
}

}  // namespace qor::library
