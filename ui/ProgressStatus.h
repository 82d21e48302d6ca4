#pragma once
// "n / N" in the status line while a long task of the window runs. The window repaints, and
// takes a stop request, a few times a second: each repaint costs more than examining a file, so
// doing it for every file would make a folder of hundreds of files take many times longer.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <string>

namespace qor {

class ProgressStatus {
 public:
  static constexpr qint64 kIntervalMs = 100;

  ProgressStatus(QLabel* status, int total, QEventLoop::ProcessEventsFlags flags)
      : status_(status), total_(" / " + QString::number(total)), flags_(flags) {
    clock_.start();
  }

  // True when the last showing is old enough for another.
  bool Due() const { return clock_.elapsed() >= kIntervalMs; }
  // Says that `done` items are finished; shows it when the last showing is old enough.
  void Step(int done) {
    if (Due()) Show(done);
  }
  void Show(int done) {
    clock_.restart();
    status_->setText(QString::number(done) + total_);
    QCoreApplication::processEvents(flags_);
  }

 private:
  QLabel* status_;
  QString total_;
  QEventLoop::ProcessEventsFlags flags_;
  QElapsedTimer clock_;
};

}  // namespace qor
