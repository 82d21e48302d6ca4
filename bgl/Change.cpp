#include "bgl/Change.h"

#include <array>
#include <cstdlib>
#include <random>

#include "bgl/Bgl.h"
#include "lang/Tr.h"
#include "platform/Errors.h"
#include "platform/File.h"
#include "platform/FileOps.h"
#include "text/Hex.h"
#include "text/PathText.h"
#include "util/FileUtil.h"

namespace qor {

namespace {

std::string BackupMadeMessage() {
  return Tr(
      "Une copie de sécurité a été placée dans le dossier \"QORBgl Backup\" sur votre "
      "bureau.\r\n\r\nVous pourrez la supprimer après contrôle du BGL modifié.");
}

using Bytes4 = std::array<std::uint8_t, 4>;

std::uint8_t WidthOf(char code) {
  switch (code) {
    case 'B':
      return 1;
    case 'W':
      return 2;
    case 'D':
      return 4;
    default:
      return 0;
  }
}

Bytes4 LowBytes(std::int64_t value, std::uint8_t width) {
  Bytes4 bytes{};
  const auto bits = static_cast<std::uint64_t>(value);
  for (std::uint8_t i = 0; i < width; ++i) bytes[i] = static_cast<std::uint8_t>(bits >> (8 * i));
  return bytes;
}

// The seam of the tests that cut a change short: with QORBGL_STOP_AFTER_WRITES=N the process
// ends as a kill would end it, once N fields are written (0: before the first; the number of
// fields: before the change is marked done).
void StopPoint(std::size_t written) {
  static const long limit = [] {
    const char* text = std::getenv("QORBGL_STOP_AFTER_WRITES");
    return text == nullptr || *text == '\0' ? -1L : std::atol(text);
  }();
  if (limit >= 0 && written == static_cast<std::size_t>(limit)) std::_Exit(86);
}

// The path a record keeps: absolute, so that a later run from another folder finds the file.
std::string RecordedPath(const std::string& path) {
  return platform::RealPath(path).value_or(path);
}

std::string RandomName() {
  std::random_device random;
  const std::uint64_t n = (std::uint64_t{random()} << 32) ^ random();
  std::string name = ".qorbgl-copy-";
  for (int i = 60; i >= 0; i -= 4) name += LowerHexDigit(static_cast<unsigned>(n >> i));
  return name;
}

}  // namespace

// The change, step by step; TBGL lets it reach its open file, its stamp and its backup state.
class ChangeWriter {
 public:
  ChangeWriter(std::vector<FileWrites>& files, const ChangeOptions& options, UserDialog& dialog,
               ChangeJournal& journal)
      : files_(files), options_(options), dialog_(dialog), journal_(journal) {}

  ChangeResult Run() {
    if (!Valid()) return {};
    GatherTargets();
    for (;;) {
      switch (Attempt()) {
        case Outcome::Refused:
          return {};
        case Outcome::Again:
          continue;
        case Outcome::Made:
          for (const std::string& notice : notices_) dialog_.Message(notice);
          return result_;
      }
    }
  }

 private:
  enum class Outcome { Refused, Again, Made };

  // One file on disk, reached through the first of the requests that name it.
  struct Target {
    TBGL* bgl;
    std::optional<platform::File::Stamp> identity;
    std::vector<std::pair<std::size_t, std::size_t>> fields;  // (request, field)
  };
  struct Planned {
    std::size_t target;
    FieldEdit edit;
  };

  // The locks of the targets, let go when the attempt ends whichever way.
  class Locks {
   public:
    explicit Locks(std::vector<Target>& targets) : targets_(targets) {}
    ~Locks() { Release(); }
    Locks(const Locks&) = delete;
    Locks& operator=(const Locks&) = delete;
    // Takes every lock; the name of the file whose lock stays held by another when one does.
    std::optional<std::string> Take() {
      for (Target& t : targets_) {
        if (!t.bgl->file_->Raw().Lock(std::chrono::milliseconds(kLockWaitMs))) {
          return t.bgl->FileName;
        }
        ++held_;
      }
      return std::nullopt;
    }
    void Release() {
      for (; held_ > 0; --held_) targets_[held_ - 1].bgl->file_->Raw().Unlock();
    }

