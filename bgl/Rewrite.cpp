// The one editing action of the library: a new value written where the old one stands, after a
// backup copy, so that nothing of the file can be lost on the way.

#include "bgl/Bgl.h"
#include "platform/Errors.h"
#include "platform/File.h"
#include "platform/PathText.h"
#include "util/FileUtil.h"

namespace qor {

namespace {

std::size_t WidthOf(char code) {
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

// Writes the old bytes back and flushes them; false when the disk refuses that as well. Which of
// the new bytes reached the file is not known, so all of them go back.
bool PutBack(BufferedFile& file, std::uint32_t offset, const unsigned char* old,
             std::size_t width) {
  try {
    file.Write(offset, old, width);
    file.Raw().Flush();
    return true;
  } catch (const EInOutError&) {
    return false;
  }
}

}  // namespace

bool TBGL::Unchanged() const {
  // Compared with what this object saw last: the open file, and the file the path names now
  // (another program may have replaced it, or removed it).
  const std::optional<platform::File::Stamp> onPath = platform::StampOfPath(FileName);
  return onPath && *onPath == seen_ && file_->Raw().CurrentStamp() == seen_;
}

std::int32_t TBGL::ElevationAt(std::uint32_t offset) {
  return static_cast<std::int32_t>(file_->Get<std::uint32_t>(offset));
}

bool TBGL::EnsureBackup(UserDialog& dialog) {
  if (BackupDone) return true;
  if (CopyFileTo(FileName, BackupPath(), true)) {
    dialog.Message(
        "Une copie de sécurité a été placée dans le dossier \"QORBgl Backup\" sur votre "
        "bureau.\r\n\r\nVous pourrez la supprimer après contrôle du BGL modifié.");
    BackupDone = true;
    return true;
  }
  BackupDone = dialog.MsgBox(
                   "Je n'ai pas pu créer une copie de sécurité de ce fichier dans un dossier "
                   "\"QORBgl Backup\" sur votre bureau !\r\n\r\nVoulez-vous continuer ?",
                   "Attention", UserDialog::kYesNo) == UserDialog::kIdYes;
  return BackupDone;
}

bool TBGL::ReplaceValue(std::uint32_t offset, char code, const Variant& value, UserDialog& dialog) {
  const std::size_t width = WidthOf(code);
  unsigned char old[4];
  // What the user is told after the old bytes were written back, or could not be.
  const auto putBack = [&]() -> std::string {
    if (!PutBack(*file_, offset, old, width)) {
      std::string text = "\r\n\r\nJe n'ai pas pu remettre l'ancienne valeur : les " +
                         std::to_string(width) + " octets à l'offset " + std::to_string(offset) +
                         " sont peut-être en partie changés.";
      if (platform::FileExists(BackupPath())) {
        text += " Remplacez le fichier par sa copie de sécurité " +
                platform::QuotedPath(BackupPath()) + ".";
      }
      return text;
    }
    try {
      seen_ = file_->Raw().CurrentStamp();
    } catch (const EInOutError&) {
      seen_ = {};  // unknown: the next write asks for the file to be reopened
    }
    return "\r\n\r\nJ'ai remis l'ancienne valeur à sa place : le fichier est tel qu'avant.";
  };
  const auto refuseChanged = [&] {
    dialog.Message("Le fichier " + platform::QuotedPath(FileName) +
                   " a été modifié ou remplacé par un autre programme depuis que je l'ai "
                   "ouvert.\r\n\r\nRouvrez-le avant de le modifier : je n'y ai rien écrit.");
    return false;
  };
  if (width != 0) {
    // Refused before any copy is made: such a write would never happen anyway.
    if (std::uint64_t{offset} + width > file_->Size()) {
      dialog.Message("Je ne peux pas écrire à l'offset " + std::to_string(offset) +
                     " : il est en dehors du fichier " + platform::QuotedPath(FileName) + " (" +
                     std::to_string(file_->Size()) + " octets).");
      return false;
    }
    if (!Unchanged()) return refuseChanged();
  }
  if (!EnsureBackup(dialog)) return false;
  if (width == 0) {
    dialog.Message(std::string("Je ne sais pas encore remplacer le type \"") + code + "\".");
    return false;
  }
  // The copy and the question about going on without one take time (a window waits for the
  // user): the file is looked at again right before the write.
  if (!Unchanged()) return refuseChanged();

  if (file_->Raw().ReadAt(offset, old, width) != width) return refuseChanged();
  const auto bits = static_cast<std::uint64_t>(value.AsInt64());
  unsigned char bytes[4];
  for (std::size_t i = 0; i < width; ++i) bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
  try {
    file_->Write(offset, bytes, width);
  } catch (const EInOutError& e) {
    // A write that stopped part way may have changed some of the bytes.
    throw EInOutError(e.what() + putBack());
  }
  try {
    file_->Raw().Flush();
  } catch (const EInOutError& e) {
    // The new bytes are in the system's cache, maybe not on the disk; seen_ stays as it was,
    // so nothing more is written before the file is reopened and looked at.
    throw EInOutError(std::string(e.what()) +
                      "\r\n\r\nLa nouvelle altitude n'est peut-être pas enregistrée sur le "
                      "disque : rouvrez le fichier pour vérifier la valeur à l'offset " +
                      std::to_string(offset) + ".");
  }
  // The write lands in the open file; if another program put a different file under the name
  // or removed it meanwhile, the name does not hold the new value.
  const std::optional<platform::File::Stamp> onPath = platform::StampOfPath(FileName);
  platform::File::Stamp now;
  try {
    now = file_->Raw().CurrentStamp();
  } catch (const EInOutError&) {
    // Written and flushed, but the file's state is unknown now: the next write is refused.
    seen_ = {};
    if (width == 4) NoteElevation(offset, static_cast<std::uint32_t>(bits));
    return true;
  }
  if (!onPath || onPath->device != now.device || onPath->inode != now.inode) {
    throw EInOutError("Le fichier " + platform::QuotedPath(FileName) +
                      " a été remplacé ou supprimé par un autre programme pendant que j'y "
                      "écrivais : la nouvelle valeur n'y est pas." +
                      putBack() + "\r\n\r\nRouvrez-le avant de le modifier.");
  }
  seen_ = now;
  if (width == 4) NoteElevation(offset, static_cast<std::uint32_t>(bits));
  return true;
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
