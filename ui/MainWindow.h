#pragma once
// The one window of QORBgl: folder and file list on the left, the help page, the airport tree
// and the scenery library on the right. It lays out the controls, turns their events into
// calls of the window's workflow, and shows what the workflow tells it; no rule of the job
// lives here.

#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "lang/Language.h"
#include "ui/Placement.h"
#include "ui/QtPrintSurface.h"
#include "workflow/LanguageChoice.h"
#include "workflow/WindowWorkflow.h"

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
class QTreeView;
class QProgressDialog;

namespace qor {

class FolderList;
class LibraryPage;
class LibraryTab;
class LinesModel;
class SingleInstance;

class TfMain : public QWidget, public WindowView, public Scheduler {
  Q_OBJECT

 public:
  explicit TfMain(QWidget* parent = nullptr);
  ~TfMain() override;

  // The start-up of the window: placement, texts, settings, help page, the saved or the
  // simulator's folder; then opens the file or folder that the command line names.
  void FormCreate(const QString& commandLinePath = QString());

  // Every user action on a control enters here with its control as sender.
  void Clic(QObject* sender);
  void OngletChange(QObject* sender);
  void MDown(QObject* sender);
  // The texts of every control in the language spoken, and the flag that shows it.
  void SetTexts();
  // A language chosen from the flag's menu: kept, and every text shown in it at once.
  void ChangeLanguage(lang::Language language);

  WindowWorkflow& Workflow() { return workflow_; }
  LibraryPage& Library();
  const TBGL* Bgl() const { return workflow_.OpenFile(); }

  // WindowView
  void SetStatus(const std::string& text) override;
  void ShowFolder(const FolderRows& rows) override;
  void ShowPage(Page page) override;
  void ClearFiles() override;
  void AppendFiles(const std::vector<std::string>& names) override;
  void SelectFile(std::optional<std::size_t> index) override;
  void SetSearchEnabled(bool enabled) override;
  void SetFileField(const std::string& path) override;
  void ShowTree(const AirportLines& lines) override;
  void LineChanged(std::size_t line) override;
  void ExpandLine(std::size_t line) override;
  void SelectLine(std::size_t line) override;
  void SetPrintEnabled(bool enabled) override;
  void SetBusy(bool busy) override;
  void ShowProgress(const std::string& text, std::size_t done, std::size_t total) override;

  // Scheduler
  void Post(std::function<void()> step) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void FormClose();
  void SelectDriveOf(const QString& folder);
  Page CurrentPage() const;

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
  QTreeView* tvElev_;
  LibraryTab* tsBiblio_;
  QMenu* pmLangue_;
  QAction* mLangue_;
  std::vector<std::pair<QAction*, LanguageItem>> mLangues_;  // the languages of the menu
  QProgressDialog* progress_ = nullptr;                      // made at the first long print-out

  LinesModel* lines_;  // the tree's model, owned by the window
  QtPrintTarget printer_;
  WindowPlacement placement_{*this};
  WindowWorkflow workflow_;
  bool busy_ = false;
  std::unique_ptr<SingleInstance> instance_;
};

}  // namespace qor