   private:
    std::vector<Target>& targets_;
    std::size_t held_ = 0;
  };

  bool Valid() {
    for (const FileWrites& request : files_) {
      TBGL& bgl = *request.bgl;
      if (!request.fields.empty() && bgl.IsBackupCopy()) {
        dialog_.Message(
            Tr("Le fichier %1 est une copie de sécurité : il se trouve dans le dossier « %2 ». "
               "Je n'y écris rien.\r\n\r\nPour revenir à cette copie, remettez-la en place "
               "sur le fichier d'origine (qorbgl-cli restore) ; pour la modifier, copiez-la "
               "d'abord ailleurs.",
               {QuotedPath(bgl.FileName), TBGL::kBackupFolderName}));
        return false;
      }
      for (const FieldWrite& field : request.fields) {
        const std::uint8_t width = WidthOf(field.code);
        if (width == 0) {
          dialog_.Message(
              Tr("Je ne sais pas encore remplacer le type \"%1\".", {std::string(1, field.code)}));
          return false;
        }
        if (std::uint64_t{field.offset} + width > bgl.file_->Size()) {
          dialog_.Message(
              Tr("Je ne peux pas écrire à l'offset %1 : il est en dehors du fichier %2 (%3 "
                 "octets).",
                 {std::to_string(field.offset), QuotedPath(bgl.FileName),
                  std::to_string(bgl.file_->Size())}));
          return false;
        }
      }
    }
    return true;
  }

  // Requests whose files are one file on disk become one target, a field named twice once.
  void GatherTargets() {
    for (std::size_t r = 0; r < files_.size(); ++r) {
      const FileWrites& request = files_[r];
      Target* target = nullptr;
      for (Target& t : targets_) {
        if (t.bgl == request.bgl || t.bgl->seen_.SameFile(request.bgl->seen_)) target = &t;
      }
      if (target == nullptr) {
        targets_.push_back({request.bgl, request.identity, {}});
        target = &targets_.back();
      }
      for (std::size_t f = 0; f < request.fields.size(); ++f) {
        bool named = false;
        for (const auto& [rr, ff] : target->fields) {
          named = named || files_[rr].fields[ff].offset == request.fields[f].offset;
        }
        if (!named) target->fields.emplace_back(r, f);
      }
    }
  }

  void Refuse(const std::string& text) { dialog_.Message(text); }

  std::string ChangedText(const TBGL& bgl) const {
    return Tr(
        "Le fichier %1 a été modifié ou remplacé par un autre programme depuis que je l'ai "
        "ouvert.\r\n\r\nRouvrez-le avant de le modifier : je n'y ai rien écrit.",
        {QuotedPath(bgl.FileName)});
  }

  Outcome Attempt() {
    result_ = ChangeResult{};
    notices_.clear();
    Locks locks(targets_);
    if (const std::optional<std::string> busy = locks.Take()) {
      Refuse(
          Tr("Le fichier %1 est en cours de modification par un autre programme : j'ai "
             "attendu %2 secondes qu'il finisse.\r\n\r\nJe n'ai rien écrit ; réessayez "
             "dans un moment.",
             {QuotedPath(*busy), std::to_string(kLockWaitMs / 1000)}));
      return Outcome::Refused;
    }
    if (!Plan()) return Outcome::Refused;
    result_.accepted = true;
    if (planned_.empty()) return Outcome::Made;
    if (options_.backup) {
      const Outcome copies = MakeCopies(locks);
      if (copies != Outcome::Made) return copies;
      // The copies took time: the files are looked at again before anything is written.
      for (const Target& t : targets_) {
        if (!t.bgl->Unchanged()) {
          Refuse(ChangedText(*t.bgl));
          return Outcome::Refused;
        }
      }
    }
    Write();
    return Outcome::Made;
  }

