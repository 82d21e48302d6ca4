#include "ui/FolderList.h"

#include <QKeyEvent>
#include <QStyle>

namespace qor {

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
  connect(this, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { emit rowEntered(row(item)); });
  connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    if (row(item) == current_) emit currentClicked();
  });
}

void FolderList::Show(const FolderRows& rows) {
  const QSignalBlocker quiet(this);
  clear();
  const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
  for (const FolderRow& row : rows.rows) {
    addItem(new QListWidgetItem(row.open ? open : closed,
                                QString(row.depth * 2, ' ') + QString::fromStdString(row.text)));
  }
  current_ = static_cast<int>(rows.current);
  setCurrentRow(current_);
}

void FolderList::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
    emit rowEntered(currentRow());
    return;
  }
  QListWidget::keyPressEvent(event);
}

}  // namespace qor
