#pragma once
// The folder list: shows the rows the workflow gives (the chain of parent folders, then the
// subfolders); a double-click or Enter on a row enters it, a click on the current folder's row
// lists that folder whole again.

#include <QListWidget>

#include "workflow/FolderRows.h"

namespace qor {

class FolderList : public QListWidget {
  Q_OBJECT

 public:
  explicit FolderList(QWidget* parent = nullptr);

  void Show(const FolderRows& rows);

 signals:
  // The user entered the row (double-click or Enter).
  void rowEntered(int row);
  // The user clicked the current folder's row.
  void currentClicked();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  int current_ = -1;
};

}  // namespace qor
