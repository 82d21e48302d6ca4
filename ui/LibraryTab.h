#pragma once
// The "Bibliothèque" page of the window: the simulator's folder, the areas of its scenery
// library, the definitions of an airport looked up, the conflicts and "Aligner". It lays out
// the controls, turns their events into calls of the page's workflow and shows the rows it is
// given as they stand; no rule of the job lives here.

#include <QWidget>
#include <cstdint>

#include "workflow/LibraryPage.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QSplitter;
class QTreeWidget;

namespace qor {

class LibraryTab : public QWidget, public LibraryView {
  Q_OBJECT

 public:
  LibraryTab(WorkflowDialogs& dialogs, Scheduler& scheduler, QWidget* parent = nullptr);
  ~LibraryTab() override;

  // The captions, set with the window's other texts.
  void SetTexts();
  // The page comes into sight: the first time, the simulator's folder fills the field.
  void PageShown();

  LibraryPage& Page() { return page_; }

  // LibraryView
  void ShowSimulatorFolder(const std::string& folder) override;
  void ShowReferenceFile(const std::string& file) override;
  void ShowAreas(const std::vector<LibraryRow>& rows) override;
  void ShowDefinitions(const std::vector<LibraryRow>& rows, const std::string& summary) override;
  void ShowConflicts(const std::vector<LibraryRow>& rows) override;
  void SetLibraryStatus(const std::string& text) override;
  void SetLibraryBusy(bool busy) override;

 signals:
  // A double-click on a definition: its file, to open on the elevation page at the airport
  // whose elevation field lies at offset.
  void definitionChosen(const QString& file, quint32 offset);

 private:
  void BuildControls();
  void Browse();
  void Load();
  void Lookup();
  void Align();
  void OpenDefinition();
  void UpdateAlign();

  QLabel* lSimulateur_;
  QLineEdit* eSimulateur_;
  QPushButton* bParcourir_;
  QPushButton* bCharger_;
  QLabel* lReference_;
  QLineEdit* eReference_;
  QPushButton* bReference_;
  QSplitter* spBiblio_;
  QLabel* lZones_;
  QTreeWidget* tvZones_;
  QLabel* lCherche_;
  QLineEdit* eCherche_;
  QPushButton* bChercher_;
  QLabel* lDefinitions_;
  QTreeWidget* tvDefinitions_;
  QLabel* lConflits_;
  QTreeWidget* tvConflits_;
  QPushButton* bAligner_;
  QPushButton* bAnnuler_;
  QLabel* lEtat_;

  LibraryPage page_;
  bool shown_ = false;
  bool busy_ = false;
};

}  // namespace qor
