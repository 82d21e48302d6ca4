#include "ui/LibraryTab.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <optional>
#include <utility>

#include "workflow/LangStr.h"

namespace qor {

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}
std::string S(const QString& text) {
  return QDir::toNativeSeparators(text).toStdString();
}

// A read-only list of rows under the given captions, in the order the page gives them.
QTreeWidget* MakeList(QWidget* parent, const char* name, const std::vector<std::string>& columns) {
  auto* list = new QTreeWidget(parent);
  list->setObjectName(name);
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setAllColumnsShowFocus(true);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setSortingEnabled(false);
  QStringList captions;
  for (const std::string& c : columns) captions << Q(c);
  list->setHeaderLabels(captions);
  list->header()->setSectionsMovable(false);
  return list;
}

void Fill(QTreeWidget* list, const std::vector<LibraryRow>& rows) {
  const bool updates = list->updatesEnabled();
  list->setUpdatesEnabled(false);
  list->clear();
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(rows.size()));
  for (const LibraryRow& row : rows) {
    QStringList cells;
    for (const std::string& cell : row.cells) cells << Q(cell);
    auto* item = new QTreeWidgetItem(cells);
    if (!row.tip.empty()) {
      for (int c = 0; c < item->columnCount(); ++c) item->setToolTip(c, Q(row.tip));
    }
    if (row.marked) {
      for (int c = 0; c < item->columnCount(); ++c) {
        QFont bold = list->font();
        bold.setBold(true);
        item->setFont(c, bold);
      }
    }
    items << item;
  }
  list->addTopLevelItems(items);
  for (int c = 0; c < list->columnCount(); ++c) list->resizeColumnToContents(c);
  list->setUpdatesEnabled(updates);
}

std::optional<std::size_t> CurrentRow(const QTreeWidget* list) {
  QTreeWidgetItem* item = list->currentItem();
  if (item == nullptr || !item->isSelected()) return std::nullopt;
  const int row = list->indexOfTopLevelItem(item);
  if (row < 0) return std::nullopt;
  return static_cast<std::size_t>(row);
}

QHBoxLayout* Row(QBoxLayout* parent) {
  auto* row = new QHBoxLayout;
  row->setSpacing(6);
  parent->addLayout(row);
  return row;
}

}  // namespace

LibraryTab::LibraryTab(WorkflowDialogs& dialogs, Scheduler& scheduler, QWidget* parent)
    : QWidget(parent), page_(*this, dialogs, scheduler) {
  setObjectName("tsBiblio");
  BuildControls();
}

LibraryTab::~LibraryTab() {
  SetLibraryBusy(false);
}

