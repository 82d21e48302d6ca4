#include "ui/Dialogs.h"

#include "workflow/LangStr.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStringListModel>
#include <QTreeWidget>

namespace qor {

namespace {

std::unique_ptr<WorkflowDialogs>& Current() {
  static std::unique_ptr<WorkflowDialogs> dialogs = std::make_unique<MessageBoxDialog>();
  return dialogs;
}

QPointer<QWidget>& Owner() {
  static QPointer<QWidget> owner;
  return owner;
}

// The window a dialog belongs to and is centred on.
QWidget* Parent() {
  if (QWidget* active = QApplication::activeModalWidget()) return active;
  return Owner() ? Owner().data() : QApplication::activeWindow();
}

std::string NameOf(const QObject* obj) {
  return obj->objectName().toStdString();
}
std::string ClassOf(const QObject* obj) {
  return obj->metaObject()->className();
}
// A named part of a window, as opposed to any other object.
bool IsComponent(const QObject* obj) {
  return obj->isWidgetType() || qobject_cast<const QAction*>(obj) != nullptr;
}

}  // namespace

WorkflowDialogs& Dialogs() {
  return *Current();
}
void SetDialogs(std::unique_ptr<WorkflowDialogs> dialogs) {
  Current() = std::move(dialogs);
}

void SetDialogOwner(QWidget* owner) {
  Owner() = owner;
}

WorkflowDialogs& CurrentDialogs() {
  class Forward : public WorkflowDialogs {
    void Message(const std::string& text) override { Dialogs().Message(text); }
    int MsgBox(const std::string& text, const std::string& caption, int flags) override {
      return Dialogs().MsgBox(text, caption, flags);
    }
    bool InputBox(const std::string& caption, const std::string& prompt,
                  std::string& text) override {
      return Dialogs().InputBox(caption, prompt, text);
    }
    bool OpenFileName(std::string& path) override { return Dialogs().OpenFileName(path); }
    bool OpenFile(const std::string& caption, const std::string& filter,
                  std::string& path) override {
      return Dialogs().OpenFile(caption, filter, path);
    }
    bool SaveFileName(const std::string& caption, const std::string& filter,
                      std::string& path) override {
      return Dialogs().SaveFileName(caption, filter, path);
    }
    bool BrowseFolder(const std::string& caption, std::string& folder) override {
      return Dialogs().BrowseFolder(caption, folder);
    }
  };
  static Forward forward;
  return forward;
}

bool MessageBoxDialog::InputBox(const std::string& caption, const std::string& prompt,
                                std::string& text) {
  bool ok = false;
  const QString entered = QInputDialog::getText(Parent(), QString::fromStdString(caption),
                                                QString::fromStdString(prompt), QLineEdit::Normal,
                                                QString::fromStdString(text), &ok);
  if (ok) text = entered.toStdString();
  return ok;
}

void MessageBoxDialog::Message(const std::string& text) {
  MsgBox(text, QApplication::applicationName().toStdString(), kOk);
}

int MessageBoxDialog::MsgBox(const std::string& text, const std::string& caption, int flags) {
  QMessageBox box(Parent());
  box.setWindowTitle(QString::fromStdString(caption));
  box.setText(QString::fromStdString(text).replace("\r\n", "\n"));
  switch (flags & 0xF0) {
    case UserDialog::kIconStop:
      box.setIcon(QMessageBox::Critical);
      break;
    case UserDialog::kIconQuestion:
      box.setIcon(QMessageBox::Question);
      break;
    case UserDialog::kIconExclamation:
      box.setIcon(QMessageBox::Warning);
      break;
    case UserDialog::kIconInformation:
      box.setIcon(QMessageBox::Information);
      break;
    default:
      box.setIcon(QMessageBox::NoIcon);
      break;
  }
  struct Choice {
    QMessageBox::StandardButton button;
    int id;
  };
  std::vector<Choice> choices;
  switch (flags & 0x0F) {
    case kOkCancel:
      choices = {{QMessageBox::Ok, kIdOk}, {QMessageBox::Cancel, kIdCancel}};
      break;
    case kYesNo:
      choices = {{QMessageBox::Yes, kIdYes}, {QMessageBox::No, kIdNo}};
      break;
    default:
      choices = {{QMessageBox::Ok, kIdOk}};
      break;
  }
  QMessageBox::StandardButtons buttons;
  for (const Choice& c : choices) buttons |= c.button;
  box.setStandardButtons(buttons);
  // Enter presses the first button, or the second (No, Cancel) when the flags say so.
  const bool second = (flags & kDefButton2) != 0 && choices.size() > 1;
  box.setDefaultButton(choices[second ? 1 : 0].button);
  const int pressed = box.exec();
  for (const Choice& c : choices) {
    if (pressed == c.button) return c.id;
  }
  return choices.back().id;  // closed without a button: the last one, No or Cancel
}

bool MessageBoxDialog::OpenFileName(std::string& path) {
  QFileDialog dialog(Parent());
  dialog.setDefaultSuffix("bgl");
  dialog.setNameFilter("BGL files (*.bgl *.BGL *.Bgl)");
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontResolveSymlinks);
  if (!path.empty()) dialog.setDirectory(QString::fromStdString(path));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  path = dialog.selectedFiles().front().toStdString();
  return true;
}

