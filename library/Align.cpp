#include "library/Align.h"

#include <map>
#include <memory>
#include <optional>

#include "bgl/Bgl.h"
#include "bgl/Change.h"
#include "lang/Tr.h"
#include "platform/Errors.h"
#include "platform/File.h"
#include "platform/NameCase.h"
#include "text/PathText.h"
#include "util/FileUtil.h"

namespace qor::library {

namespace {

// Keeps the messages of the change; asks nothing (a copy that cannot be made refuses it).
class AlignDialog : public UserDialog {
 public:
  void Message(const std::string& text) override { messages.push_back(text); }
  int MsgBox(const std::string&, const std::string&, int) override { return kIdNo; }
  std::vector<std::string> messages;
};

std::string Changed(const std::string& file) {
  return Tr(
      "Le fichier %1 a changé depuis la lecture de la bibliothèque : je n'écris rien. "
      "Relancez la commande sur la bibliothèque telle qu'elle est.",
      {QuotedPath(file)});
}

std::optional<platform::File::Stamp> ScannedStamp(const Library& library, const std::string& file) {
  for (const auto& [path, stamp] : library.stamps) {
    if (path == file) return stamp;
  }
  return std::nullopt;
}

}  // namespace

std::vector<FieldChange> PlanAlign(const Library& library,
                                   const std::vector<const Definition*>& definitions,
                                   std::int32_t mm, bool all) {
  std::vector<FieldChange> changes;
  // The fields met so far, by the file on disk that holds them.
  std::vector<std::pair<platform::File::Stamp, std::uint32_t>> met;
  const auto add = [&](const Definition& d, const std::string& what, std::uint32_t offset,
                       std::int32_t old) {
    if (old == mm) return;
    if (const auto stamp = ScannedStamp(library, d.file)) {
      for (const auto& [s, o] : met) {
        if (o == offset && s.SameFile(*stamp)) return;
      }
      met.emplace_back(*stamp, offset);
    }
    changes.push_back({d.file, what, offset, old, mm});
  };
  for (const Definition* d : definitions) {
    add(*d, d->name, d->offset, d->elevationMm);
    if (!all) continue;
    // Kept by the journal and written into the command line's JSON: French in every language.
    for (const Element& e : d->elements)
      add(*d, e.caption + " de " + d->name, e.offset, e.elevationMm);
  }
  return changes;
}

void Align(const Library& library, const std::vector<FieldChange>& changes,
           const std::string& desktopFolder, bool backup, const AlignReport& report,
           const std::string& command) {
  // One open file per file on disk, reached through the first path that names it.
  std::vector<std::unique_ptr<TBGL>> open;
  std::vector<FileWrites> files;
  for (const FieldChange& c : changes) {
    const std::optional<platform::File::Stamp> scanned = ScannedStamp(library, c.file);
    const std::optional<platform::File::Stamp> now = platform::StampOfPath(c.file);
    if (!scanned || !now || !(*now == *scanned)) throw Exception(Changed(c.file));
    std::size_t f = 0;
    while (f < files.size() && !files[f].bgl->SeenStamp().SameFile(*now)) ++f;
    if (f == files.size()) {
      open.push_back(std::make_unique<TBGL>(c.file, desktopFolder));
      if (!(open.back()->SeenStamp() == *scanned)) throw Exception(Changed(c.file));
      files.push_back({open.back().get(), {}, {}});
    }
    if (files[f].bgl->ElevationAt(c.offset) != c.oldMm) throw Exception(Changed(c.file));
    files[f].fields.push_back({c.offset, 'D', c.newMm, c.oldMm, c.what});
  }
  if (backup) {
    for (std::size_t i = 0; i < files.size(); ++i) {
      for (std::size_t j = 0; j < i; ++j) {
        if (platform::SameNameIgnoringCase(ExtractFileName(files[i].bgl->FileName),
                                           ExtractFileName(files[j].bgl->FileName))) {
          throw Exception(
              Tr("Les fichiers %1 et %2 portent le même nom : leurs copies de sécurité "
                 "prendraient la même place dans « QORBgl Backup ». Je n'écris rien ; alignez-les "
                 "l'un après l'autre, en déplaçant la copie du premier entre les deux.",
                 {QuotedPath(files[j].bgl->FileName), QuotedPath(files[i].bgl->FileName)}));
        }
      }
    }
  }

  ChangeOptions options;
  options.command = command;
  options.backup = backup;
  options.askWithoutBackup = false;
  AlignDialog dialog;
  ChangeResult result;
  try {
    result = WriteChange(files, options, dialog);
  } catch (const Exception& e) {
    throw Exception(std::string(e.what()) + " " + Tr("Rien n'a été changé."));
  }
  if (!result.accepted) {
    throw Exception(dialog.messages.empty() ? Changed(files[0].bgl->FileName)
                                            : dialog.messages.back());
  }
  if (report.copied) {
    for (const auto& [file, copy] : result.copies) report.copied(file, copy);
  }
  if (report.written) {
    for (std::size_t i = 0; i < changes.size(); ++i) report.written(changes[i]);
  }
}

}  // namespace qor::library
