#include "ui/MainWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>
#include <climits>
#include <exception>

#include "platform/Folder.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/FolderList.h"
#include "ui/Fonts.h"
#include "ui/Icons.h"
#include "ui/LibraryTab.h"
#include "ui/Placement.h"
#include "ui/SingleInstance.h"
#include "ui/Tree.h"
#include "util/FileUtil.h"
#include "util/HelpPage.h"
#include "util/ProgramTitle.h"
#include "util/Settings.h"
#include "workflow/LangStr.h"
#include "workflow/WindowSettings.h"

namespace qor {

namespace {

constexpr int kDesignFilesWidth = 185;
constexpr int kDesignDirHeight = 104;

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}
std::string S(const QString& text) {
  return text.toStdString();
}

// Paths cross between Qt, which writes '/' on every system, and the workflow, which takes the
// system's own delimiter.
std::string NativePath(const QString& path) {
  return S(QDir::toNativeSeparators(path));
}
QString QtPath(const std::string& path) {
  return QDir::fromNativeSeparators(Q(path));
}

}  // namespace

TfMain::TfMain(QWidget* parent)
    : QWidget(parent), workflow_(*this, CurrentDialogs(), *this, printer_) {
  setObjectName("fMain");
  SetDialogOwner(this);
  BuildControls();
}

TfMain::~TfMain() = default;

