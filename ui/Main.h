#pragma once
// The one window of QORBgl: folder and file list on the left, the help page and the airport tree
// on the right. Every user action enters through Clic, which dispatches on its sender.

#include <QWidget>
#include <memory>

#include "bgl/Bgl.h"
#include "bgl/Listing.h"
#include "util/FormPlacement.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QAction;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

namespace qor {

namespace platform {
struct NumberSymbols;
}

// The elevation in metres that a tree line shows, read with the regional symbols it was written
// with.
double LineElevation(const QString& line, const platform::NumberSymbols& symbols);

class FolderList;
class SingleInstance;

class TfMain : public QWidget, public PlacementForm {
  Q_OBJECT

 public:
  explicit TfMain(QWidget* parent = nullptr);
  ~TfMain() override;

  // The start-up of the window: placement, texts, settings, help page, the saved or the
  // simulator's folder; then opens the file or folder that the command line names.
  void FormCreate(const QString& commandLinePath = QString());
  // Opens a file (its folder is listed and the file chosen) or lists a folder.
  void OpenPath(const QString& path);

  void Clic(QObject* sender);
  void ListFiles(const QString& folder);
  void OngletChange(QObject* sender);
  void MDown(QObject* sender);
  // Asks for a line's new elevation, writes it, and for an airport offers it to its elements.
  void ChangeElevation(QTreeWidgetItem* node);
  // Keeps in the file list the files that define an airport of the typed name.
  void SearchAirport();
  // Prints the airport list of the open file.
  void PrintList();

  const TBGL* Bgl() const { return bgl_.get(); }

  // PlacementForm
  std::string ComponentName() const override { return "fMain"; }
  int Left() const override;
  int Top() const override;
  int Width() const override;
  int Height() const override;
  void SetLeft(int v) override;
  void SetTop(int v) override;
  void SetWidth(int v) override;
  void SetHeight(int v) override;
  WindowState State() const override;
  void SetState(WindowState state) override;
  int ScreenWidth() const override;
  int ScreenHeight() const override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void FormClose();
  void SelectDriveOf(const QString& folder);
  void SetStatus(const std::string& text);
  // Runs an action; an error it raises is shown by the error report.
  template <typename Action>
  void Guarded(Action&& action);

  // Controls, owned by the window through their Qt parents.
  QWidget* pCmd_;
  QPushButton* bLangue_;
  QLabel* lFichier_;
  QLineEdit* eFichier_;
  QPushButton* bFichier_;
  QPushButton* bImpr_;
  QLabel* pSb_;
  QSplitter* sp0_;
  QWidget* pFiles_;
  QSplitter* sp1_;
  QWidget* pDir_;
  QComboBox* cbDrive_;
  FolderList* lbDir_;
  QWidget* pFileList_;
  QListWidget* lbFiles_;
  QPushButton* bSearch_;
  QTabWidget* pc_;
  QWidget* tsAide_;
  QTextBrowser* wbAide_;
  QWidget* tsElev_;
  QTreeWidget* tvElev_;
  QMenu* pmLangue_;
  QAction* mLangue_;

  std::unique_ptr<TBGL> bgl_;
  bool listing_ = false;
  bool stopListing_ = false;
  std::unique_ptr<SingleInstance> instance_;
};

}  // namespace qor
