// The real window, offscreen, driven through its controls found by their names.

#include <QDate>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocalSocket>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextLayout>
#include <QThread>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>
#include <QTreeWidget>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>

#include "bgl/Bgl.h"
#include "bgl/PlainTree.h"
#include "platform/Process.h"
#include "platform/SysCalls_posix.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/ScriptedUser.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/FolderList.h"
#include "ui/Fonts.h"
#include "ui/MainWindow.h"
#include "ui/QtPrintSurface.h"
#include "util/DateFormat.h"
#include "util/Environment.h"
#include "util/NumberFormat.h"
#include "util/ProgramTitle.h"
#include "util/Settings.h"
#include "workflow/LibraryPage.h"
#include "workflow/WindowWorkflow.h"

namespace qor {

namespace fs = std::filesystem;
using test::BglBuilder;

using test::ScriptedUser;

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;
  ScriptedUser* user_ = nullptr;
  BglBuilder builder_;
  test::Bytes original_;
  std::unique_ptr<TfMain> window_;

  std::string Home() const { return home_.path().toStdString(); }
  template <typename T>
  T* Find(const char* name) {
    T* control = window_->findChild<T*>(name);
    if (control == nullptr) qFatal("no control %s", name);
    return control;
  }
  TfMain& Start(const QString& path = QString()) {
    window_ = std::make_unique<TfMain>();
    window_->FormCreate(path);
    Settle();
    return *window_;
  }
  // Lets the window's long work (listing, searching) run to its end from the event loop.
  void Settle() {
    QElapsedTimer clock;
    clock.start();
    while (window_->Workflow().Working() && clock.elapsed() < 20000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    QVERIFY(!window_->Workflow().Working());
  }
  void ListFiles(const std::string& folder) {
    window_->Workflow().ChooseFolder(folder);
    Settle();
  }
  void Close() {
    window_->close();
    window_.reset();
  }
  std::string Folder(const std::string& name) {
    const std::string folder = Home() + "/" + name;
    fs::create_directories(folder);
    return folder;
  }
  static void Airports(const std::string& path, int count) {
    BglBuilder b;
    auto& sub = b.AddSection(3).AddSubSection();
    for (int i = count; i > 0; --i) {
      sub.AddAirport()
          .Name("Aéroport " + std::to_string(i))
          .Elevation(1000 * i)
          .Runway(9, 1, i)
          .Start(27, 2, i);
    }
    b.WriteTo(path);
  }
  QStringList ListedFiles() {
    QStringList names;
    auto* list = Find<QListWidget>("lbFiles");
    for (int i = 0; i < list->count(); ++i) names << list->item(i)->text();
    return names;
  }
  QTreeView* Tree() { return Find<QTreeView>("tvElev"); }
  // The tree's lines as it shows them, element lines indented.
  QStringList TreeLines() {
    QStringList lines;
    QAbstractItemModel* model = Tree()->model();
    for (int i = 0; i < model->rowCount(); ++i) {
      const QModelIndex airport = model->index(i, 0);
      lines << airport.data().toString();
      for (int j = 0; j < model->rowCount(airport); ++j) {
        lines << "   " + model->index(j, 0, airport).data().toString();
      }
    }
    return lines;
  }
  int Airports() { return Tree()->model()->rowCount(); }
  void Choose(int row) { Find<QListWidget>("lbFiles")->setCurrentRow(row); }

 private slots:
  void init() {
    QVERIFY(home_.isValid());
    fs::remove_all(Home());
    fs::create_directories(Home());
    for (const auto& [name, sub] : {std::pair{"HOME", ""},
                                    {"XDG_CONFIG_HOME", "/config"},
                                    {"XDG_CONFIG_DIRS", "/etc-xdg"},
                                    {"XDG_DATA_HOME", "/data"},
                                    {"WINEPREFIX", "/wine"}}) {
      ::setenv(name, (Home() + sub).c_str(), 1);
    }
    SetEnvironment("QORBgl", Home() + "/app/", Home() + "/Desktop/");
    fs::create_directories(Home() + "/app");
    fs::copy_file(QORBGL_HELP, Home() + "/app/QORBgl.htm");
    SetNumberSymbols({",", " "});
    auto user = std::make_unique<ScriptedUser>();
    user_ = user.get();
    SetDialogs(std::move(user));
  }
  void cleanup() {
    if (window_) Close();
  }

  void aFirstStartShowsTheHelpPageAndNoFile() {
    Start();
    QCOMPARE(Find<QTabWidget>("pc")->currentIndex(), 0);
    QCOMPARE(Find<QWidget>("pFiles")->width(), 185);
    QCOMPARE(window_->Bgl(), nullptr);
    QVERIFY(!Find<QPushButton>("bImpr")->isEnabled());
    // The current folder (the test's own) holds no BGL file, and the status line says so.
    QCOMPARE(Find<QLabel>("pSb")->text(),
             QString("Ce dossier ne contient aucun fichier BGL au nouveau format."));
    QCOMPARE(Find<QTabWidget>("pc")->tabText(1), QString("Élévation"));
    QVERIFY(window_->windowTitle().endsWith("Modification de l'altitude des aéroports et pistes"));
    QVERIFY(user_->messages.empty());
    // Without a simulator and without settings, the folder list starts in the current folder,
    // and says so at the next start.
    const QString current = QString::fromStdString(fs::current_path().string() + "/");
    QCOMPARE(QString::fromStdString(window_->Workflow().Folder()), current);
    QCOMPARE(Find<FolderList>("lbDir")->currentItem()->text().trimmed(),
             QString::fromStdString(fs::current_path().filename().string()));
    Close();
    QCOMPARE(QString::fromStdString(ReadSetting("Dir")), current);
  }

  void theLayoutAndPageComeBackAtTheNextStart() {
    WriteSetting("Onglet", "1");
    Start();
    QCOMPARE(Find<QTabWidget>("pc")->currentIndex(), 1);
    QCOMPARE(Airports(), 0);
    Find<QSplitter>("sp0")->setSizes({250, 446});
    window_->move(40, 30);
    Close();
    Start();
    QCOMPARE(Find<QWidget>("pFiles")->width(), 250);
    QCOMPARE(window_->pos(), QPoint(40, 30));
    const QSize normal = window_->size();
    window_->showMaximized();
    QCoreApplication::processEvents();
    Close();
    Start();
    QVERIFY(!window_->isMaximized());
    QCOMPARE(window_->pos(), QPoint(40, 30));  // the normal bounds, not the maximised ones
    QCOMPARE(window_->size(), normal);
    for (const char* bad : {"0", "-5", "abc"}) {
      Close();
      WriteSetting("sp0", bad);
      Start();
      QCOMPARE(Find<QWidget>("pFiles")->width(), 185);
    }
  }

  void onlyReadableNewFormatFilesAreListed() {
    const std::string folder = Folder("scenery");
    Airports(folder + "/good.bgl", 1);
    test::WriteFile(folder + "/old.bgl", {0x01, 0x00, 0x00, 0x00});
    test::WriteFile(folder + "/empty.bgl", {});
    test::WriteFile(folder + "/one.bgl", {0x01});
    Airports(folder + "/notes.txt", 1);
    Start(QString::fromStdString(folder));
    QCOMPARE(ListedFiles(), QStringList{"good.bgl"});
    QVERIFY(!Find<QPushButton>("bSearch")->isEnabled());
    Airports(folder + "/SECOND.BGL", 1);
    ListFiles(folder);
    QCOMPARE(ListedFiles(), (QStringList{"good.bgl", "SECOND.BGL"}));
    QVERIFY(Find<QPushButton>("bSearch")->isEnabled());
  }

  void choosingAFileFillsTheSortedTree() {
    const std::string folder = Folder("scenery");
    Airports(folder + "/a.bgl", 3);
    Airports(folder + "/b.bgl", 1);
    WriteSetting("Onglet", "1");
    Start(QString::fromStdString(folder));
    Choose(0);
    QCOMPARE(Find<QLineEdit>("eFichier")->text().toStdString(), folder + "/a.bgl");
    PlainTree expected;
    TBGL(folder + "/a.bgl", Home() + "/").FillTree(expected);
    QStringList lines;
    for (const auto& line : expected.Lines()) {
      lines << QString::fromStdString((line.depth ? "   " : "") + line.item->text);
    }
    QCOMPARE(TreeLines(), lines);
    QCOMPARE(TreeLines().front(), QString("Aéroport 1                   1,000"));
    QCOMPARE(Find<QLabel>("pSb")->text(), QString("Double-clic sur la ligne à modifier."));
    QVERIFY(Find<QPushButton>("bImpr")->isEnabled());

    const TBGL* open = window_->Bgl();
    Find<QListWidget>("lbFiles")->itemClicked(Find<QListWidget>("lbFiles")->item(0));
    QCOMPARE(window_->Bgl(), open);  // the open file is not opened again
    QTest::keyClick(Find<QListWidget>("lbFiles"), Qt::Key_Down);  // the arrow keys open each file
    QCOMPARE(Find<QLineEdit>("eFichier")->text().toStdString(), folder + "/b.bgl");
    QCOMPARE(TreeLines().size(), 3);
  }

  void onTheHelpPageTheTreeWaitsForThePageChange() {
    const std::string folder = Folder("scenery");
    Airports(folder + "/a.bgl", 2);
    Start(QString::fromStdString(folder + "/a.bgl"));
    QVERIFY(window_->Bgl() != nullptr);
    QCOMPARE(Airports(), 0);
    QVERIFY(!Find<QPushButton>("bImpr")->isEnabled());
    Find<QTabWidget>("pc")->setCurrentIndex(1);
    QCOMPARE(Airports(), 2);
    Find<QTabWidget>("pc")->setCurrentIndex(0);
    QVERIFY(!Find<QPushButton>("bImpr")->isEnabled());
  }

  void filesWithoutAirportsOrDamagedAreReported() {
    const std::string folder = Folder("scenery");
    BglBuilder none;
    none.AddSection(19).AddSubSection().Data({1, 2, 3, 4});
    none.WriteTo(folder + "/a-none.bgl");
    BglBuilder damaged;
    damaged.SectionCount(0xFFFFFFFF);
    damaged.WriteTo(folder + "/b-damaged.bgl");
    Airports(folder + "/c-good.bgl", 1);
    WriteSetting("Onglet", "1");
    Start(QString::fromStdString(folder));
    Choose(0);
    QCOMPARE(user_->messages, std::vector<std::string>{"Ce fichier ne contient pas d'aéroports."});
    Choose(1);
    QCOMPARE(user_->script.questions.size(), size_t{1});
    QCOMPARE(user_->script.questions[0].caption, std::string("QORBgl"));
    QCOMPARE(user_->script.questions[0].flags, UserDialog::kIconStop);
    QVERIFY(user_->script.questions[0].text.rfind("(TBGL.Create) Le fichier", 0) == 0);
    QCOMPARE(window_->Bgl(), nullptr);
    Choose(2);  // the window goes on working
    QVERIFY(window_->Bgl() != nullptr);
    QCOMPARE(Airports(), 1);
  }

  // The flag opens the languages' menu; a language chosen is spoken at once by every control,
  // the flag shows it and the next start keeps it; French comes back the same way.
  void theFlagButtonOpensTheLanguageMenu() {
    Start();
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
      QTest::mousePress(Find<QPushButton>("bLangue"), button);
      QVERIFY(Find<QMenu>("pmLangue")->isVisible());
      Find<QMenu>("pmLangue")->hide();
    }
    QStringList items;
    for (const QAction* action : Find<QMenu>("pmLangue")->actions()) items << action->text();
    QCOMPARE(items,
             (QStringList{"Français", "English", "Deutsch", "", "I want to add a language"}));
    const QImage french = Find<QPushButton>("bLangue")->icon().pixmap(27, 19).toImage();
    const struct {
      const char* action;
      const char* code;
      const char* tab;
      const char* browse;
    } rows[] = {{"mLangue_en", "en", "Library", "&Browse"},
                {"mLangue_de", "de", "Bibliothek", "Dur&chsuchen"},
                {"mLangue_fr", "fr", "Bibliothèque", "&Parcourir"}};
    for (const auto& row : rows) {
      Find<QAction>(row.action)->trigger();
      QCOMPARE(Find<QTabWidget>("pc")->tabText(2), QString(row.tab));
      QCOMPARE(Find<QPushButton>("bFichier")->text(), QString(row.browse));
      QVERIFY(Find<QAction>(row.action)->isChecked());
      QCOMPARE(ReadSetting("Langue"), std::string(row.code));
      const QImage flag = Find<QPushButton>("bLangue")->icon().pixmap(27, 19).toImage();
      QCOMPARE(flag == french, std::string(row.code) == "fr");
    }
  }

