#include "ui/Icons.h"

#include <QDirIterator>
#include <QPainter>

namespace qor {

QPixmap FrenchFlag() {
  QPixmap flag(27, 19);
  QPainter p(&flag);
  p.fillRect(0, 0, 9, 19, QColor(0, 35, 149));
  p.fillRect(9, 0, 9, 19, Qt::white);
  p.fillRect(18, 0, 9, 19, QColor(237, 41, 57));
  p.setPen(QColor(96, 96, 96));
  p.drawRect(0, 0, 26, 18);
  return flag;
}

QPixmap PrinterIcon() {
  QPixmap icon(16, 16);
  icon.fill(Qt::transparent);
  QPainter p(&icon);
  p.setPen(QColor(40, 40, 40));
  p.setBrush(Qt::white);
  p.drawRect(4, 1, 7, 5);  // the sheet going in
  p.setBrush(QColor(170, 170, 170));
  p.drawRect(1, 6, 13, 6);  // the body
  p.setBrush(Qt::white);
  p.drawRect(4, 10, 7, 5);  // the sheet coming out
  p.setPen(QColor(0, 160, 0));
  p.drawPoint(12, 8);
  return icon;
}

QIcon AppIcon() {
  QIcon icon;
  QDirIterator sizes(":/icons", {"*.png"}, QDir::Files, QDirIterator::Subdirectories);
  while (sizes.hasNext()) icon.addFile(sizes.next());
  return icon;
}

}  // namespace qor