  // What to write: every field whose bytes differ from its value, each file still the one read.
  bool Plan() {
    planned_.clear();
    for (std::size_t ti = 0; ti < targets_.size(); ++ti) {
      Target& t = targets_[ti];
      TBGL& bgl = *t.bgl;
      if (!bgl.Unchanged()) {
        Refuse(ChangedText(bgl));
        return false;
      }
      if (t.identity && !t.identity->SameFile(bgl.seen_)) {
        if (!options_.skipChanged) {
          Refuse(
              Tr("Le fichier %1 n'est plus celui qui a été modifié : il a été remplacé "
                 "depuis. Je n'y ai rien écrit.",
                 {QuotedPath(bgl.FileName)}));
          return false;
        }
        result_.left.insert(result_.left.end(), t.fields.begin(), t.fields.end());
        continue;
      }
      for (const auto& [r, f] : t.fields) {
        const FieldWrite& field = files_[r].fields[f];
        FieldEdit edit;
        edit.offset = field.offset;
        edit.width = WidthOf(field.code);
        edit.after = LowBytes(field.value, edit.width);
        edit.what = field.what.empty() ? bgl.FieldName(field.offset) : field.what;
        if (bgl.file_->Raw().ReadAt(field.offset, edit.before.data(), edit.width) != edit.width) {
          Refuse(ChangedText(bgl));
          return false;
        }
        // A field that holds its value already is done, whatever it was expected to hold.
        if (edit.before == edit.after) continue;
        if (field.expected && LowBytes(*field.expected, edit.width) != edit.before) {
          if (!options_.skipChanged) {
            Refuse(ChangedText(bgl));
            return false;
          }
          result_.left.emplace_back(r, f);
          continue;
        }
        planned_.push_back({ti, std::move(edit)});
      }
    }
    return true;
  }

  bool HasPlanned(std::size_t target) const {
    for (const Planned& p : planned_) {
      if (p.target == target) return true;
    }
    return false;
  }

  // Every copy is made under a temporary name first; only then do older copies go to the
  // recycle bin and the new ones take their names, so that a change stopped on the way has
  // sent nothing to the bin.
  Outcome MakeCopies(Locks& locks) {
    std::vector<std::pair<std::size_t, std::string>> staged;
    std::optional<std::size_t> failed;  // the target whose copy could not be made
    std::string why;
    for (std::size_t ti = 0; ti < targets_.size() && !failed; ++ti) {
      TBGL& bgl = *targets_[ti].bgl;
      if (!HasPlanned(ti)) continue;
      if (bgl.BackupDone) {
        if (bgl.keptCopyUntold_) {
          notices_.push_back(
              Tr("Je ne fais pas de nouvelle copie de sécurité de %1 : la "
                 "copie gardée %2 en tient lieu.",
                 {QuotedPath(bgl.FileName), QuotedPath(bgl.BackupPath() + ".bak")}));
          bgl.keptCopyUntold_ = false;
        }
        continue;
      }
      const std::string temporary = ExtractFilePath(bgl.BackupPath()) + RandomName();
      if (platform::CopyFileFlushed(bgl.FileName, temporary)) {
        staged.emplace_back(ti, temporary);
      } else {
        failed = ti;
        why =
            Tr("Je n'ai pas pu faire la copie de sécurité de %1 dans « QORBgl Backup » sur "
               "votre bureau : je n'écris rien.",
               {QuotedPath(bgl.FileName)});
      }
    }
    for (std::size_t i = 0; i < staged.size() && !failed; ++i) {
      TBGL& bgl = *targets_[staged[i].first].bgl;
      const std::string copy = bgl.BackupPath();
      if (platform::FileExists(copy) && !DeleteFileEx(copy, true)) {
        failed = staged[i].first;
        why =
            Tr("Je n'ai pas pu mettre l'ancienne copie de sécurité %1 à la corbeille pour la "
               "remplacer : je n'écris rien.",
               {QuotedPath(copy)});
      } else if (!platform::RenameFile(staged[i].second, copy)) {
        failed = staged[i].first;
        why =
            Tr("Je n'ai pas pu placer la copie de sécurité de %1 sous le nom %2 : je n'écris "
               "rien.",
               {QuotedPath(bgl.FileName), QuotedPath(copy)});
      } else {
        staged[i].second.clear();
        bgl.BackupDone = true;
        result_.copies.emplace_back(bgl.FileName, copy);
        journal_.NoteBackup({RecordedPath(bgl.FileName), bgl.seen_, RecordedPath(copy)});
      }
    }
    for (const auto& [t, temporary] : staged) {
      if (!temporary.empty()) platform::RemoveFile(temporary);
    }
    if (!failed) {
      if (!result_.copies.empty()) notices_.insert(notices_.begin(), BackupMadeMessage());
      return Outcome::Made;
    }
    if (!options_.askWithoutBackup) {
      Refuse(why);
      return Outcome::Refused;
    }
    // Nobody waits on the files while the user answers: they are looked at again after.
    locks.Release();
    if (dialog_.MsgBox(Tr("Je n'ai pas pu créer une copie de sécurité de ce fichier dans un "
                          "dossier \"QORBgl Backup\" sur votre bureau !\r\n\r\nVoulez-vous "
                          "continuer ?"),
                       Tr("Attention"), UserDialog::kYesNo) != UserDialog::kIdYes) {
      return Outcome::Refused;
    }
    targets_[*failed].bgl->BackupDone = true;
    return Outcome::Again;
  }