void LibraryTab::BuildControls() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 0);
  layout->setSpacing(4);

  // The simulator's folder and the reference list, their fields starting at one place.
  auto* files = new QGridLayout;
  files->setHorizontalSpacing(6);
  files->setVerticalSpacing(4);
  files->setColumnStretch(1, 1);
  layout->addLayout(files);
  lSimulateur_ = new QLabel(this);
  lSimulateur_->setObjectName("lSimulateur");
  eSimulateur_ = new QLineEdit(this);
  eSimulateur_->setObjectName("eSimulateur");
  lSimulateur_->setBuddy(eSimulateur_);
  bParcourir_ = new QPushButton(this);
  bParcourir_->setObjectName("bParcourir");
  bCharger_ = new QPushButton(this);
  bCharger_->setObjectName("bCharger");
  files->addWidget(lSimulateur_, 0, 0);
  files->addWidget(eSimulateur_, 0, 1);
  files->addWidget(bParcourir_, 0, 2);
  files->addWidget(bCharger_, 0, 3);

  lReference_ = new QLabel(this);
  lReference_->setObjectName("lReference");
  eReference_ = new QLineEdit(this);
  eReference_->setObjectName("eReference");
  lReference_->setBuddy(eReference_);
  bReference_ = new QPushButton(this);
  bReference_->setObjectName("bReference");
  files->addWidget(lReference_, 1, 0);
  files->addWidget(eReference_, 1, 1);
  files->addWidget(bReference_, 1, 2);

  spBiblio_ = new QSplitter(Qt::Vertical, this);
  spBiblio_->setObjectName("spBiblio");
  spBiblio_->setChildrenCollapsible(false);
  spBiblio_->setHandleWidth(3);
  layout->addWidget(spBiblio_, 1);

  auto* areas = new QWidget(spBiblio_);
  auto* areasLayout = new QVBoxLayout(areas);
  areasLayout->setContentsMargins(0, 0, 0, 0);
  areasLayout->setSpacing(2);
  lZones_ = new QLabel(areas);
  lZones_->setObjectName("lZones");
  lZones_->setWordWrap(true);  // a longer language takes a second line rather than being cut
  tvZones_ = MakeList(areas, "tvZones", LibraryPage::AreaColumns());
  lZones_->setBuddy(tvZones_);
  areasLayout->addWidget(lZones_);
  areasLayout->addWidget(tvZones_, 1);

  auto* lookup = new QWidget(spBiblio_);
  auto* lookupLayout = new QVBoxLayout(lookup);
  lookupLayout->setContentsMargins(0, 0, 0, 0);
  lookupLayout->setSpacing(2);
  QHBoxLayout* search = Row(lookupLayout);
  lCherche_ = new QLabel(lookup);
  lCherche_->setObjectName("lCherche");
  eCherche_ = new QLineEdit(lookup);
  eCherche_->setObjectName("eCherche");
  lCherche_->setBuddy(eCherche_);
  bChercher_ = new QPushButton(lookup);
  bChercher_->setObjectName("bChercher");
  search->addWidget(lCherche_);
  search->addWidget(eCherche_, 1);
  search->addWidget(bChercher_);
  lDefinitions_ = new QLabel(lookup);
  lDefinitions_->setObjectName("lDefinitions");
  lDefinitions_->setWordWrap(true);
  lDefinitions_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  tvDefinitions_ = MakeList(lookup, "tvDefinitions", LibraryPage::DefinitionColumns());
  lookupLayout->addWidget(lDefinitions_);
  lookupLayout->addWidget(tvDefinitions_, 1);

  auto* conflicts = new QWidget(spBiblio_);
  auto* conflictsLayout = new QVBoxLayout(conflicts);
  conflictsLayout->setContentsMargins(0, 0, 0, 0);
  conflictsLayout->setSpacing(2);
  lConflits_ = new QLabel(conflicts);
  lConflits_->setObjectName("lConflits");
  lConflits_->setWordWrap(true);
  tvConflits_ = MakeList(conflicts, "tvConflits", LibraryPage::ConflictColumns());
  lConflits_->setBuddy(tvConflits_);
  bAligner_ = new QPushButton(conflicts);
  bAligner_->setObjectName("bAligner");
  bAligner_->setEnabled(false);
  conflictsLayout->addWidget(lConflits_);
  conflictsLayout->addWidget(tvConflits_, 1);
  bAnnuler_ = new QPushButton(conflicts);
  bAnnuler_->setObjectName("bAnnuler");
  QHBoxLayout* align = Row(conflictsLayout);
  align->addWidget(bAligner_);
  align->addWidget(bAnnuler_);
  align->addStretch(1);

  spBiblio_->addWidget(areas);
  spBiblio_->addWidget(lookup);
  spBiblio_->addWidget(conflicts);
  // The areas take what they need; the definitions and the conflicts share the rest.
  spBiblio_->setStretchFactor(0, 1);
  spBiblio_->setStretchFactor(1, 2);
  spBiblio_->setStretchFactor(2, 2);
  spBiblio_->setSizes({90, 170, 150});

  lEtat_ = new QLabel(this);
  lEtat_->setObjectName("lEtatBiblio");
  lEtat_->setWordWrap(true);  // a long sentence takes a second line rather than being cut
  lEtat_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  lEtat_->setIndent(4);
  layout->addWidget(lEtat_);

  setTabOrder(eSimulateur_, bParcourir_);
  setTabOrder(bParcourir_, bCharger_);
  setTabOrder(bCharger_, eReference_);
  setTabOrder(eReference_, bReference_);
  setTabOrder(bReference_, tvZones_);
  setTabOrder(tvZones_, eCherche_);
  setTabOrder(eCherche_, bChercher_);
  setTabOrder(bChercher_, tvDefinitions_);
  setTabOrder(tvDefinitions_, tvConflits_);
  setTabOrder(tvConflits_, bAligner_);
  setTabOrder(bAligner_, bAnnuler_);

  connect(bParcourir_, &QPushButton::clicked, this, [this] { Browse(); });
  connect(bCharger_, &QPushButton::clicked, this, [this] { Load(); });
  connect(eSimulateur_, &QLineEdit::returnPressed, this, [this] { Load(); });
  connect(bReference_, &QPushButton::clicked, this, [this] {
    if (!busy_) page_.BrowseReference(S(eReference_->text()));
  });
  connect(eReference_, &QLineEdit::returnPressed, this, [this] {
    if (!busy_) page_.LoadReference(S(eReference_->text()));
  });
  connect(bChercher_, &QPushButton::clicked, this, [this] { Lookup(); });
  connect(eCherche_, &QLineEdit::returnPressed, this, [this] { Lookup(); });
  connect(tvDefinitions_, &QTreeWidget::itemActivated, this, [this] { OpenDefinition(); });
  connect(tvConflits_, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateAlign(); });
  connect(tvConflits_, &QTreeWidget::itemActivated, this, [this] { Align(); });
  connect(bAligner_, &QPushButton::clicked, this, [this] { Align(); });
  connect(bAnnuler_, &QPushButton::clicked, this, [this] {
    if (!busy_) page_.UndoAlignment();
  });
}

