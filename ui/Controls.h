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

// What the window asks of the user besides messages: a line of text.
class WindowDialog : public UserDialog {
 public:
  // The input box: caption, prompt, a text field holding text at first. True on OK, with the
  // edited text in text; false on Cancel.
  virtual bool InputBox(const std::string& caption, const std::string& prompt,
                        std::string& text) = 0;
  // The save-file dialog, with path as the proposed file. True with the chosen path in path.
  virtual bool SaveFileName(const std::string& caption, const std::string& filter,
                            std::string& path) = 0;
};

// The dialogs of the program. The window shows real ones; tests put a scripted user in their
// place.
WindowDialog& Dialogs();
void SetDialogs(std::unique_ptr<WindowDialog> dialogs);

// Real message and input boxes over the program's windows. Message() is a plain message
// captioned "QORBgl".
class MessageBoxDialog : public WindowDialog {
 public:
  void Message(const std::string& text) override;
  int MsgBox(const std::string& text, const std::string& caption, int flags) override;
  bool InputBox(const std::string& caption, const std::string& prompt, std::string& text) override;
  bool SaveFileName(const std::string& caption, const std::string& filter,
                    std::string& path) override;
};

int MsgBox(const std::string& text, const std::string& caption, int flags);
// A plain message: the text and one OK button, captioned with the application's title.
void ShowMessage(const std::string& text);

// The wait cursor while a long action runs, put back on every way out.
class WaitCursor {
 public:
  WaitCursor();
  ~WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

// Says that an action has no handler yet, naming the sender.
void NotYetProgrammed(const QObject* sender, const std::string& where, const std::string& what);
// The selected text of a list box, the text of an edit box, the caption of a label.
std::string ObjSelected(const QObject* obj);
// Empties a list, a list box, a tree, a picture, a label or an edit box, repainting it once.
void ObjClear(QObject* obj);

}  // namespace qor