  void Write() {
    ChangeRecord record;
    record.command = options_.command;
    record.undoes = options_.undoes;
    for (std::size_t ti = 0; ti < targets_.size(); ++ti) {
      if (!HasPlanned(ti)) continue;
      FileEdit file{RecordedPath(targets_[ti].bgl->FileName), targets_[ti].bgl->seen_, {}};
      for (const Planned& p : planned_) {
        if (p.target == ti) file.fields.push_back(p.edit);
      }
      record.files.push_back(std::move(file));
    }
    // Recorded and on disk before the first byte changes; raises when it cannot be.
    result_.change = journal_.Begin(record);

    std::vector<const Planned*> written;
    try {
      for (std::size_t ti = 0; ti < targets_.size(); ++ti) {
        if (!HasPlanned(ti)) continue;
        BufferedFile& file = *targets_[ti].bgl->file_;
        for (const Planned& p : planned_) {
          if (p.target != ti) continue;
          StopPoint(written.size());
          written.push_back(&p);
          file.Write(p.edit.offset, p.edit.after.data(), p.edit.width);
        }
        file.Raw().Flush();
      }
      CheckStillNamed();
    } catch (const EInOutError& e) {
      throw EInOutError(e.what() + PutBack(written));
    }
    StopPoint(written.size());
    try {
      journal_.Finish(result_.change, ChangeJournal::End::Done);
    } catch (const Exception& e) {
      // Not marked done, the change would be taken back by the next run: better now.
      throw Exception(e.what() + PutBack(written));
    }
    result_.written = written.size();
    for (std::size_t ti = 0; ti < targets_.size(); ++ti) {
      if (!HasPlanned(ti)) continue;
      TBGL& bgl = *targets_[ti].bgl;
      try {
        bgl.seen_ = bgl.file_->Raw().CurrentStamp();
      } catch (const EInOutError&) {
        bgl.seen_ = {};  // unknown: the next change asks for the file to be reopened
      }
    }
    for (const Planned& p : planned_) {
      if (p.edit.width == 4) {
        targets_[p.target].bgl->NoteElevation(
            p.edit.offset,
            static_cast<std::uint32_t>(LittleEndian<std::uint32_t>(p.edit.after.data())));
      }
    }
  }

