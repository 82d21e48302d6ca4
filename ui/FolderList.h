#pragma once
// The folder list: the current folder's chain of parent folders, then its subfolders;
// a double-click enters a folder. Each change of folder says so.

#include <QListWidget>
#include <QString>

namespace qor {

class FolderList : public QListWidget {
  Q_OBJECT

 public:
  explicit FolderList(QWidget* parent = nullptr);

  // The current folder, ending in the path delimiter.
  QString Folder() const { return folder_; }
  // Moves to path (a folder that does not exist leaves the list where it is) and signals it.
  void SetFolder(const QString& path);

 signals:
  void folderChanged();
  // The user clicked the entry of the current folder.
  void folderClicked();

 private:
  void Fill();
  QString folder_;
};

}  // namespace qor
