#pragma once
// The helpers the window's handlers share: the dialogs, and the generic reading and emptying of
// controls by their run-time kind.

#include <memory>
#include <string>

#include "workflow/FrontEnd.h"

class QObject;
class QWidget;

namespace qor {

// The dialogs of the program. The window shows real ones; tests put a scripted user in their
// place.
WorkflowDialogs& Dialogs();
void SetDialogs(std::unique_ptr<WorkflowDialogs> dialogs);
// Dialogs that pass each call on to whichever Dialogs() are in place at the time.
WorkflowDialogs& CurrentDialogs();
// The window the real dialogs are centred on (by default the active one).
void SetDialogOwner(QWidget* owner);

// Real message, input, browse and save boxes over the program's windows. Message() is a plain
// message captioned "QORBgl".
class MessageBoxDialog : public WorkflowDialogs {
 public:
  void Message(const std::string& text) override;
  int MsgBox(const std::string& text, const std::string& caption, int flags) override;
  bool InputBox(const std::string& caption, const std::string& prompt, std::string& text) override;
  bool OpenFileName(std::string& path) override;
  bool OpenFile(const std::string& caption, const std::string& filter, std::string& path) override;
  bool BrowseFolder(const std::string& caption, std::string& folder) override;
  bool SaveFileName(const std::string& caption, const std::string& filter,
                    std::string& path) override;
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
