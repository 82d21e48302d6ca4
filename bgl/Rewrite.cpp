// The one editing action of the library: a new value written where the old one stands, after a
// backup copy, so that nothing of the file can be lost on the way.

#include "bgl/Bgl.h"
#include "platform/File.h"
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

}  // namespace

bool TBGL::Unchanged() const {
  // Compared with what this object saw last: the open file, and the file the path names now
  // (another program may have replaced it, or removed it).
  const std::optional<platform::File::Stamp> onPath = platform::StampOfPath(FileName);
  return onPath && *onPath == seen_ && file_->Raw().CurrentStamp() == seen_;
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
  if (width != 0) {
    // Refused before any copy is made: such a write would never happen anyway.
    if (std::uint64_t{offset} + width > file_->Size()) {
      dialog.Message("Je ne peux pas écrire à l'offset " + std::to_string(offset) +
                     " : il est en dehors du fichier \"" + FileName + "\" (" +
                     std::to_string(file_->Size()) + " octets).");
      return false;
    }
    if (!Unchanged()) {
      dialog.Message("Le fichier \"" + FileName +
                     "\" a été modifié ou remplacé par un autre programme depuis que je l'ai "
                     "ouvert.\r\n\r\nRouvrez-le avant de le modifier : je n'y ai rien écrit.");
      return false;
    }
  }
  if (!EnsureBackup(dialog)) return false;
  if (width == 0) {
    dialog.Message(std::string("Je ne sais pas encore remplacer le type \"") + code + "\".");
    return false;
  }
  const auto bits = static_cast<std::uint64_t>(value.AsInt64());
  unsigned char bytes[4];
  for (std::size_t i = 0; i < width; ++i) bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
  file_->Write(offset, bytes, width);
  file_->Raw().Flush();
  seen_ = file_->Raw().CurrentStamp();
  return true;
}

}  // namespace qor
