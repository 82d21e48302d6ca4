#pragma once
// What the commands of qorbgl-cli share: the exit codes, the usage text and the messages.

#include <optional>
#include <string>
#include <vector>

#include "bgl/UserDialog.h"
#include "lang/Language.h"

namespace qor::cli {

enum Exit { kDone = 0, kNothing = 1, kUsage = 2, kFileError = 3 };

// Prints the problem and the usage text on standard error; returns kUsage.
int Usage(const std::string& problem);
// Prints a message on standard error (the CR LF line breaks of message boxes become LF; control
// characters and bytes that are not UTF-8, which a file name may bring, are spelled out).
void Report(const std::string& message);
// Reports that path names no file, readably; returns kFileError.
int NoSuchFile(const std::string& path);
// The user's desktop folder, ending in the path delimiter: where the backup folder lies.
std::string Desktop();

// The JSON says what the libraries say in French, whatever the language: a script reads the same
// words on every run. Made with json, one of these keeps French spoken for as long as it lives.
class FrenchForJson {
 public:
  explicit FrenchForJson(bool json);
  ~FrenchForJson();
  FrenchForJson(const FrenchForJson&) = delete;
  FrenchForJson& operator=(const FrenchForJson&) = delete;

 private:
  std::optional<lang::Language> spoken_;
};

// What the changes tell the user goes to standard error; the question about going on without
// a backup copy is answered by --no-backup, never by asking.
class CommandLineDialog : public UserDialog {
 public:
  explicit CommandLineDialog(bool noBackup = false) : noBackup_(noBackup) {}
  void Message(const std::string& text) override { Report(text); }
  int MsgBox(const std::string& text, const std::string& caption, int flags) override;

 private:
  bool noBackup_;
};

int ListCommand(const std::vector<std::string>& args);
int FilesCommand(const std::vector<std::string>& args);
int FindCommand(const std::vector<std::string>& args);
int SetCommand(const std::vector<std::string>& args);
int CheckCommand(const std::vector<std::string>& args);
int RestoreCommand(const std::vector<std::string>& args);
int AreasCommand(const std::vector<std::string>& args);
int WhereCommand(const std::vector<std::string>& args);
int ConflictsCommand(const std::vector<std::string>& args);
int AlignCommand(const std::vector<std::string>& args);
int HistoryCommand(const std::vector<std::string>& args);
int UndoCommand(const std::vector<std::string>& args);

}  // namespace qor::cli
