#include "library/Align.h"

#include <map>
#include <memory>
#include <set>

#include "bgl/Bgl.h"
#include "platform/Errors.h"
#include "platform/File.h"
#include "platform/NameCase.h"
#include "platform/PathText.h"
#include "util/FileUtil.h"
#include "util/Variant.h"

namespace qor::library {

namespace {

// Keeps the file's messages; its question about going on without a copy is answered no, and
// remembered.
class AlignDialog : public UserDialog {
 public:
  void Message(const std::string& text) override { messages.push_back(text); }
  int MsgBox(const std::string&, const std::string&, int) override {
    refused = true;
    return kIdNo;
  }
  std::vector<std::string> messages;
  bool refused = false;
};

std::string Changed(const std::string& file) {
  return "Le fichier " + platform::QuotedPath(file) +
         " a changé depuis la lecture de la bibliothèque : je n'écris rien. Relancez la "
         "commande sur la bibliothèque telle qu'elle est.";
}

}  // namespace

std::vector<FieldChange> PlanAlign(const std::vector<const Definition*>& definitions,
                                   std::int32_t mm, bool all) {
  std::vector<FieldChange> changes;
  for (const Definition* d : definitions) {
    if (d->elevationMm != mm) changes.push_back({d->file, d->name, d->offset, d->elevationMm, mm});
    if (!all) continue;
    for (const Element& e : d->elements) {
      if (e.elevationMm != mm) {
        changes.push_back({d->file, e.caption + " de " + d->name, e.offset, e.elevationMm, mm});
      }
    }
  }
  return changes;
}

void Align(const Library& library, const std::vector<FieldChange>& changes,
           const std::string& desktopFolder, bool backup, const AlignReport& report) {
  // The files in the order of their first change.
  std::vector<std::string> order;
  std::map<std::string, std::unique_ptr<TBGL>> files;
  for (const FieldChange& c : changes) {
    if (files.emplace(c.file, nullptr).second) order.push_back(c.file);
  }

  // 1. Every file: the one the scan read, writable, each field as the scan saw it.
  std::map<std::string, platform::File::Stamp> stamps(library.stamps.begin(), library.stamps.end());
  for (const std::string& file : order) {
    const auto seen = stamps.find(file);
    const auto now = platform::StampOfPath(file);
    if (seen == stamps.end() || !now || !(*now == seen->second)) throw Exception(Changed(file));
    files[file] = std::make_unique<TBGL>(file, desktopFolder);
  }
  for (const FieldChange& c : changes) {
    if (files[c.file]->ElevationAt(c.offset) != c.oldMm) throw Exception(Changed(c.file));
  }

  // 2. The copies, each under the file's name in the one backup folder.
  AlignDialog dialog;
  if (backup) {
    for (std::size_t i = 0; i < order.size(); ++i) {
      for (std::size_t j = 0; j < i; ++j) {
        if (platform::SameNameIgnoringCase(ExtractFileName(order[i]), ExtractFileName(order[j]))) {
          throw Exception("Les fichiers " + platform::QuotedPath(order[j]) + " et " +
                          platform::QuotedPath(order[i]) +
                          " portent le même nom : leurs copies de sécurité prendraient la même "
                          "place dans « QORBgl Backup ». Je n'écris rien ; alignez-les l'un "
                          "après l'autre, en déplaçant la copie du premier entre les deux.");
        }
      }
    }
    for (const std::string& file : order) {
      TBGL& bgl = *files[file];
      if (bgl.BackupDone) continue;
      if (!bgl.EnsureBackup(dialog) || dialog.refused) {
        throw Exception("Je n'ai pas pu faire la copie de sécurité de " +
                        platform::QuotedPath(file) +
                        " dans « QORBgl Backup » sur votre bureau : "
                        "je n'écris rien.");
      }
      if (report.copied) report.copied(file, bgl.BackupPath());
    }
  } else {
    for (auto& [file, bgl] : files) bgl->BackupDone = true;
  }

  // 3. The fields.
  std::size_t written = 0;
  for (const FieldChange& c : changes) {
    dialog.messages.clear();
    bool ok = false;
    std::string why;
    try {
      ok = files[c.file]->ReplaceValue(c.offset, 'D', Variant::Integer(c.newMm), dialog);
    } catch (const Exception& e) {
      why = e.what();
    }
    if (!ok) {
      if (why.empty() && !dialog.messages.empty()) why = dialog.messages.back();
      throw Exception(why + (written == 0 ? std::string(" Rien n'a été écrit.")
                                          : " " + std::to_string(written) +
                                                " altitude(s) avaient déjà été écrites."));
    }
    ++written;
    if (report.written) report.written(c);
  }
}

}  // namespace qor::library