  void theHelpersWordTheirMessages() {
    Start();
    NotYetProgrammed(Find<QPushButton>("bSearch"), "fMain", "Clic");
    QObject unnamed;
    NotYetProgrammed(&unnamed, "fMain", "Clic");
    NotYetProgrammed(nullptr, "fMain", "Clic");
    QCOMPARE(ObjSelected(Find<QListWidget>("lbFiles")), std::string());
    ObjClear(Find<QPushButton>("bImpr"));
    ObjSelected(&unnamed);
    QCOMPARE(user_->messages,
             (std::vector<std::string>{
                 "fMain.Clic (bSearch:QPushButton)\r\n\r\nPas encore programmé.",
                 "fMain.Clic (QObject)\r\n\r\nPas encore programmè.",
                 "(ObjClear) Je ne sais pas comment vider \"bImpr\" (QPushButton) !",
                 "(ObjSelected) Je ne sais pas comment extraire la sélection d'un \"QObject\" !"}));
  }

  // ---- the elevation box ----

 private:
  // A file with one airport of two elements, opened on the elevation page.
  test::Airport& OpenOneAirport(const std::string& name = "Nord", std::int64_t mm = 432000) {
    const std::string folder = Folder("edit");
    builder_ = BglBuilder();
    auto& ap = builder_.AddSection(3).AddSubSection().AddAirport().Name(name).Elevation(mm);
    ap.Runway(24, 1, 431000).Start(6, 2, 430000);
    original_ = builder_.WriteTo(folder + "/ap.bgl");
    WriteSetting("Onglet", "1");
    Start(QString::fromStdString(folder + "/ap.bgl"));
    return builder_.sections[0].subSections[0].airports[0];
  }
  static std::int32_t FieldOf(const std::string& file, std::uint32_t offset) {
    const test::Bytes b = test::ReadFile(file);
    return static_cast<std::int32_t>(b[offset] | b[offset + 1] << 8 | b[offset + 2] << 16 |
                                     static_cast<std::uint32_t>(b[offset + 3]) << 24);
  }
  std::int32_t FieldAt(std::uint32_t offset) { return FieldOf(Home() + "/edit/ap.bgl", offset); }
  QModelIndex Line(int airport, int child = -1) {
    const QModelIndex top = Tree()->model()->index(airport, 0);
    return child < 0 ? top : Tree()->model()->index(child, 0, top);
  }

