#include "ui/Main.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStorageInfo>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <exception>

#include "platform/File.h"
#include "platform/Folder.h"
#include "simfinder/QORFS.h"
#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/FolderList.h"
#include "ui/Icons.h"
#include "ui/LangStr.h"
#include "ui/ProgressStatus.h"
#include "ui/SingleInstance.h"
#include "ui/TreeAdapter.h"
#include "util/Environment.h"
#include "util/Evaluator.h"
#include "util/FileUtil.h"
#include "util/ProgramTitle.h"
#include "util/Settings.h"

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

// The mounted file systems a user browses: the roots of the drive box.
QStringList DriveRoots() {
  static const QStringList kPseudo = {
      "proc",      "sysfs",       "cgroup", "cgroup2",  "devpts",   "mqueue",  "debugfs",
      "tracefs",   "securityfs",  "pstore", "bpf",      "autofs",   "fusectl", "configfs",
      "hugetlbfs", "binfmt_misc", "nsfs",   "devtmpfs", "efivarfs", "ramfs"};
  QStringList roots;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (!volume.isValid() || !volume.isReady()) continue;
    if (kPseudo.contains(QString::fromLatin1(volume.fileSystemType()))) continue;
    QString root = volume.rootPath();
    if (!root.endsWith('/')) root += '/';
    if (!roots.contains(root)) roots.push_back(root);
  }
  if (!roots.contains("/")) roots.push_back("/");
  roots.sort();
  return roots;
}

int SettingNumber(const char* name) {
  return static_cast<int>(StrToValue(ReadSetting(name)).AsInt64());
}

}  // namespace

TfMain::TfMain(QWidget* parent) : QWidget(parent) {
  setObjectName("fMain");
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
  bLangue_->setIcon(FrenchFlag());
  bLangue_->setIconSize(QSize(27, 19));
  bLangue_->installEventFilter(this);
  lFichier_ = new QLabel(pCmd_);
  lFichier_->setObjectName("lFichier");
  eFichier_ = new QLineEdit(pCmd_);
  eFichier_->setObjectName("eFichier");
  eFichier_->setReadOnly(true);
  eFichier_->setFixedHeight(21);
  QPalette grey = eFichier_->palette();
  grey.setColor(QPalette::Base, palette().color(QPalette::Window));
  eFichier_->setPalette(grey);
  bFichier_ = new QPushButton(pCmd_);
  bFichier_->setObjectName("bFichier");
  bFichier_->setFixedSize(75, 21);
  bFichier_->setToolTip("Recherche d'un fichier par boîte de dialogue.");
  bImpr_ = new QPushButton(pCmd_);
  bImpr_->setObjectName("bImpr");
  bImpr_->setFixedSize(21, 21);
  bImpr_->setIcon(PrinterIcon());
  bImpr_->setToolTip("Impression de la liste.");
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
  cbDrive_->addItems(DriveRoots());
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
  tvElev_ = new QTreeWidget(tsElev_);
  tvElev_->setObjectName("tvElev");
  tvElev_->setHeaderHidden(true);
  tvElev_->setIndentation(19);
  tvElev_->setSelectionBehavior(QAbstractItemView::SelectRows);
  tvElev_->setUniformRowHeights(true);
  QFont fixed("Courier New", 9);
  fixed.setStyleHint(QFont::TypeWriter);
  fixed.setFixedPitch(true);
  tvElev_->setFont(fixed);
  elev->addWidget(tvElev_);
  pc_->addTab(tsAide_, QString());
  pc_->addTab(tsElev_, QString());
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
  mLangue_ = pmLangue_->addAction("I want to add a language");
  mLangue_->setObjectName("mLangue");

  // Every user action goes to Clic with its control as sender.
  connect(eFichier_, &QLineEdit::textChanged, this, [this] { Clic(eFichier_); });
  connect(bFichier_, &QPushButton::clicked, this, [this] { Clic(bFichier_); });
  connect(bImpr_, &QPushButton::clicked, this, [this] { Clic(bImpr_); });
  connect(bSearch_, &QPushButton::clicked, this, [this] { Clic(bSearch_); });
  connect(lbFiles_, &QListWidget::itemClicked, this, [this] { Clic(lbFiles_); });
  connect(lbFiles_, &QListWidget::currentRowChanged, this, [this] { Clic(lbFiles_); });
  connect(lbDir_, &FolderList::folderChanged, this, [this] { Clic(lbDir_); });
  connect(tvElev_, &QTreeWidget::itemDoubleClicked, this, [this] { Clic(tvElev_); });
  connect(mLangue_, &QAction::triggered, this, [this] { Clic(mLangue_); });
  connect(pc_, &QTabWidget::currentChanged, this,
          [this] { Guarded([this] { OngletChange(pc_); }); });
  connect(cbDrive_, &QComboBox::activated, this,
          [this] { lbDir_->SetFolder(cbDrive_->currentText()); });
}

