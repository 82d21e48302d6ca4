#include "ui/FolderList.h"

#include <QDir>
#include <QFileInfo>
#include <QStyle>

namespace qor {

namespace {

constexpr int kPathRole = Qt::UserRole;

QString WithDelimiter(QString path) {
  if (!path.endsWith('/')) path += '/';
  return path;
}

}  // namespace

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
  connect(this, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { SetFolder(item->data(kPathRole).toString()); });
  connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    if (item->data(kPathRole).toString() == folder_) emit folderClicked();
  });
}

void FolderList::SetFolder(const QString& path) {
  const QFileInfo info(path);
  if (path.isEmpty() || !info.isDir()) return;
  const QString folder = WithDelimiter(QDir::cleanPath(info.absoluteFilePath()));
  if (folder == folder_) return;
  folder_ = folder;
  Fill();
  emit folderChanged();
}

void FolderList::Fill() {
  clear();
  const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
  // The chain from the root down to the current folder, each one step further in.
  QStringList parts = folder_.split('/', Qt::SkipEmptyParts);
  QString path = "/";
  auto add = [this](const QString& text, const QString& target, int depth, const QIcon& icon) {
    auto* item = new QListWidgetItem(icon, QString(depth * 2, ' ') + text, this);
    item->setData(kPathRole, target);
  };
  add("/", "/", 0, open);
  for (int i = 0; i < parts.size(); ++i) {
    path += parts[i] + "/";
    add(parts[i], path, i + 1, open);
  }
  setCurrentRow(count() - 1);
  const QDir dir(folder_);
  const QStringList subfolders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                                               QDir::Name | QDir::IgnoreCase);
  for (const QString& sub : subfolders) add(sub, folder_ + sub + "/", parts.size() + 1, closed);
}

}  // namespace qor