void TfMain::BuildControls() {
  QFont base("MS Sans Serif", 8);
  base.setStyleHint(QFont::SansSerif);
  setFont(base);
  resize(696, 480);
  move(207, 114);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  pCmd_ = new QWidget(this);
  pCmd_->setObjectName("pCmd");
  pCmd_->setFixedHeight(33);
  auto* cmd = new QHBoxLayout(pCmd_);
  cmd->setContentsMargins(4, 4, 3, 4);
  cmd->setSpacing(6);
  bLangue_ = new QPushButton(pCmd_);
  bLangue_->setObjectName("bLangue");
  bLangue_->setFixedSize(35, 24);
  bLangue_->setIcon(Flag(lang::Current()));
  bLangue_->setIconSize(QSize(27, 19));
  bLangue_->installEventFilter(this);
  lFichier_ = new QLabel(pCmd_);
  lFichier_->setObjectName("lFichier");
  eFichier_ = new QLineEdit(pCmd_);
  eFichier_->setObjectName("eFichier");
  eFichier_->setReadOnly(true);
  eFichier_->setFixedHeight(21);
  lFichier_->setBuddy(eFichier_);  // its access key reaches the path, to read or copy it
  QPalette grey = eFichier_->palette();
  grey.setColor(QPalette::Base, palette().color(QPalette::Window));
  eFichier_->setPalette(grey);
  bFichier_ = new QPushButton(pCmd_);
  bFichier_->setObjectName("bFichier");
  // 75 wide, or as wide as its text in a longer language.
  bFichier_->setFixedHeight(21);
  bFichier_->setMinimumWidth(75);
  bImpr_ = new QPushButton(pCmd_);
  bImpr_->setObjectName("bImpr");
  bImpr_->setFixedSize(21, 21);
  bImpr_->setIcon(PrinterIcon());
  bImpr_->setEnabled(false);
  cmd->addWidget(bLangue_);
  cmd->addSpacing(3);
  cmd->addWidget(lFichier_);
  cmd->addWidget(eFichier_, 1);
  cmd->addWidget(bFichier_);
  cmd->addWidget(bImpr_);
  layout->addWidget(pCmd_);

  sp0_ = new QSplitter(Qt::Horizontal, this);
  sp0_->setObjectName("sp0");
  sp0_->setChildrenCollapsible(false);
  sp0_->setHandleWidth(3);
  layout->addWidget(sp0_, 1);

  pFiles_ = new QWidget(sp0_);
  pFiles_->setObjectName("pFiles");
  pFiles_->setMinimumWidth(120);
  auto* files = new QVBoxLayout(pFiles_);
  files->setContentsMargins(0, 0, 0, 0);
  sp1_ = new QSplitter(Qt::Vertical, pFiles_);
  sp1_->setObjectName("sp1");
  sp1_->setChildrenCollapsible(false);
  sp1_->setHandleWidth(3);
  files->addWidget(sp1_);

  pDir_ = new QWidget(sp1_);
  pDir_->setObjectName("pDir");
  pDir_->setMinimumHeight(100);
  auto* dir = new QVBoxLayout(pDir_);
  dir->setContentsMargins(0, 0, 1, 1);
  dir->setSpacing(1);
  cbDrive_ = new QComboBox(pDir_);
  cbDrive_->setObjectName("cbDrive");
  for (const std::string& root : platform::DriveRoots()) cbDrive_->addItem(QtPath(root));
  lbDir_ = new FolderList(pDir_);
  lbDir_->setObjectName("lbDir");
  dir->addWidget(cbDrive_);
  dir->addWidget(lbDir_, 1);

  pFileList_ = new QWidget(sp1_);
  pFileList_->setObjectName("pFileList");
  pFileList_->setMinimumHeight(200);
  auto* fileList = new QVBoxLayout(pFileList_);
  fileList->setContentsMargins(1, 1, 1, 4);
  lbFiles_ = new QListWidget(pFileList_);
  lbFiles_->setObjectName("lbFiles");
  lbFiles_->setSelectionMode(QAbstractItemView::SingleSelection);
  bSearch_ = new QPushButton(pFileList_);
  bSearch_->setObjectName("bSearch");
  bSearch_->setFixedHeight(21);
  bSearch_->setEnabled(false);
  fileList->addWidget(lbFiles_, 1);
  fileList->addWidget(bSearch_);
  sp1_->addWidget(pDir_);
  sp1_->addWidget(pFileList_);
  sp1_->setStretchFactor(1, 1);

  pc_ = new QTabWidget(sp0_);
  pc_->setObjectName("pc");
  pc_->setMinimumWidth(300);
  tsAide_ = new QWidget;
  tsAide_->setObjectName("tsAide");
  auto* help = new QVBoxLayout(tsAide_);
  help->setContentsMargins(0, 0, 0, 0);
  wbAide_ = new QTextBrowser(tsAide_);
  wbAide_->setObjectName("wbAide");
  wbAide_->setOpenExternalLinks(true);
  help->addWidget(wbAide_);
  tsElev_ = new QWidget;
  tsElev_->setObjectName("tsElev");
  auto* elev = new QVBoxLayout(tsElev_);
  elev->setContentsMargins(0, 0, 0, 0);
  tvElev_ = new QTreeView(tsElev_);
  tvElev_->setObjectName("tvElev");
  lines_ = new LinesModel(this);
  tvElev_->setModel(lines_);
  tvElev_->setHeaderHidden(true);
  tvElev_->setIndentation(19);
  tvElev_->setSelectionBehavior(QAbstractItemView::SelectRows);
  tvElev_->setUniformRowHeights(true);
  // A double-click edits the line, also on an empty area below the lines; it folds nothing.
  tvElev_->setExpandsOnDoubleClick(false);
  tvElev_->viewport()->installEventFilter(this);
  tvElev_->installEventFilter(this);
  tvElev_->setFont(FixedPitchFont(9));
  elev->addWidget(tvElev_);
  // The library's page asks and schedules through the window's own dialogs and loop.
  tsBiblio_ = new LibraryTab(CurrentDialogs(), *this);
  pc_->addTab(tsAide_, QString());
  pc_->addTab(tsElev_, QString());
  pc_->addTab(tsBiblio_, QString());
  sp0_->addWidget(pFiles_);
  sp0_->addWidget(pc_);
  sp0_->setStretchFactor(1, 1);
  sp0_->setSizes({kDesignFilesWidth, 696 - kDesignFilesWidth});
  sp1_->setSizes({kDesignDirHeight, 480 - kDesignDirHeight});

  pSb_ = new QLabel(this);
  pSb_->setObjectName("pSb");
  pSb_->setFixedHeight(25);
  pSb_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  pSb_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  pSb_->setIndent(4);
  QFont status("MS Sans Serif", 10);
  status.setStyleHint(QFont::SansSerif);
  pSb_->setFont(status);
  QPalette red = pSb_->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  pSb_->setPalette(red);
  layout->addWidget(pSb_);

  pmLangue_ = new QMenu(this);
  pmLangue_->setObjectName("pmLangue");
  // The languages, each named in itself with its flag, the one spoken checked; then the call
  // for translators.
  auto* languages = new QActionGroup(pmLangue_);
  for (const LanguageItem& item : LanguageMenu()) {
    QAction* action = pmLangue_->addAction(Flag(item.language), QString());
    action->setObjectName(QString("mLangue_") + QString::fromUtf8(lang::Code(item.language)));
    action->setCheckable(true);
    languages->addAction(action);
    connect(action, &QAction::triggered, this,
            [this, language = item.language] { ChangeLanguage(language); });
    mLangues_.push_back({action, item});
  }
  pmLangue_->addSeparator();
  mLangue_ = pmLangue_->addAction(QString());
  mLangue_->setObjectName("mLangue");

  // Every user action goes to Clic with its control as sender. The file list opens what the
  // user selects (with the mouse or the arrow keys), not the entry that only takes the focus.
  connect(bFichier_, &QPushButton::clicked, this, [this] { Clic(bFichier_); });
  connect(bImpr_, &QPushButton::clicked, this, [this] { Clic(bImpr_); });
  connect(bSearch_, &QPushButton::clicked, this, [this] { Clic(bSearch_); });
  connect(lbFiles_, &QListWidget::itemClicked, this, [this] { Clic(lbFiles_); });
  connect(lbFiles_, &QListWidget::itemSelectionChanged, this, [this] { Clic(lbFiles_); });
  connect(lbDir_, &FolderList::rowEntered, this,
          [this](int row) { workflow_.EnterFolder(static_cast<std::size_t>(row)); });
  // A click on the folder shown lists it again, whole (after a search, say).
  connect(lbDir_, &FolderList::currentClicked, this, [this] { Clic(lbDir_); });
  connect(mLangue_, &QAction::triggered, this, [this] { Clic(mLangue_); });
  connect(pc_, &QTabWidget::currentChanged, this, [this] { OngletChange(pc_); });
  connect(cbDrive_, &QComboBox::activated, this,
          [this] { workflow_.ChooseFolder(NativePath(cbDrive_->currentText())); });
  connect(tsBiblio_, &LibraryTab::definitionChosen, this,
          [this](const QString& file, quint32 offset) {
            workflow_.OpenDefinition(NativePath(file), offset);
          });
  // Ctrl+Z on the elevation page takes back the last change of the open file.
  auto* undo = new QShortcut(QKeySequence::Undo, tsElev_);
  undo->setObjectName("scDefaire");
  undo->setContext(Qt::WidgetWithChildrenShortcut);
  connect(undo, &QShortcut::activated, this, [this] { workflow_.UndoLastChange(); });
  // Ctrl+Tab and Ctrl+Shift+Tab go round the pages, wherever the keyboard is.
  for (const auto& [keys, step] :
       {std::pair{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
        std::pair{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1}}) {
    auto* turn = new QShortcut(keys, this);
    connect(turn, &QShortcut::activated, this, [this, step = step] {
      pc_->setCurrentIndex((pc_->currentIndex() + step + pc_->count()) % pc_->count());
    });
  }
  // Escape stops a long listing or search, and the reading of the library.
  auto* stop = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(stop, &QShortcut::activated, this, [this] {
    workflow_.Cancel();
    tsBiblio_->Page().Cancel();
  });
}

void TfMain::SetTexts() {
  setWindowTitle(Q(ProgramTitle(4) + " " + LangStr(1)));
  pc_->setTabText(0, Q(LangStr(2)));
  pc_->setTabText(1, Q(LangStr(3)));
  pc_->setTabText(2, Q(LangStr(41)));
  tsBiblio_->SetTexts();
  lFichier_->setText(Q(LangStr(4)));
  bFichier_->setText(Q(LangStr(5)));
  bFichier_->setToolTip(Q(LangStr(60)));
  bImpr_->setToolTip(Q(LangStr(61)));
  bSearch_->setText(Q(LangStr(6)));
  lbFiles_->setToolTip(Q(LangStr(27)));
  tvElev_->setToolTip(Q(LangStr(28)));
  bLangue_->setIcon(Flag(lang::Current()));
  for (const auto& [action, item] : mLangues_) {
    action->setText(Q(LangStr(item.text)));
    action->setChecked(item.language == lang::Current());
  }
  mLangue_->setText(Q(LangStr(62)));
}

void TfMain::ChangeLanguage(lang::Language language) {
  ChooseLanguage(language);
  ApplyLanguage(language);
  SetTexts();
  // The help page of that language, and what the workflow shows said again in it.
  wbAide_->setSource(QUrl::fromLocalFile(QtPath(HelpPagePath())));
  workflow_.LanguageChanged();
}

void TfMain::SelectDriveOf(const QString& folder) {
  std::vector<std::string> roots;
  for (int i = 0; i < cbDrive_->count(); ++i) roots.push_back(NativePath(cbDrive_->itemText(i)));
  const std::string root = platform::DriveRootOf(NativePath(folder), roots);
  if (!root.empty()) cbDrive_->setCurrentText(QtPath(root));
}

void TfMain::FormCreate(const QString& commandLinePath) {
  instance_ = std::make_unique<SingleInstance>();
  instance_->Listen();
  connect(instance_.get(), &SingleInstance::activated, this, [this](const QString& text) {
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
    workflow_.HandOver(NativePath(text));  // held while a dialog or a long task runs
  });

  ApplyLanguage(SavedLanguage());  // the language the flag's menu kept
  SetTexts();
  RestoreFormPlacement(placement_, -1, -1);
  const WindowSettings settings = ReadWindowSettings();
  {
    const QSignalBlocker quiet(pc_);  // choosing the saved page is no page change
    pc_->setCurrentIndex(static_cast<int>(settings.page));
  }
  if (settings.filesWidth > 0) {
    QList<int> sizes = sp0_->sizes();
    const int total = sizes[0] + sizes[1];
    sp0_->setSizes({settings.filesWidth, std::max(total - settings.filesWidth, 0)});
  }
  if (settings.dirHeight > 0) {
    QList<int> sizes = sp1_->sizes();
    const int total = sizes[0] + sizes[1];
    sp1_->setSizes({settings.dirHeight, std::max(total - settings.dirHeight, 0)});
  }
  wbAide_->setSource(QUrl::fromLocalFile(QtPath(HelpPagePath())));
  show();
  workflow_.Start(settings, NativePath(commandLinePath));
  if (CurrentPage() == Page::Library) tsBiblio_->PageShown();
}

void TfMain::Clic(QObject* sender) {
  if (sender == bFichier_) {
    workflow_.Browse();
  } else if (sender == lbDir_) {
    workflow_.ChooseFolder(workflow_.Folder());
  } else if (sender == lbFiles_) {
    const int row = lbFiles_->currentRow();
    if (row >= 0 && lbFiles_->item(row)->isSelected()) {
      workflow_.ChooseFile(static_cast<std::size_t>(row));
    }
  } else if (sender == tvElev_) {
    if (const auto line = LinesModel::LineOf(tvElev_->currentIndex())) workflow_.EditLine(*line);
  } else if (sender == bSearch_) {
    workflow_.Search();
  } else if (sender == bImpr_) {
    workflow_.PrintList();
  } else if (sender == mLangue_) {
    ShowMessage(LangStr(80));
  } else {
    NotYetProgrammed(sender, "fMain", "Clic");
  }
}

void TfMain::OngletChange(QObject* sender) {
  if (sender != pc_) {
    NotYetProgrammed(sender, "fMain", "OngletChange");
    return;
  }
  const Page page = CurrentPage();
  workflow_.ShowPage(page);
  if (page == Page::Library) tsBiblio_->PageShown();
}

Page TfMain::CurrentPage() const {
  if (pc_->currentWidget() == tsElev_) return Page::Elevations;
  if (pc_->currentWidget() == tsBiblio_) return Page::Library;
  return Page::Help;
}

LibraryPage& TfMain::Library() {
  return tsBiblio_->Page();
}

// ---- what the workflow shows ----

void TfMain::SetStatus(const std::string& text) {
  pSb_->setText(Q(text));
}

void TfMain::ShowFolder(const FolderRows& rows) {
  SelectDriveOf(QtPath(rows.folder));
  lbDir_->Show(rows);
}

void TfMain::ShowPage(Page page) {
  const QSignalBlocker quiet(pc_);  // the workflow knows: no page change to tell it
  pc_->setCurrentIndex(static_cast<int>(page));
}

void TfMain::SelectLine(std::size_t line) {
  const QModelIndex index = lines_->IndexOf(line);
  tvElev_->setCurrentIndex(index);
  tvElev_->scrollTo(index);
  tvElev_->setFocus();
}

void TfMain::ClearFiles() {
  const QSignalBlocker quiet(lbFiles_);
  ObjClear(lbFiles_);
}

void TfMain::AppendFiles(const std::vector<std::string>& names) {
  QStringList items;
  items.reserve(static_cast<qsizetype>(names.size()));
  for (const std::string& name : names) items.push_back(Q(name));
  const QSignalBlocker quiet(lbFiles_);
  lbFiles_->addItems(items);
}

void TfMain::SelectFile(std::optional<std::size_t> index) {
  const QSignalBlocker quiet(lbFiles_);
  if (index && *index < static_cast<std::size_t>(lbFiles_->count())) {
    lbFiles_->setCurrentRow(static_cast<int>(*index));
  } else {
    lbFiles_->setCurrentRow(-1);
    lbFiles_->clearSelection();
  }
}

void TfMain::SetSearchEnabled(bool enabled) {
  bSearch_->setEnabled(enabled);
}

void TfMain::SetFileField(const std::string& path) {
  eFichier_->setText(Q(path));  // the path as the system writes it
}

void TfMain::ShowTree(const AirportLines& lines) {
  lines_->Show(lines);
}

void TfMain::LineChanged(std::size_t line) {
  lines_->Changed(line);
}

void TfMain::ExpandLine(std::size_t line) {
  tvElev_->expand(lines_->IndexOf(line));
}

void TfMain::SetPrintEnabled(bool enabled) {
  bImpr_->setEnabled(enabled);
}

void TfMain::SetBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void TfMain::ShowProgress(const std::string& text, std::size_t done, std::size_t total) {
  if (total == 0) {
    if (progress_ != nullptr) progress_->reset();
    return;
  }
  if (progress_ == nullptr) {
    // Not modal: a modal one would take the window's events inside each step. The workflow
    // holds back what the user asks meanwhile.
    progress_ = new QProgressDialog(this);
    progress_->setObjectName("progress");
    progress_->setWindowTitle("QORBgl");
    progress_->setMinimumDuration(500);
    progress_->setAutoReset(false);
    connect(progress_, &QProgressDialog::canceled, this, [this] { workflow_.Cancel(); });
  }
  progress_->setLabelText(Q(text));
  progress_->setMaximum(static_cast<int>(std::min<std::size_t>(total, INT_MAX)));
  progress_->setValue(static_cast<int>(std::min<std::size_t>(done, INT_MAX)));
}

void TfMain::Post(std::function<void()> step) {
  QTimer::singleShot(0, this, [step = std::move(step)] { step(); });
}

void TfMain::MDown(QObject* sender) {
  if (sender == bLangue_) pmLangue_->popup(bLangue_->mapToGlobal(QPoint(0, bLangue_->height())));
}

bool TfMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == bLangue_ && event->type() == QEvent::MouseButtonPress) {
    MDown(bLangue_);
    return true;
  }
  if (watched == tvElev_->viewport() && event->type() == QEvent::ToolTip) {
    // A line's tooltip: the whole name its 25 characters cut, and the elevation in feet too.
    const auto* help = static_cast<QHelpEvent*>(event);
    if (const auto line = LinesModel::LineOf(tvElev_->indexAt(help->pos()))) {
      QToolTip::showText(help->globalPos(), Q(workflow_.LineTip(*line)), tvElev_->viewport());
      return true;
    }
  }
  if (watched == tvElev_ && event->type() == QEvent::KeyPress) {
    // Enter or F2 edits the line, as the double-click does.
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F2) {
      Clic(tvElev_);
      return true;
    }
  }
  if (watched == tvElev_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QModelIndex at = tvElev_->indexAt(mouse->position().toPoint());
    if (at.isValid()) tvElev_->setCurrentIndex(at);
    Clic(tvElev_);
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void TfMain::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

void TfMain::FormClose() {
  tsBiblio_->Page().Cancel();
  SetBusy(false);
  WindowSettings layout;
  layout.drive = NativePath(cbDrive_->currentText());
  layout.filesWidth = pFiles_->width();
  layout.dirHeight = pDir_->height();
  workflow_.Close(layout);
  SaveFormPlacement(placement_, WindowState::Normal);
}

}  // namespace qor