template <typename Action>
void TfMain::Guarded(Action&& action) {
  try {
    action();
  } catch (const std::bad_alloc&) {
    ReportError("Mémoire insuffisante.");
  } catch (const std::exception& e) {
    ReportError(e.what());
  }
}

void TfMain::SetStatus(const std::string& text) {
  pSb_->setText(Q(text));
}

void TfMain::SelectDriveOf(const QString& folder) {
  int best = -1;
  for (int i = 0; i < cbDrive_->count(); ++i) {
    const QString root = cbDrive_->itemText(i);
    if ((folder + "/").startsWith(root) &&
        (best < 0 || root.size() > cbDrive_->itemText(best).size())) {
      best = i;
    }
  }
  if (best >= 0) cbDrive_->setCurrentIndex(best);
}

void TfMain::FormCreate(const QString& commandLinePath) {
  instance_ = std::make_unique<SingleInstance>();
  instance_->Listen();
  connect(instance_.get(), &SingleInstance::activated, this, [this](const QString& text) {
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
    const QString path = text.trimmed();
    if (!path.isEmpty()) Guarded([this, path] { OpenPath(path); });
  });

  setWindowTitle(
      Q(ProgramTitle(4) + " " + LangStr(1, "Modification de l'altitude des aéroports et pistes")));
  RestoreFormPlacement(*this, -1, -1);
  bgl_.reset();
  pc_->setTabText(0, Q(LangStr(2, "Aide")));
  pc_->setTabText(1, Q(LangStr(3, "Élévation")));
  lFichier_->setText(Q(LangStr(4, "Fichier :")));
  bFichier_->setText(Q(LangStr(5, "Parcourir")));
  bSearch_->setText(Q(LangStr(6, "Rechercher")));
  lbFiles_->setToolTip(Q(LangStr(27, "Fichiers BGL au nouveau format")));
  tvElev_->setToolTip(
      Q(LangStr(28, "Liste des aéroports avec altitudes. Double-clic pour changer.")));
  {
    const QSignalBlocker quiet(pc_);  // choosing the saved page is no page change
    pc_->setCurrentIndex(SettingNumber("Onglet"));
  }
  if (const int width = SettingNumber("sp0"); width > 0) {
    QList<int> sizes = sp0_->sizes();
    const int total = sizes[0] + sizes[1];
    sp0_->setSizes({width, std::max(total - width, 0)});
  }
  if (const int height = SettingNumber("sp1"); height > 0) {
    QList<int> sizes = sp1_->sizes();
    const int total = sizes[0] + sizes[1];
    sp1_->setSizes({height, std::max(total - height, 0)});
  }
  wbAide_->setSource(QUrl::fromLocalFile(Q(AppFolder() + "QORBgl.htm")));
  SetStatus(LangStr(7, "Choisissez le fichier BGL à éditer."));
  show();
  listing_ = false;

  const std::string drive = ReadSetting("Drive");
  if (!drive.empty()) {
    const int index = cbDrive_->findText(Q(drive));
    if (index >= 0) cbDrive_->setCurrentIndex(index);
    const std::string folder = ReadSetting("Dir");
    if (!folder.empty()) Guarded([&] { lbDir_->SetFolder(Q(folder)); });
  } else if (std::string fs9; TFS::FindSimulatorPath(TFS::kFS2004, fs9)) {
    const QString scenery = Q(fs9 + "Scenery/");
    SelectDriveOf(scenery);
    Guarded([&] { lbDir_->SetFolder(scenery); });
  }
  if (!commandLinePath.isEmpty()) Guarded([&] { OpenPath(commandLinePath); });
}