 private slots:
  // The rules of the elevation box are the workflow's (its own suite); here, the window's part:
  // a double-click reaches it, the line and its elements show the new values, nothing folds.
  void aDoubleClickEditsTheLineAndTheTreeShowsTheNewValues() {
    auto& ap = OpenOneAirport();
    QTreeView* tree = Tree();
    tree->collapseAll();
    tree->setCurrentIndex(Line(0));
    // On an empty area below the lines: the selected line is edited.
    const QPoint below(20, tree->viewport()->height() - 5);
    QVERIFY(!tree->indexAt(below).isValid());
    user_->inputs = {"435"};
    user_->script.answers = {UserDialog::kIdYes};
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, below);
    QCOMPARE(user_->asked.size(), std::size_t{1});
    QCOMPARE(user_->asked[0].text, std::string("432,000"));
    QCOMPARE(FieldAt(ap.elements[1].elevationOffset), 435000);
    QVERIFY(tree->isExpanded(Line(0)));  // the lines just changed stay in sight
    QCOMPARE(TreeLines(), (QStringList{"Nord                       435,000",
                                       "   Runway 24 L                435,000",
                                       "   Start 6 R                  435,000"}));
    // On a line: that line, and the double-click does not fold it.
    user_->inputs = {"433,5"};
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier,
                       tree->visualRect(Line(0, 0)).center());
    QCOMPARE(user_->asked.back().prompt,
             std::string("Nouvelle élévation en mètres de la Runway 24 L de Nord "));
    QCOMPARE(FieldAt(ap.elements[0].elevationOffset), 433500);
    QVERIFY(tree->isExpanded(Line(0)));
    Close();
    Start(QString::fromStdString(Home() + "/edit/ap.bgl"));
    QCOMPARE(Line(0, 0).data().toString(), QString("Runway 24 L                433,500"));
  }

  // Ctrl+Z on the elevation page takes the last change of the open file back, after a question.
  void ctrlZTakesBackTheLastChange() {
    auto& ap = OpenOneAirport();
    Tree()->setCurrentIndex(Line(0));
    user_->inputs = {"440"};
    user_->script.answers = {UserDialog::kIdNo};  // the elements stay
    window_->Clic(Tree());
    QCOMPARE(FieldAt(ap.elevationOffset), 440000);
    user_->script.answers = {UserDialog::kIdYes};
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    Tree()->setFocus();
    QTest::keyClick(Tree(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(user_->script.questions.back().caption, std::string("Défaire"));
    QVERIFY(test::ReadFile(Home() + "/edit/ap.bgl") == original_);
    QCOMPARE(TreeLines().front(), QString("Nord                       432,000"));
  }

  // A second start that hands a file over while the elevation box is open waits for the box:
  // the typed value lands in the file the box was opened for, then the other file opens.
  void aHandOverDuringTheElevationBoxWaitsForIt() {
    auto& ap = OpenOneAirport();
    const std::string other = Folder("other") + "/b.bgl";
    Airports(other, 1);
    QProcess second;
    user_->whileAsking = [&] {
      second.start(QORBGL_PROGRAM, {QString::fromStdString(other)});
      QVERIFY(second.waitForStarted());
      QElapsedTimer clock;
      clock.start();
      while (second.state() != QProcess::NotRunning && clock.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      }
      QCOMPARE(second.exitCode(), 0);
      QCOMPARE(Find<QLineEdit>("eFichier")->text().toStdString(), Home() + "/edit/ap.bgl");
    };
    user_->inputs = {"433"};
    user_->script.answers = {UserDialog::kIdNo};
    window_->Clic(Tree());  // no line selected: nothing
    QVERIFY(user_->asked.empty());
    Tree()->setCurrentIndex(Line(0));
    window_->Clic(Tree());
    QCOMPARE(FieldAt(ap.elevationOffset), 433000);
    Settle();
    QCOMPARE(Find<QLineEdit>("eFichier")->text().toStdString(), other);
    QCOMPARE(ListedFiles(), QStringList{"b.bgl"});
    QCOMPARE(TreeLines().front(), QString("Aéroport 1                   1,000"));
  }

  // Slow reads (a network share, say) make a long listing; choosing another folder meanwhile
  // stops it, and the window ends on the new folder, without waiting for the first.
  void aFolderChosenDuringALongListingEndsListed() {
    const std::string slow = Folder("slow");
    for (int i = 0; i < 60; ++i) Airports(slow + "/f" + std::to_string(i) + ".bgl", 1);
    const std::string quick = Folder("quick");
    Airports(quick + "/q.bgl", 1);
    struct SlowReads : platform::SysCalls {
      int OpenAt(int folder, const char* name, int flags, mode_t mode) override {
        QThread::msleep(20);
        return SysCalls::OpenAt(folder, name, flags, mode);
      }
      int Open(const char* path, int flags, mode_t mode) override {
        if (std::string(path).find("/slow/") != std::string::npos) QThread::msleep(20);
        return SysCalls::Open(path, flags, mode);
      }
    } slowReads;
    const platform::ScopedSysCalls seam(slowReads);
    Start();
    window_->Workflow().ChooseFolder(slow);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 150) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QVERIFY(window_->Workflow().Working());  // still listing the slow folder
    QVERIFY(Find<QLabel>("pSb")->text().contains(" / 60"));
    window_->Workflow().ChooseFolder(quick);  // as the folder list's drive box does
    Settle();
    QCOMPARE(ListedFiles(), QStringList{"q.bgl"});
    QCOMPARE(Find<QLabel>("pSb")->text(), QString("Choisissez le fichier BGL à éditer."));
  }

  void browsingToAFileOfAnotherFormatSaysWhy() {
    const std::string folder = Folder("scenery");
    Airports(folder + "/good.bgl", 1);
    test::WriteFile(folder + "/old.bgl", {0x01, 0x00, 0x00, 0x00});
    WriteSetting("Onglet", "1");
    Start(QString::fromStdString(folder + "/good.bgl"));
    QCOMPARE(TreeLines().size(), 3);
    user_->browse = folder + "/old.bgl";
    window_->Clic(Find<QPushButton>("bFichier"));
    Settle();
    QCOMPARE(user_->browsedFrom, std::vector<std::string>{folder + "/"});  // the folder shown
    QCOMPARE(user_->messages.back(),
             std::string("Je ne sais pas encore lire ce format de fichier BGL."));
    QCOMPARE(Find<QLineEdit>("eFichier")->text().toStdString(), folder + "/old.bgl");
    QCOMPARE(TreeLines().size(), 0);
    QVERIFY(!Find<QPushButton>("bImpr")->isEnabled());
    QCOMPARE(Find<QListWidget>("lbFiles")->selectedItems().size(), 0);
  }

  void qtsOwnButtonsAndDialogsSpeakFrench() {
    QMessageBox box(QMessageBox::Question, "QORBgl", "?",
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Yes)->text(), QString("&Oui"));
    QCOMPARE(box.button(QMessageBox::No)->text(), QString("&Non"));
    QCOMPARE(box.button(QMessageBox::Ok)->text(), QString("OK"));
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QString("Annuler"));
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    QVERIFY(buttons != nullptr);
    QCOMPARE(buttons->button(QDialogButtonBox::Open)->text(), QString("&Ouvrir"));
    QCOMPARE(dialog.findChild<QLabel*>("fileNameLabel")->text(), QString("&Nom de fichier :"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QCOMPARE(buttons->button(QDialogButtonBox::Save)->text(), QString("&Enregistrer"));
  }

  // Enter presses Oui, or Non when the question is asked with kDefButton2.
  void theSecondButtonIsTheDefaultWhenAskedSo() {
    for (const int flags : {UserDialog::kYesNo, UserDialog::kYesNo | UserDialog::kDefButton2}) {
      const bool second = (flags & UserDialog::kDefButton2) != 0;
      QString defaultText;
      QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        if (box->defaultButton() != nullptr) defaultText = box->defaultButton()->text();
        QTest::keyClick(box, Qt::Key_Return);
      });
      MessageBoxDialog dialogs;
      QCOMPARE(dialogs.MsgBox("?", "Autres éléments", flags),
               second ? UserDialog::kIdNo : UserDialog::kIdYes);
      QCOMPARE(defaultText, second ? QString("&Non") : QString("&Oui"));
    }
  }

  // A name longer than its 25 characters shows whole in the tooltip, with the airport's ident
  // and position (the test files' own); the grouping symbol of the French format is drawn by
  // the tree's own font, so its lines are as tall as the others.
  void theTreeShowsWholeNamesAndEvenLines() {
    SetNumberSymbols({",", "\u202f"});
    OpenOneAirport("Aérodrome de Chavenay-Villepreux", 1234567);
    QTreeView* tree = Tree();
    QCOMPARE(Line(0).data().toString(), QString("Aérodrome de Chavenay-Vil1\u202f234,567"));
    QHelpEvent help(QEvent::ToolTip, tree->visualRect(Line(0)).center(),
                    tree->viewport()->mapToGlobal(tree->visualRect(Line(0)).center()));
    QCoreApplication::sendEvent(tree->viewport(), &help);
    QCOMPARE(QToolTip::text(),
             QString("Aérodrome de Chavenay-Villepreux\n1\u202f234,567 m (4\u202f050,4 ft)\n"
                     "OACI LFPG, 14,8975° N 39,6973° E"));
    QVERIFY2(DrawsAll(tree->font(), QString::fromUtf8("\u202f\u00a0'\u2019")),
             qPrintable(tree->font().family()));
    // The height of a line as laid out, glyphs from other fonts included.
    auto height = [&](const QString& text) {
      QTextLayout layout(text, tree->font());
      layout.beginLayout();
      const QTextLine line = layout.createLine();
      layout.endLayout();
      return line.height();
    };
    QCOMPARE(height(Line(0).data().toString()), height("Nord"));
  }

  // After a search the status line says how far the list is narrowed; a click on the folder
  // lists it whole again. An entry whose file has gone says so and leaves the list.
  void theListSaysWhatItHolds() {
    const std::string folder = Folder("search");
    for (const char* name : {"1", "2", "3"}) {
      BglBuilder b;
      b.AddSection(3).AddSubSection().AddAirport().Name(name[0] == '2' ? "Nord" : "Sud");
      b.WriteTo(folder + "/" + name + ".bgl");
    }
    Start(QString::fromStdString(folder));
    user_->inputs = {"nord"};
    window_->Clic(Find<QPushButton>("bSearch"));
    Settle();
    QCOMPARE(ListedFiles(), QStringList{"2.bgl"});
    QCOMPARE(Find<QLabel>("pSb")->text(),
             QString("« nord » : 1 fichier sur 3. Un clic sur le dossier les montre tous."));
    auto* folders = Find<FolderList>("lbDir");
    QTest::mouseClick(folders->viewport(), Qt::LeftButton, Qt::NoModifier,
                      folders->visualItemRect(folders->currentItem()).center());
    Settle();
    QCOMPARE(ListedFiles(), (QStringList{"1.bgl", "2.bgl", "3.bgl"}));

    fs::remove(folder + "/3.bgl");
    Choose(2);
    QCOMPARE(user_->messages.back(),
             std::string("Le fichier « 3.bgl » n'est plus dans ce dossier : je le retire de la "
                         "liste."));
    QCOMPARE(ListedFiles(), (QStringList{"1.bgl", "2.bgl"}));
    QCOMPARE(Find<QLineEdit>("eFichier")->text().toStdString(), folder + "/2.bgl");
  }

  void theFocusAloneOpensNoFile() {
    const std::string folder = Folder("scenery");
    Airports(folder + "/a.bgl", 1);
    Start(QString::fromStdString(folder));
    window_->activateWindow();
    Find<QListWidget>("lbFiles")->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    QCOMPARE(window_->Bgl(), nullptr);
    QCOMPARE(Find<QLineEdit>("eFichier")->text(), QString());
  }

  void searchKeepsTheFilesThatDefineTheAirport() {
    const std::string folder = Folder("search");
    BglBuilder one, two, three;
    one.AddSection(3).AddSubSection().AddAirport().Name("Sud");
    two.AddSection(3).AddSubSection().AddAirport().Name("Nord");
    three.AddSection(3).AddSubSection().AddAirport().Name("nord");
    one.WriteTo(folder + "/1.bgl");
    two.WriteTo(folder + "/2.bgl");
    three.WriteTo(folder + "/3.bgl");
    Start(QString::fromStdString(folder));
    user_->inputs = {"NORD"};
    window_->Clic(Find<QPushButton>("bSearch"));
    Settle();
    QCOMPARE(ListedFiles(), (QStringList{"2.bgl", "3.bgl"}));
    QCOMPARE(Find<QListWidget>("lbFiles")->currentRow(), 0);
    QCOMPARE(Find<QLineEdit>("eFichier")->text().toStdString(), folder + "/2.bgl");
  }

  // ---- the library page ----

 private:
  // FS2004 in the test's Wine prefix, where the finder looks, with a library of three areas
  // listed out of load order; Courchevel (LFLJ) is defined in each, in the two active ones with
  // different elevations.
  struct Fs9 {
    std::string folder;  // the simulator's, as the finder gives it
    std::string alpes, ancien, addon;
    std::uint32_t alpesAt = 0, ancienAt = 0, addonAt = 0;  // of Courchevel's elevation
    test::Bytes alpesBytes, addonBytes;
  };
  Fs9 MakeLibrary() {
    const std::string prefix = Home() + "/wine";
    fs::create_directories(prefix + "/drive_c/FS9");
    fs::create_directories(prefix + "/dosdevices");
    fs::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
    test::WriteFile(prefix + "/drive_c/FS9/fs9.exe", {'M', 'Z'});
    std::ofstream(prefix + "/system.reg")
        << "WINE REGISTRY Version 2\n\n"
        << "[Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\9.0] 1700000000\n"
        << "\"EXE Path\"=\"C:\\\\FS9\"\n";
    Fs9 sim;
    sim.folder = prefix + "/dosdevices/c:/FS9/";
    const std::string cfg =
        "[General]\r\nTitle=FS9 World Scenery\r\n\r\n"
        "[Area.001]\r\nTitle=Alpes d'origine\r\nLocal=Scenery\\Alpes\r\nLayer=1\r\n"
        "Active=TRUE\r\n\r\n"
        "[Area.002]\r\nTitle=Courchevel (add-on)\r\nLocal=Addon Scenery\\Courchevel\r\n"
        "Layer=3\r\nActive=TRUE\r\n\r\n"
        "[Area.003]\r\nTitle=Courchevel, version précédente\r\nLocal=Addon Scenery\\Ancien\r\n"
        "Layer=2\r\nActive=FALSE\r\n";
    const std::string bytes = test::Utf8ToCp1252(cfg);
    test::WriteFile(sim.folder + "scenery.cfg", test::Bytes(bytes.begin(), bytes.end()));
    auto area = [&](const std::string& local, const std::string& name, std::int64_t mm,
                    std::uint32_t& at, bool neighbour) {
      const std::string folder = sim.folder + local + "/scenery/";
      fs::create_directories(folder);
      BglBuilder b;
      auto& sub = b.AddSection(3).AddSubSection();
      if (neighbour) sub.AddAirport().Name("Albertville").Icao("LFKA").Elevation(315000);
      auto& ap = sub.AddAirport().Name("Courchevel").Icao("LFLJ").Elevation(mm).Runway(22, 0, mm);
      const test::Bytes written = b.WriteTo(folder + name);
      at = ap.elevationOffset;
      return std::pair{folder + name, written};
    };
    std::tie(sim.alpes, sim.alpesBytes) =
        area("Scenery/Alpes", "APX_Alpes.bgl", 2006000, sim.alpesAt, true);
    std::tie(sim.addon, sim.addonBytes) =
        area("Addon Scenery/Courchevel", "LFLJ_Courchevel.bgl", 2008000, sim.addonAt, false);
    sim.ancien = area("Addon Scenery/Ancien", "LFLJ_1998.bgl", 1900000, sim.ancienAt, false).first;
    return sim;
  }
  void SettleLibrary() {
    QElapsedTimer clock;
    clock.start();
    while (window_->Library().Working() && clock.elapsed() < 20000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    QVERIFY(!window_->Library().Working());
  }
  static QStringList Cells(const QTreeWidget* list, int row) {
    QStringList cells;
    for (int c = 0; c < list->columnCount(); ++c) cells << list->topLevelItem(row)->text(c);
    return cells;
  }

 private slots:
  // The page saved at the last close comes back with the finder's folder; Escape stops the
  // reading; the conflict is aligned through the window and leaves the list.
  void theLibraryPageAlignsAConflict() {
    const Fs9 sim = MakeLibrary();
    WriteSetting("Onglet", "2");
    Start();
    auto* pages = Find<QTabWidget>("pc");
    QCOMPARE(pages->currentWidget(), Find<QWidget>("tsBiblio"));
    QCOMPARE(pages->tabText(2), QString("Bibliothèque"));
    QCOMPARE(Find<QLineEdit>("eSimulateur")->text().toStdString(), sim.folder);

    auto* load = Find<QPushButton>("bCharger");
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QTest::mouseClick(load, Qt::LeftButton);
    QVERIFY(!load->isEnabled());
    QVERIFY(!Find<QPushButton>("bChercher")->isEnabled());
    QVERIFY(QApplication::overrideCursor() != nullptr);
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QTest::keyClick(window_.get(), Qt::Key_Escape);
    QVERIFY(!window_->Library().Working());
    QVERIFY(load->isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    QTest::mouseClick(load, Qt::LeftButton);
    SettleLibrary();
    auto* areas = Find<QTreeWidget>("tvZones");
    for (int c = 0; c < areas->columnCount(); ++c) {
      QCOMPARE(areas->headerItem()->text(c).toStdString(), LibraryPage::AreaColumns().at(c));
    }
    QCOMPARE(areas->topLevelItemCount(), 3);  // in load order: layer 1, 2, 3
    QVERIFY(Cells(areas, 0).contains("Alpes d'origine"));
    QVERIFY(Cells(areas, 1).contains("Courchevel, version précédente"));
    QVERIFY(Cells(areas, 2).contains("Courchevel (add-on)"));
    auto* conflicts = Find<QTreeWidget>("tvConflits");
    auto* align = Find<QPushButton>("bAligner");
    QCOMPARE(conflicts->topLevelItemCount(), 1);
    QVERIFY(Cells(conflicts, 0).contains("LFLJ"));
    QVERIFY(!align->isEnabled());
    conflicts->setCurrentItem(conflicts->topLevelItem(0));
    QVERIFY(align->isEnabled());

    user_->inputs = {"2007"};
    user_->script.answers = {UserDialog::kIdNo, UserDialog::kIdOk};  // runways stay; confirmed
    QTest::mouseClick(align, Qt::LeftButton);
    SettleLibrary();
    QCOMPARE(user_->asked.size(), std::size_t{1});
    QCOMPARE(user_->asked[0].text, std::string("2008,000"));  // the add-on's, loaded last
    QCOMPARE(FieldOf(sim.alpes, sim.alpesAt), 2007000);
    QCOMPARE(FieldOf(sim.addon, sim.addonAt), 2007000);
    QCOMPARE(FieldOf(sim.ancien, sim.ancienAt), 1900000);  // inactive: left alone
    const std::string backup = Home() + "/Desktop/QORBgl Backup/";
    QVERIFY(test::ReadFile(backup + "APX_Alpes.bgl") == sim.alpesBytes);
    QVERIFY(test::ReadFile(backup + "LFLJ_Courchevel.bgl") == sim.addonBytes);
    QCOMPARE(conflicts->topLevelItemCount(), 0);  // read again: the definitions agree
    QVERIFY(!align->isEnabled());

    // "Annuler" takes the alignment back, after a question, and the conflict comes back.
    user_->script.answers = {UserDialog::kIdYes};
    QTest::mouseClick(Find<QPushButton>("bAnnuler"), Qt::LeftButton);
    SettleLibrary();
    QCOMPARE(user_->script.questions.back().caption, std::string("Annuler l'alignement"));
    QVERIFY(test::ReadFile(sim.alpes) == sim.alpesBytes);
    QVERIFY(test::ReadFile(sim.addon) == sim.addonBytes);
    QCOMPARE(conflicts->topLevelItemCount(), 1);
  }

  // A look-up lists every definition in load order, the simulator's in bold; a double-click
  // opens its file on the elevation page, its airport's line selected.
  void aDefinitionOpensOnTheElevationPage() {
    const Fs9 sim = MakeLibrary();
    WriteSetting("Onglet", "2");
    Start();
    QTest::mouseClick(Find<QPushButton>("bCharger"), Qt::LeftButton);
    SettleLibrary();
    auto* lookup = Find<QLineEdit>("eCherche");
    lookup->setText("lflj");
    QTest::keyClick(lookup, Qt::Key_Return);
    auto* definitions = Find<QTreeWidget>("tvDefinitions");
    QCOMPARE(definitions->topLevelItemCount(), 3);
    const QString files[] = {"APX_Alpes.bgl", "LFLJ_1998.bgl", "LFLJ_Courchevel.bgl"};
    for (int row = 0; row < 3; ++row) {
      const QString cells = Cells(definitions, row).join(" | ");
      QVERIFY2(cells.contains(files[row]), qPrintable(cells));
      QCOMPARE(definitions->topLevelItem(row)->font(0).bold(), row == 2);
    }
    QVERIFY(!Find<QLabel>("lDefinitions")->text().isEmpty());

    // A double-click as the system sends it: a click, then the second press.
    const QPoint first(5, definitions->visualItemRect(definitions->topLevelItem(0)).center().y());
    QTest::mouseClick(definitions->viewport(), Qt::LeftButton, Qt::NoModifier, first);
    QTest::mouseDClick(definitions->viewport(), Qt::LeftButton, Qt::NoModifier, first);
    Settle();
    auto* pages = Find<QTabWidget>("pc");
    QCOMPARE(pages->currentIndex(), 1);
    QCOMPARE(Find<QLineEdit>("eFichier")->text().toStdString(), sim.alpes);
    QCOMPARE(TreeLines().size(), 3);
    QCOMPARE(Tree()->currentIndex(), Line(1));  // Courchevel, after Albertville
    pages->setCurrentIndex(2);
    Close();
    QCOMPARE(ReadSetting("Onglet"), std::string("2"));
  }

  // ---- printing ----

  void withoutAPrinterTheListGoesToAPdf() {
    if (QtPrintSurface::HasDefaultPrinter()) QSKIP("this machine has a default printer");
    OpenOneAirport();
    Tree()->collapse(Line(0));  // a collapsed airport prints its elements all the same
    const std::string pdf = Home() + "/liste.pdf";
    user_->script.answers = {UserDialog::kIdNo};
    window_->Clic(Find<QPushButton>("bImpr"));
    QVERIFY(!fs::exists(pdf));
    user_->script.answers = {UserDialog::kIdYes};
    user_->inputs = {pdf};
    window_->Clic(Find<QPushButton>("bImpr"));
    Settle();
    QCOMPARE(user_->asked.back().text, Home() + "/Desktop/ap.pdf");  // proposed by the program
    QVERIFY(fs::exists(pdf));
    QProcess text;
    text.start("pdftotext", {"-layout", QString::fromStdString(pdf), "-"});
    QVERIFY(text.waitForFinished(20000));
    // The layout of the page spreads the blanks: compare the words.
    const QString printed = QString::fromUtf8(text.readAllStandardOutput()).simplified();
    qsizetype at = printed.indexOf("Aéroports et altitudes de ap.bgl");
    QVERIFY2(at >= 0, qPrintable(printed));
    QVERIFY(printed.contains(QString::fromStdString(ProgramTitle(4))));
    QVERIFY(printed.contains("Page 1"));
    const double today = static_cast<double>(QDate(1899, 12, 30).daysTo(QDate::currentDate()));
    QVERIFY2(printed.contains(QString::fromStdString(DateTimeStr(false, false, false, today))),
             qPrintable(printed));
    for (const QString& line : TreeLines()) {
      at = printed.indexOf(line.simplified(), at);
      QVERIFY2(at >= 0, qPrintable(line + " not in:\n" + printed));
    }
  }

  // One window per user and display: a start on another display gets a window of its own, a
  // start on the same display hands over and ends.
  void eachDisplayHasItsOwnWindow() {
    const std::string runtime = platform::UserRuntimeFolder();
    auto start = [&](QProcess& process, const char* display) {
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      env.insert("DISPLAY", display);
      env.remove("WAYLAND_DISPLAY");
      process.setProcessEnvironment(env);
      process.start(QORBGL_PROGRAM, {});
      QVERIFY(process.waitForStarted());
    };
    auto listening = [&](const std::string& name) {
      QElapsedTimer clock;
      clock.start();
      QLocalSocket probe;
      do {
        probe.connectToServer(QString::fromStdString(runtime + name));
        if (probe.waitForConnected(100)) return true;
        QThread::msleep(20);
      } while (clock.elapsed() < 20000);
      return false;
    };
    // Sockets left by windows that were killed, not closed.
    for (const char* name : {"QORBgl-_71", "QORBgl-_72"}) fs::remove(runtime + name);
    QProcess one, two, again;
    start(one, ":71");
    QVERIFY(listening("QORBgl-_71"));
    start(two, ":72");
    QVERIFY(listening("QORBgl-_72"));
    start(again, ":71");
    QVERIFY(again.waitForFinished(20000));
    QCOMPARE(again.exitCode(), 0);
    QCOMPARE(one.state(), QProcess::Running);
    QCOMPARE(two.state(), QProcess::Running);
    for (QProcess* p : {&one, &two}) {
      p->kill();
      p->waitForFinished();
    }
    for (const char* name : {"QORBgl-_71", "QORBgl-_72"}) fs::remove(runtime + name);
  }

  void aSecondStartHandsItsFileToTheFirstAndEnds() {
    const std::string folder = Folder("scenery");
    Airports(folder + "/a.bgl", 1);
    Start();
    QProcess second;
    second.start(QORBGL_PROGRAM, {QString::fromStdString(folder + "/a.bgl")});
    QVERIFY(second.waitForStarted());
    QElapsedTimer clock;
    clock.start();
    while (second.state() != QProcess::NotRunning && clock.elapsed() < 20000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    QCOMPARE(second.state(), QProcess::NotRunning);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(Find<QLineEdit>("eFichier")->text().toStdString(), folder + "/a.bgl");
    QVERIFY(window_->Bgl() != nullptr);
  }
};

}  // namespace qor

int main(int argc, char** argv) {
  qor::Application app(argc, argv);
  qor::MainWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "MainWindowTest.moc"
