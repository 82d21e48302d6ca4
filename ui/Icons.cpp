#include "ui/Icons.h"

#include <QDirIterator>
#include <QPainter>

namespace qor {

QPixmap Flag(lang::Language language) {
  QPixmap flag(27, 19);
  QPainter p(&flag);
  switch (language) {
    case lang::Language::kEnglish: {
      // The Union flag: the saltires, then the crosses over them.
      p.fillRect(0, 0, 27, 19, QColor(1, 33, 105));
      p.setRenderHint(QPainter::Antialiasing);
      p.setPen(QPen(Qt::white, 4));
      p.drawLine(0, 0, 27, 19);
      p.drawLine(0, 19, 27, 0);
      p.setPen(QPen(QColor(200, 16, 46), 1.5));
      p.drawLine(0, 0, 27, 19);
      p.drawLine(0, 19, 27, 0);
      p.setRenderHint(QPainter::Antialiasing, false);
      p.fillRect(10, 0, 7, 19, Qt::white);
      p.fillRect(0, 6, 27, 7, Qt::white);
      p.fillRect(12, 0, 3, 19, QColor(200, 16, 46));
      p.fillRect(0, 8, 27, 3, QColor(200, 16, 46));
      break;
    }
    case lang::Language::kGerman:
      p.fillRect(0, 0, 27, 7, Qt::black);
      p.fillRect(0, 7, 27, 6, QColor(221, 0, 0));
      p.fillRect(0, 13, 27, 6, QColor(255, 206, 0));
      break;
    default:
      p.fillRect(0, 0, 9, 19, QColor(0, 35, 149));
      p.fillRect(9, 0, 9, 19, Qt::white);
      p.fillRect(18, 0, 9, 19, QColor(237, 41, 57));
      break;
  }
  p.setPen(QColor(96, 96, 96));
  p.setBrush(Qt::NoBrush);
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