void TfMain::OpenPath(const QString& path) {
  const QFileInfo info(path);
  if (info.isDir()) {
    SelectDriveOf(info.absoluteFilePath());
    lbDir_->SetFolder(info.absoluteFilePath());
    return;
  }
  if (!info.exists()) return;
  SelectDriveOf(info.absolutePath());
  lbDir_->SetFolder(info.absolutePath());
  QCoreApplication::processEvents();
  for (int i = 0; i < lbFiles_->count(); ++i) {
    if (lbFiles_->item(i)->text().compare(info.fileName(), Qt::CaseInsensitive) == 0) {
      lbFiles_->setCurrentRow(i);
      break;
    }
  }
  Clic(lbFiles_);
}

void TfMain::Clic(QObject* sender) {
  Guarded([&] {
    if (sender == bFichier_) {
      SetStatus(LangStr(7, "Choisissez le fichier BGL à éditer."));
      QFileDialog dialog(this);
      dialog.setDefaultSuffix("bgl");
      dialog.setNameFilter("BGL files (*.bgl *.BGL *.Bgl)");
      dialog.setFileMode(QFileDialog::ExistingFile);
      dialog.setOption(QFileDialog::DontResolveSymlinks);
      if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        OpenPath(dialog.selectedFiles().front());
      }
    } else if (sender == lbDir_) {
      ListFiles(lbDir_->Folder());
    } else if (sender == lbFiles_) {
      const QListWidgetItem* item = lbFiles_->currentRow() >= 0 ? lbFiles_->currentItem() : nullptr;
      if (item != nullptr) {
        eFichier_->setText(Q(IncludeBackslash(S(lbDir_->Folder()))) + item->text());
      }
    } else if (sender == eFichier_) {
      SetStatus(LangStr(7, "Choisissez le fichier BGL à éditer."));
      bgl_.reset();
      ObjClear(tvElev_);
      const std::string path = S(eFichier_->text());
      if (!platform::FileExists(path)) return;
      if (!TBGL::CanRead(path)) {
        ShowMessage(LangStr(26, "Je ne sais pas encore lire ce format de fichier BGL."));
        return;
      }
      bgl_ = std::make_unique<TBGL>(path, DesktopFolder());
      OngletChange(pc_);
    } else if (sender == tvElev_) {
      if (QTreeWidgetItem* node = tvElev_->currentItem(); node != nullptr && bgl_) {
        ChangeElevation(node);
      }
    } else if (sender == bSearch_) {
      SearchAirport();
    } else if (sender == bImpr_) {
      PrintList();
    } else if (sender == mLangue_) {
      ShowMessage(std::string("Do you want to translate this program ?\r\n\n") +
                  "Please send a mail to " QORBGL_CONTACT_ADDRESS " to ask for instructions.");
    } else {
      NotYetProgrammed(sender, "fMain", "Clic");
    }
  });
}

