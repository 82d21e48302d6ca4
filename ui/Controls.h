#pragma once
// The helpers the window's handlers share: message boxes, and the generic reading and emptying
// of controls by their run-time kind.

#include <memory>
#include <string>

#include "bgl/UserDialog.h"

class QObject;
class QWidget;

namespace qor {

// Message-box flags beyond the buttons of UserDialog, with the Windows values.
inline constexpr int kMbOk = 0;
inline constexpr int kMbIconStop = 16;
inline constexpr int kMbIconQuestion = 32;
inline constexpr int kMbIconExclamation = 48;
inline constexpr int kMbIconInformation = 64;

// The message boxes of the program. The window shows real ones; tests put a scripted user in
// their place.
UserDialog& Dialogs();
void SetDialogs(std::unique_ptr<UserDialog> dialogs);

// Real message boxes over the program's windows. Message() is a plain message captioned "QORBgl".
class MessageBoxDialog : public UserDialog {
 public:
  void Message(const std::string& text) override;
  int MsgBox(const std::string& text, const std::string& caption, int flags) override;
};

int MsgBox(const std::string& text, const std::string& caption, int flags);
// A plain message: the text and one OK button, captioned with the application's title.
void ShowMessage(const std::string& text);

// Says that an action has no handler yet, naming the sender.
void NotYetProgrammed(const QObject* sender, const std::string& where, const std::string& what);
// The selected text of a list box, the text of an edit box, the caption of a label.
std::string ObjSelected(const QObject* obj);
// Empties a list, a list box, a tree, a picture, a label or an edit box, repainting it once.
void ObjClear(QObject* obj);

}  // namespace qor