bool MessageBoxDialog::OpenFile(const std::string& caption, const std::string& filter,
                                std::string& path) {
  QFileDialog dialog(Parent(), QString::fromStdString(caption));
  dialog.setNameFilters(
      {QString::fromStdString(filter), QString::fromStdString(LangStr(65)) + " (*)"});
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (!path.empty()) dialog.selectFile(QDir::fromNativeSeparators(QString::fromStdString(path)));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  path = QDir::toNativeSeparators(dialog.selectedFiles().front()).toStdString();
  return true;
}

bool MessageBoxDialog::BrowseFolder(const std::string& caption, std::string& folder) {
  QFileDialog dialog(Parent(), QString::fromStdString(caption));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  if (!folder.empty())
    dialog.setDirectory(QDir::fromNativeSeparators(QString::fromStdString(folder)));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  folder = QDir::toNativeSeparators(dialog.selectedFiles().front()).toStdString();
  return true;
}

bool MessageBoxDialog::SaveFileName(const std::string& caption, const std::string& filter,
                                    std::string& path) {
  const QString chosen =
      QFileDialog::getSaveFileName(Parent(), QString::fromStdString(caption),
                                   QString::fromStdString(path), QString::fromStdString(filter));
  if (chosen.isEmpty()) return false;
  path = chosen.toStdString();
  return true;
}

int MsgBox(const std::string& text, const std::string& caption, int flags) {
  return Dialogs().MsgBox(text, caption, flags);
}

void ShowMessage(const std::string& text) {
  Dialogs().Message(text);
}

void NotYetProgrammed(const QObject* sender, const std::string& where, const std::string& what) {
  if (sender == nullptr) return;
  const std::string head = where + "." + what + " (";
  if (IsComponent(sender) && !sender->objectName().isEmpty()) {
    ShowMessage(head + NameOf(sender) + ":" + ClassOf(sender) + ")\r\n\r\nPas encore programmé.");
  } else {
    ShowMessage(head + ClassOf(sender) + ")\r\n\r\nPas encore programmè.");
  }
}

std::string ObjSelected(const QObject* obj) {
  if (const auto* list = qobject_cast<const QListWidget*>(obj)) {
    const QListWidgetItem* item = list->currentRow() >= 0 ? list->currentItem() : nullptr;
    return item != nullptr ? item->text().toStdString() : std::string();
  }
  if (const auto* edit = qobject_cast<const QLineEdit*>(obj)) return edit->text().toStdString();
  if (const auto* label = qobject_cast<const QLabel*>(obj)) return label->text().toStdString();
  if (obj == nullptr) return "";
  if (IsComponent(obj)) {
    ShowMessage("(ObjSelected) Je ne sais pas comment extraire la sélection de \"" + NameOf(obj) +
                "\" (" + ClassOf(obj) + ") !");
  } else {
    ShowMessage("(ObjSelected) Je ne sais pas comment extraire la sélection d'un \"" +
                ClassOf(obj) + "\" !");
  }
  return "";
}

void ObjClear(QObject* obj) {
  if (obj == nullptr) return;
  // Each list is emptied with its repainting held, so that it is drawn once, empty.
  auto once = [](QWidget* w, auto clear) {
    const bool updates = w->updatesEnabled();
    w->setUpdatesEnabled(false);
    clear();
    w->setUpdatesEnabled(updates);
  };
  if (auto* model = qobject_cast<QStringListModel*>(obj)) {
    model->setStringList({});
  } else if (auto* list = qobject_cast<QListWidget*>(obj)) {
    once(list, [list] { list->clear(); });
  } else if (auto* tree = qobject_cast<QTreeWidget*>(obj)) {
    once(tree, [tree] { tree->clear(); });
  } else if (auto* label = qobject_cast<QLabel*>(obj); label && !label->pixmap().isNull()) {
    label->setPixmap(QPixmap());
  } else if (label != nullptr) {
    label->clear();
  } else if (auto* edit = qobject_cast<QLineEdit*>(obj)) {
    edit->clear();
  } else if (IsComponent(obj)) {
    ShowMessage("(ObjClear) Je ne sais pas comment vider \"" + NameOf(obj) + "\" (" + ClassOf(obj) +
                ") !");
  } else {
    ShowMessage("(ObjClear) Je ne sais pas comment vider un \"" + ClassOf(obj) + "\" !");
  }
}

}  // namespace qor