void TfMain::ListFiles(const QString& folderText) {
  if (listing_) {
    stopListing_ = true;
    while (listing_) QCoreApplication::processEvents();
  }
  stopListing_ = false;
  listing_ = true;
  struct Done {
    bool& listing;
    ~Done() { listing = false; }  // on every way out, also on an error
  } done{listing_};

  const std::string folder = IncludeBackslash(S(folderText));
  ObjClear(lbFiles_);
  const WaitCursor busy;
  const QString status = pSb_->text();
  const std::vector<std::string> names = platform::ListFolderFiles(folder, "bgl");
  // Each file is opened by its name in the folder held open (by its whole path if the folder
  // cannot be held): the system then walks the folder's path once, not once per file.
  const std::optional<platform::OpenFolder> open = platform::OpenFolder::Open(folder);
  ProgressStatus progress(pSb_, static_cast<int>(names.size()), QEventLoop::AllEvents);
  // The list takes its new names in batches: one by one, the widget costs more than the files.
  QStringList readable;
  int seen = 0;
  for (const std::string& name : names) {
    if (stopListing_) break;
    if (open ? TBGL::CanRead(*open, name) : TBGL::CanRead(folder + name)) {
      readable.push_back(Q(name));
    }
    ++seen;
    // A long listing shows how far it is and can be stopped by another choice of folder.
    if (progress.Due()) {
      lbFiles_->addItems(readable);
      readable.clear();
      progress.Show(seen);
    }
  }
  lbFiles_->addItems(readable);
  pSb_->setText(status);
  bSearch_->setEnabled(lbFiles_->count() >= 2);
}

void TfMain::OngletChange(QObject* sender) {
  bImpr_->setEnabled(false);
  if (sender != pc_) {
    NotYetProgrammed(sender, "fMain", "OngletChange");
    return;
  }
  if (pc_->currentWidget() != tsElev_) return;
  if (!bgl_) {
    ObjClear(tvElev_);
    return;
  }
  if (bgl_->AirportCount() < 1) {
    ShowMessage(LangStr(11, "Ce fichier ne contient pas d'aéroports."));
    return;
  }
  TreeAdapter tree(tvElev_);
  bgl_->FillTree(tree);
  SetStatus(LangStr(10, "Double-clic sur la ligne à modifier."));
  bImpr_->setEnabled(true);
}

void TfMain::MDown(QObject* sender) {
  if (sender == bLangue_) pmLangue_->popup(bLangue_->mapToGlobal(QPoint(0, bLangue_->height())));
}

bool TfMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == bLangue_ && event->type() == QEvent::MouseButtonPress) {
    MDown(bLangue_);
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void TfMain::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

void TfMain::FormClose() {
  bgl_.reset();
  WriteSetting("Drive", S(cbDrive_->currentText()));
  WriteSetting("Dir", S(lbDir_->Folder()));
  WriteSetting("Onglet", std::to_string(pc_->currentIndex()));
  WriteSetting("sp0", std::to_string(pFiles_->width()));
  WriteSetting("sp1", std::to_string(pDir_->height()));
  SaveFormPlacement(*this, WindowState::Normal);
}

int TfMain::Left() const {
  return x();
}
int TfMain::Top() const {
  return y();
}
int TfMain::Width() const {
  return width();
}
int TfMain::Height() const {
  return height();
}
void TfMain::SetLeft(int v) {
  move(v, y());
}
void TfMain::SetTop(int v) {
  move(x(), v);
}
void TfMain::SetWidth(int v) {
  resize(v, height());
}
void TfMain::SetHeight(int v) {
  resize(width(), v);
}

WindowState TfMain::State() const {
  if (isMaximized()) return WindowState::Maximized;
  if (isMinimized()) return WindowState::Minimized;
  return WindowState::Normal;
}

void TfMain::SetState(WindowState state) {
  switch (state) {
    case WindowState::Maximized:
      setWindowState(Qt::WindowMaximized);
      break;
    case WindowState::Minimized:
      setWindowState(Qt::WindowMinimized);
      break;
    case WindowState::Normal:
      setWindowState(Qt::WindowNoState);
      break;
  }
}

int TfMain::ScreenWidth() const {
  return QGuiApplication::primaryScreen()->size().width();
}
int TfMain::ScreenHeight() const {
  return QGuiApplication::primaryScreen()->size().height();
}

}  // namespace qor
