// The real window, offscreen, driven through its controls found by their names.

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <cstdlib>
#include <filesystem>

#include "bgl/PlainTree.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/ScriptedDialog.h"
#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/FolderList.h"
#include "ui/Main.h"
#include "util/Environment.h"
#include "util/Format.h"
#include "util/Settings.h"

namespace qor {

namespace fs = std::filesystem;
using test::BglBuilder;

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;
  test::ScriptedDialog* user_ = nullptr;
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
    return *window_;
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
  QStringList TreeLines() {
    QStringList lines;
    auto* tree = Find<QTreeWidget>("tvElev");
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
      lines << tree->topLevelItem(i)->text(0);
      for (int j = 0; j < tree->topLevelItem(i)->childCount(); ++j) {
        lines << "   " + tree->topLevelItem(i)->child(j)->text(0);
      }
    }
    return lines;
  }
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
    auto user = std::make_unique<test::ScriptedDialog>();
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
    QCOMPARE(Find<QLabel>("pSb")->text(), QString("Choisissez le fichier BGL à éditer."));
    QCOMPARE(Find<QTabWidget>("pc")->tabText(1), QString("Élévation"));
    QVERIFY(window_->windowTitle().endsWith("Modification de l'altitude des aéroports et pistes"));
    QVERIFY(user_->messages.empty());
  }

  void theLayoutAndPageComeBackAtTheNextStart() {
    WriteSetting("Onglet", "1");
    Start();
    QCOMPARE(Find<QTabWidget>("pc")->currentIndex(), 1);
    QCOMPARE(Find<QTreeWidget>("tvElev")->topLevelItemCount(), 0);
    Find<QSplitter>("sp0")->setSizes({250, 446});
    window_->move(40, 30);
    Close();
    Start();
    QCOMPARE(Find<QWidget>("pFiles")->width(), 250);
    QCOMPARE(window_->pos(), QPoint(40, 30));
    window_->showMaximized();
    Close();
    Start();
    QVERIFY(!window_->isMaximized());
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
    window_->ListFiles(QString::fromStdString(folder));
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
    QCOMPARE(Find<QTreeWidget>("tvElev")->topLevelItemCount(), 0);
    QVERIFY(!Find<QPushButton>("bImpr")->isEnabled());
    Find<QTabWidget>("pc")->setCurrentIndex(1);
    QCOMPARE(Find<QTreeWidget>("tvElev")->topLevelItemCount(), 2);
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
    QCOMPARE(user_->questions.size(), size_t{1});
    QCOMPARE(user_->questions[0].caption, std::string("QORBgl"));
    QCOMPARE(user_->questions[0].flags, kMbIconStop);
    QVERIFY(user_->questions[0].text.rfind("(TBGL.Create) Le fichier", 0) == 0);
    QCOMPARE(window_->Bgl(), nullptr);
    Choose(2);  // the window goes on working
    QVERIFY(window_->Bgl() != nullptr);
    QCOMPARE(Find<QTreeWidget>("tvElev")->topLevelItemCount(), 1);
  }

  void theFlagButtonOpensTheLanguageMenu() {
    Start();
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
      QTest::mousePress(Find<QPushButton>("bLangue"), button);
      QVERIFY(Find<QMenu>("pmLangue")->isVisible());
      Find<QMenu>("pmLangue")->hide();
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