void LibraryTab::SetTexts() {
  for (const auto& [list, columns] : {std::pair{tvZones_, LibraryPage::AreaColumns()},
                                      std::pair{tvDefinitions_, LibraryPage::DefinitionColumns()},
                                      std::pair{tvConflits_, LibraryPage::ConflictColumns()}}) {
    QStringList captions;
    for (const std::string& c : columns) captions << Q(c);
    list->setHeaderLabels(captions);
  }
  lSimulateur_->setText(Q(LangStr(29)));
  eSimulateur_->setToolTip(Q(LangStr(30)));
  bParcourir_->setText(Q(LangStr(31)));
  bCharger_->setText(Q(LangStr(32)));
  lReference_->setText(Q(LangStr(66)));
  eReference_->setToolTip(Q(LangStr(68)));
  bReference_->setText(Q(LangStr(67)));
  lZones_->setText(Q(LangStr(33)));
  lCherche_->setText(Q(LangStr(34)));
  bChercher_->setText(Q(LangStr(35)));
  tvDefinitions_->setToolTip(Q(LangStr(36)));
  lConflits_->setText(Q(LangStr(37)));
  bAligner_->setText(Q(LangStr(38)));
  bAligner_->setToolTip(Q(LangStr(39)));
  bAnnuler_->setText(Q(LangStr(50)));
  bAnnuler_->setToolTip(Q(LangStr(51)));
}

void LibraryTab::PageShown() {
  if (std::exchange(shown_, true)) return;
  page_.Show();
}

void LibraryTab::Browse() {
  if (!busy_) page_.Browse(S(eSimulateur_->text()));
}

void LibraryTab::Load() {
  if (!busy_) page_.Load(S(eSimulateur_->text()));
}

void LibraryTab::Lookup() {
  if (busy_) return;
  page_.Lookup(eCherche_->text().toStdString());
}

void LibraryTab::Align() {
  if (busy_) return;
  if (const auto row = CurrentRow(tvConflits_)) page_.AlignConflict(*row);
}

void LibraryTab::OpenDefinition() {
  const auto row = CurrentRow(tvDefinitions_);
  if (!row) return;
  const auto file = page_.DefinitionFile(*row);
  const auto offset = page_.DefinitionOffset(*row);
  if (file && offset) emit definitionChosen(Q(*file), *offset);
}

void LibraryTab::UpdateAlign() {
  bAligner_->setEnabled(!busy_ && CurrentRow(tvConflits_).has_value());
}

// ---- what the page shows ----

void LibraryTab::ShowSimulatorFolder(const std::string& folder) {
  eSimulateur_->setText(Q(folder));
}

void LibraryTab::ShowReferenceFile(const std::string& file) {
  eReference_->setText(Q(file));
}

void LibraryTab::ShowAreas(const std::vector<LibraryRow>& rows) {
  Fill(tvZones_, rows);
}

void LibraryTab::ShowDefinitions(const std::vector<LibraryRow>& rows, const std::string& summary) {
  Fill(tvDefinitions_, rows);
  tvDefinitions_->horizontalScrollBar()->setValue(0);  // each look-up starts at the left
  lDefinitions_->setText(Q(summary));
}

void LibraryTab::ShowConflicts(const std::vector<LibraryRow>& rows) {
  {
    const QSignalBlocker quiet(tvConflits_);
    Fill(tvConflits_, rows);
  }
  UpdateAlign();
}

void LibraryTab::SetLibraryStatus(const std::string& text) {
  lEtat_->setText(Q(text));
}

void LibraryTab::SetLibraryBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  bCharger_->setEnabled(!busy);
  bParcourir_->setEnabled(!busy);
  bReference_->setEnabled(!busy);
  bChercher_->setEnabled(!busy);
  bAnnuler_->setEnabled(!busy);
  UpdateAlign();
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

}  // namespace qor