  // The writes land in the open file; if another program put a different file under its name
  // or removed it meanwhile, the name does not hold the new values.
  void CheckStillNamed() {
    for (std::size_t ti = 0; ti < targets_.size(); ++ti) {
      if (!HasPlanned(ti)) continue;
      TBGL& bgl = *targets_[ti].bgl;
      std::optional<platform::File::Stamp> open;
      try {
        open = bgl.file_->Raw().CurrentStamp();
      } catch (const EInOutError&) {
        continue;  // written and flushed; its state is unknown, and the next change is refused
      }
      const std::optional<platform::File::Stamp> onPath = platform::StampOfPath(bgl.FileName);
      if (!onPath || !onPath->SameFile(*open)) {
        throw EInOutError(
            Tr("Le fichier %1 a été remplacé ou supprimé par un autre programme "
               "pendant que j'y écrivais : la nouvelle valeur n'y est pas.",
               {QuotedPath(bgl.FileName)}));
      }
    }
  }

  // Writes the old bytes of the fields written back and flushes them; what the user is told.
  // Which of the new bytes of a failed write reached the file is not known: its old ones go
  // back too.
  std::string PutBack(const std::vector<const Planned*>& written) {
    bool back = true;
    std::vector<std::size_t> touched;
    for (auto it = written.rbegin(); it != written.rend(); ++it) {
      const Planned& p = **it;
      try {
        targets_[p.target].bgl->file_->Write(p.edit.offset, p.edit.before.data(), p.edit.width);
      } catch (const EInOutError&) {
        back = false;
      }
      if (std::find(touched.begin(), touched.end(), p.target) == touched.end()) {
        touched.push_back(p.target);
      }
    }
    for (const std::size_t ti : touched) {
      TBGL& bgl = *targets_[ti].bgl;
      try {
        bgl.file_->Raw().Flush();
        bgl.seen_ = bgl.file_->Raw().CurrentStamp();
      } catch (const EInOutError&) {
        back = false;
        bgl.seen_ = {};
      }
    }
    if (!back) {
      for (const std::size_t ti : touched) targets_[ti].bgl->seen_ = {};
      std::string text =
          "\r\n\r\n" +
          Tr("Je n'ai pas pu remettre les anciennes valeurs : des octets sont peut-être en "
             "partie changés. Le journal des modifications les garde : le prochain lancement de "
             "QORBgl les remettra là où le fichier tient encore les nouvelles.");
      if (touched.size() == 1) {
        const std::string copy = targets_[touched[0]].bgl->BackupPath();
        if (platform::FileExists(copy)) {
          text += " " + Tr("Vous pouvez aussi remplacer le fichier par sa copie de sécurité %1.",
                           {QuotedPath(copy)});
        }
      }
      return text;
    }
    try {
      journal_.Finish(result_.change, ChangeJournal::End::RolledBack);
    } catch (const Exception&) {
      // The next run finds the old bytes in place: nothing to put back, only the record.
    }
    return "\r\n\r\n" +
           (touched.size() <= 1 && written.size() <= 1
                ? Tr("J'ai remis l'ancienne valeur à sa place : le fichier est tel qu'avant.")
                : Tr("J'ai remis les anciennes valeurs à leur place : les fichiers sont tels "
                     "qu'avant."));
  }

  std::vector<FileWrites>& files_;
  const ChangeOptions& options_;
  UserDialog& dialog_;
  ChangeJournal& journal_;
  std::vector<Target> targets_;
  std::vector<Planned> planned_;
  std::vector<std::string> notices_;
  ChangeResult result_;
};

ChangeResult WriteChange(std::vector<FileWrites>& files, const ChangeOptions& options,
                         UserDialog& dialog, ChangeJournal& journal) {
  return ChangeWriter(files, options, dialog, journal).Run();
}

}  // namespace qor
