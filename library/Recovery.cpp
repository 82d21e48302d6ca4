#include "library/Recovery.h"

#include <algorithm>
#include <memory>

#include "lang/Tr.h"
#include "platform/Errors.h"
#include "platform/File.h"
#include "util/NumberFormat.h"

namespace qor::library {

namespace {

// Puts back one unfinished change; false when its files are held by a writer still at work.
bool PutBack(const JournalChange& change, const Journal::Append& append,
             std::vector<std::string>& lines) {
  const ChangeRecord& record = change.record;
  const std::string who =
      Tr("« %1 » du %2", {CommandText(record.command), MomentText(change.timeMs)});
  // Every file opened and locked first: a writer that holds one is alive and finishes itself.
  std::vector<std::unique_ptr<platform::File>> files;
  for (const FileEdit& f : record.files) {
    std::unique_ptr<platform::File> file;
    try {
      file = platform::File::OpenReadWrite(f.path);
      if (!file->Lock(std::chrono::milliseconds(0))) return false;
      if (!file->CurrentStamp().SameFile(f.stamp)) file.reset();  // another file now
    } catch (const EInOutError&) {
      file.reset();  // gone or out of reach: its fields are left
    }
    files.push_back(std::move(file));
  }
  std::size_t put = 0;
  std::size_t left = 0;
  std::size_t touchedFiles = 0;
  try {
    for (std::size_t i = 0; i < record.files.size(); ++i) {
      const FileEdit& f = record.files[i];
      if (!files[i]) {
        left += f.fields.size();
        continue;
      }
      bool touched = false;
      for (const FieldEdit& e : f.fields) {
        std::array<std::uint8_t, 4> bytes{};
        std::optional<std::array<std::uint8_t, 4>> now;
        if (files[i]->ReadAt(e.offset, bytes.data(), e.width) == e.width) now = bytes;
        switch (DecideField(e, now)) {
          case FieldAction::PutBack:
            files[i]->WriteAt(e.offset, e.before.data(), e.width);
            ++put;
            touched = true;
            break;
          case FieldAction::Leave:
            ++left;
            break;
          case FieldAction::AlreadyBack:
            break;
        }
      }
      if (touched) {
        files[i]->Flush();
        ++touchedFiles;
      }
    }
  } catch (const EInOutError& e) {
    lines.push_back(
        Tr("La modification interrompue %1 n'a pas pu être défaite : %2 Je "
           "réessaierai au prochain lancement.",
           {who, e.what()}));
    return true;
  }
  append(Journal::EndRecord(change.id, ChangeJournal::End::RolledBack));
  if (put == 0 && left == 0) {
    lines.push_back(
        Tr("La modification %1 a été interrompue avant d'écrire : rien à défaire.", {who}));
    return true;
  }
  const std::string putBack = Counted(put, Tr("altitude remise"), Tr("altitudes remises"));
  const std::string inFiles = Counted(touchedFiles, Tr("fichier"), Tr("fichiers"));
  const std::string leftAlone =
      Counted(left, Tr("laissée telle quelle"), Tr("laissées telles quelles"));
  if (left == 0) {
    lines.push_back(
        Tr("La modification %1 a été interrompue : je l'ai défaite, %2 à l'ancienne "
           "valeur dans %3.",
           {who, putBack, inFiles}));
  } else if (left == 1) {
    lines.push_back(
        Tr("La modification %1 a été interrompue : je l'ai défaite, %2 à l'ancienne "
           "valeur dans %3 ; %4, car elle ne tenait plus la nouvelle valeur.",
           {who, putBack, inFiles, leftAlone}));
  } else {
    lines.push_back(
        Tr("La modification %1 a été interrompue : je l'ai défaite, %2 à l'ancienne "
           "valeur dans %3 ; %4, car elles ne tenaient plus la nouvelle valeur.",
           {who, putBack, inFiles, leftAlone}));
  }
  return true;
}

}  // namespace

FieldAction DecideField(const FieldEdit& edit,
                        const std::optional<std::array<std::uint8_t, 4>>& now) {
  if (!now) return FieldAction::Leave;
  // Only the field's own bytes count; a narrower field's others are not the file's.
  const auto same = [&](const std::array<std::uint8_t, 4>& bytes) {
    return std::equal(bytes.begin(), bytes.begin() + edit.width, now->begin());
  };
  if (same(edit.after)) return FieldAction::PutBack;
  if (same(edit.before)) return FieldAction::AlreadyBack;
  return FieldAction::Leave;
}

std::vector<std::string> RecoverUnfinished(const Journal& journal) {
  std::vector<std::string> lines;
  if (!platform::FileExists(journal.Path())) return lines;
  journal.Locked([&](const JournalContents& contents, const Journal::Append& append) {
    // The newest first: a later change lies on top of an earlier one.
    for (auto it = contents.changes.rbegin(); it != contents.changes.rend(); ++it) {
      if (it->state == JournalChange::State::Unfinished) PutBack(*it, append, lines);
    }
  });
  return lines;
}

std::vector<std::string> OpenUserJournal() {
  static Journal journal(Journal::UserPath());
  journal = Journal(Journal::UserPath());
  UseJournal(journal);
  return RecoverUnfinished(journal);
}

const Journal* StoredJournal() {
  return dynamic_cast<const Journal*>(&CurrentJournal());
}

}  // namespace qor::library
