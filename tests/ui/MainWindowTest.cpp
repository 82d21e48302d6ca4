// The real window, offscreen, driven through its controls found by their names.

#include <QDate>
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
#include <deque>
#include <filesystem>
#include <optional>

#include "bgl/PlainTree.h"
#include "tests/support/BglBuilder.h"
#include "tests/support/ScriptedDialog.h"
#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/FolderList.h"
#include "ui/Main.h"
#include "ui/QtPrintSurface.h"
#include "ui/TreeAdapter.h"
#include "util/DateFormat.h"
#include "util/Environment.h"
#include "util/NumberFormat.h"
#include "util/ProgramTitle.h"
#include "util/Settings.h"

namespace qor {

namespace fs = std::filesystem;
using test::BglBuilder;

// A user who answers from a script: inputs (nothing for Cancel) and button answers in order.
class ScriptedUser : public WindowDialog {
 public:
  struct Asked {
    std::string caption, prompt, text;
  };
  void Message(const std::string& text) override { messages.push_back(text); }
  int MsgBox(const std::string& text, const std::string& caption, int flags) override {
    return script.MsgBox(text, caption, flags);
  }
  bool InputBox(const std::string& caption, const std::string& prompt, std::string& text) override {
    asked.push_back({caption, prompt, text});
    if (inputs.empty() || !inputs.front()) {
      if (!inputs.empty()) inputs.pop_front();
      return false;
    }
    text = *inputs.front();
    inputs.pop_front();
    return true;
  }
  bool SaveFileName(const std::string& caption, const std::string&, std::string& path) override {
    return InputBox(caption, "", path);
  }
  std::vector<std::string> messages;
  std::deque<std::optional<std::string>> inputs;
  std::vector<Asked> asked;
  test::ScriptedDialog script;  // the buttons' answers and the questions asked
};

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

  // The window sorts an airport's lines its own way (few by insertion, many by merging): the
  // lines and their offsets must come as the plain tree's stable sort gives them, equal lines
  // in file order.
  void anAirportsManyLinesSortAsThePlainTreeSortsThem() {
    const std::string folder = Folder("many");
    BglBuilder b;
    auto& sub = b.AddSection(3).AddSubSection();
    std::uint32_t seed = 7;
    auto next = [&seed](std::uint32_t n) {
      seed = seed * 1103515245u + 12345u;
      return (seed >> 16) % n;
    };
    for (const int lines : {3, 12, 31, 32, 33, 60}) {
      auto& airport = sub.AddAirport().Name("Lignes " + std::to_string(lines)).Elevation(1000);
      for (int i = 0; i < lines; ++i) {
        // Few numbers and heights: many lines equal to others.
        const auto number = static_cast<std::uint8_t>(1 + next(4));
        const auto height = 1000 * static_cast<std::int64_t>(next(3));
        if (next(2) == 0) {
          airport.Runway(number, static_cast<std::uint8_t>(next(3)), height);
        } else {
          airport.Start(number, static_cast<std::uint8_t>(next(3)), height);
        }
      }
    }
    b.WriteTo(folder + "/many.bgl");
    WriteSetting("Onglet", "1");
    Start(QString::fromStdString(folder));
    Choose(0);
    PlainTree expected;
    TBGL(folder + "/many.bgl", Home() + "/").FillTree(expected);
    QStringList lines;
    QList<std::uint32_t> offsets;
    for (const auto& line : expected.Lines()) {
      lines << QString::fromStdString((line.depth ? "   " : "") + line.item->text);
      offsets << line.item->data;
    }
    QCOMPARE(TreeLines(), lines);
    QList<std::uint32_t> shown;
    auto* tree = Find<QTreeWidget>("tvElev");
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
      shown << TreeAdapter::DataOf(tree->topLevelItem(i));
      for (int j = 0; j < tree->topLevelItem(i)->childCount(); ++j) {
        shown << TreeAdapter::DataOf(tree->topLevelItem(i)->child(j));
      }
    }
    QCOMPARE(shown, offsets);
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
    QCOMPARE(user_->script.questions.size(), size_t{1});
    QCOMPARE(user_->script.questions[0].caption, std::string("QORBgl"));
    QCOMPARE(user_->script.questions[0].flags, kMbIconStop);
    QVERIFY(user_->script.questions[0].text.rfind("(TBGL.Create) Le fichier", 0) == 0);
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

  // ---- the elevation dialog ----

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
  std::int32_t FieldAt(std::uint32_t offset) {
    const test::Bytes b = test::ReadFile(Home() + "/edit/ap.bgl");
    return static_cast<std::int32_t>(b[offset] | b[offset + 1] << 8 | b[offset + 2] << 16 |
                                     static_cast<std::uint32_t>(b[offset + 3]) << 24);
  }
  QTreeWidgetItem* Line(int airport, int child = -1) {
    QTreeWidgetItem* top = Find<QTreeWidget>("tvElev")->topLevelItem(airport);
    return child < 0 ? top : top->child(child);
  }
  void DoubleClick(QTreeWidgetItem* line) {
    Find<QTreeWidget>("tvElev")->setCurrentItem(line);
    window_->Clic(Find<QTreeWidget>("tvElev"));
  }

 private slots:
  void cancellingChangesNothing() {
    OpenOneAirport();
    const QString before = Line(0)->text(0);
    user_->inputs = {std::nullopt};
    DoubleClick(Line(0));
    user_->inputs = {"500"};
    user_->script.answers = {UserDialog::kIdCancel};
    DoubleClick(Line(0));
    QCOMPARE(user_->script.questions.size(), size_t{1});
    QCOMPARE(user_->script.questions[0].caption, std::string("Attention"));
    QCOMPARE(user_->script.questions[0].text,
             std::string("Changement de plus de 10 mètres ???\r\n\r\nConfirmez-vous 500,000 m. ?"));
    QCOMPARE(test::ReadFile(Home() + "/edit/ap.bgl"), original_);
    QCOMPARE(Line(0)->text(0), before);
    QVERIFY(!fs::exists(Home() + "/Desktop/QORBgl Backup/ap.bgl"));
  }

  void aChangeOfTenMetresOrMoreIsConfirmed() {
    auto& ap = OpenOneAirport();
    QCOMPARE(user_->asked.size(), size_t{0});
    user_->inputs = {"441,999"};
    user_->script.answers = {UserDialog::kIdNo};  // no to the elements question
    DoubleClick(Line(0));
    QCOMPARE(user_->asked[0].text, std::string("432,000"));
    QCOMPARE(user_->script.questions.size(), size_t{1});  // only the elements question
    QCOMPARE(FieldAt(ap.elevationOffset), 441999);
    user_->inputs = {"451,999"};  // exactly 10 m more
    user_->script.answers = {UserDialog::kIdOk, UserDialog::kIdNo};
    DoubleClick(Line(0));
    QCOMPARE(user_->script.questions[1].caption, std::string("Attention"));
    QCOMPARE(FieldAt(ap.elevationOffset), 451999);
  }

  void typedMetresAreRoundedToTheMillimetre() {
    auto& ap = OpenOneAirport();
    user_->inputs = {"433,5"};
    user_->script.answers = {UserDialog::kIdNo};
    DoubleClick(Line(0));
    QCOMPARE(FieldAt(ap.elevationOffset), 433500);
    QCOMPARE(Line(0)->text(0), QString("Nord                       433,500"));
    user_->inputs = {"432.3456"};
    user_->script.answers = {UserDialog::kIdNo};
    DoubleClick(Line(0));
    QCOMPARE(FieldAt(ap.elevationOffset), 432346);
    // The first change made the backup copy, of the original bytes, and said so once.
    QCOMPARE(test::ReadFile(Home() + "/Desktop/QORBgl Backup/ap.bgl"), original_);
    QCOMPARE(user_->messages.size(), size_t{1});
    user_->inputs = {"3000000"};
    user_->script.answers = {UserDialog::kIdOk};
    DoubleClick(Line(0));  // beyond the field: refused, nothing written
    QCOMPARE(FieldAt(ap.elevationOffset), 432346);
    QVERIFY(user_->messages.back().find("ne tient pas") != std::string::npos);
  }

  void theOfferedValueIsTheLinesTrueElevationInEveryLocale() {
    OpenOneAirport("Aérodrome de Chavenay-Vil", 1234567);  // a label of 25 characters
    for (const char* grouping : {" ", "'", ".", "\u00a0", "\u202f"}) {
      SetNumberSymbols({",", grouping});
      window_->OngletChange(Find<QTabWidget>("pc"));  // the tree written with these symbols
      user_->inputs = {std::nullopt};
      DoubleClick(Line(0));
      QCOMPARE(user_->asked.back().text, std::string("1234,567"));
      QCOMPARE(user_->asked.back().prompt,
               std::string("Nouvelle élévation en mètres de Aérodrome de Chavenay-Vil"));
    }
  }

  void anElementChangesAloneAndAnAirportOffersItsElements() {
    auto& ap = OpenOneAirport();
    user_->inputs = {"431,5"};
    DoubleClick(Line(0, 0));  // Runway 24 L
    QCOMPARE(user_->asked[0].prompt,
             std::string("Nouvelle élévation en mètres de la Runway 24 L de Nord "));
    QVERIFY(user_->script.questions.empty());
    QCOMPARE(FieldAt(ap.elements[0].elevationOffset), 431500);
    QCOMPARE(FieldAt(ap.elevationOffset), 432000);
    QCOMPARE(FieldAt(ap.elements[1].elevationOffset), 430000);

    user_->inputs = {"435"};
    user_->script.answers = {UserDialog::kIdYes};
    DoubleClick(Line(0));
    QCOMPARE(user_->script.questions[0].caption, std::string("Autres éléments"));
    for (const std::uint32_t at :
         {ap.elevationOffset, ap.elements[0].elevationOffset, ap.elements[1].elevationOffset}) {
      QCOMPARE(FieldAt(at), 435000);
    }
    QCOMPARE(Line(0, 1)->text(0), QString("Start 6 R                  435,000"));
    // Reopened, the file shows the new values; only the three fields changed.
    test::Bytes expected = original_;
    for (const std::uint32_t at :
         {ap.elevationOffset, ap.elements[0].elevationOffset, ap.elements[1].elevationOffset}) {
      const std::uint32_t v = 435000;
      for (int k = 0; k < 4; ++k) expected[at + k] = (v >> (8 * k)) & 0xFF;
    }
    QCOMPARE(test::ReadFile(Home() + "/edit/ap.bgl"), expected);
    Close();
    Start(QString::fromStdString(Home() + "/edit/ap.bgl"));
    QCOMPARE(Line(0)->text(0), QString("Nord                       435,000"));
  }

  // ---- the search ----

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
    user_->inputs = {std::nullopt};
    window_->Clic(Find<QPushButton>("bSearch"));
    QCOMPARE(ListedFiles().size(), 3);
    QCOMPARE(window_->Bgl(), nullptr);

    user_->inputs = {"NORD"};
    window_->Clic(Find<QPushButton>("bSearch"));
    QCOMPARE(user_->asked.back().prompt, std::string("Aéroport à chercher :"));
    QCOMPARE(ListedFiles(), (QStringList{"2.bgl", "3.bgl"}));
    QCOMPARE(Find<QLineEdit>("eFichier")->text().toStdString(), folder + "/2.bgl");
    const TBGL* open = window_->Bgl();
    user_->inputs = {"Nord"};  // again: the open file matches and is not reopened
    window_->Clic(Find<QPushButton>("bSearch"));
    QCOMPARE(window_->Bgl(), open);
    QCOMPARE(ListedFiles(), (QStringList{"2.bgl", "3.bgl"}));
    user_->inputs = {"Sud"};  // narrows the list: nothing left, so the whole folder again
    window_->Clic(Find<QPushButton>("bSearch"));
    QCOMPARE(ListedFiles(), (QStringList{"1.bgl", "2.bgl", "3.bgl"}));
    QCOMPARE(user_->messages, std::vector<std::string>{"Pas trouvé dans cette liste."});
    QCOMPARE(window_->Bgl(), open);
  }

  void aDamagedFileStopsTheSearchAndTheListKeepsWhatWasNotRemoved() {
    const std::string folder = Folder("search-damaged");
    BglBuilder one, three;
    one.AddSection(3).AddSubSection().AddAirport().Name("Sud");
    three.AddSection(3).AddSubSection().AddAirport().Name("Nord");
    one.WriteTo(folder + "/1.bgl");
    test::WriteFile(folder + "/2.bgl", {0x01, 0x02, 0, 0, 0xFF, 0xFF, 0, 0});  // cut short
    three.WriteTo(folder + "/3.bgl");
    Start(QString::fromStdString(folder));
    user_->inputs = {"Nord"};
    window_->Clic(Find<QPushButton>("bSearch"));
    QCOMPARE(user_->script.questions.size(), std::size_t{1});  // the error report
    QCOMPARE(user_->script.questions.back().text,
             std::string("Lecture au-delà de la fin de fichier"));
    // The first file was examined and removed; the damaged one and the rest stay.
    QCOMPARE(ListedFiles(), (QStringList{"2.bgl", "3.bgl"}));
    QCOMPARE(window_->Bgl(), nullptr);
  }

  // ---- printing ----

  void printingOnTheHelpPageIsRefused() {
    OpenOneAirport();
    Find<QTabWidget>("pc")->setCurrentIndex(0);
    window_->PrintList();
    QCOMPARE(user_->messages.back(), std::string("Oups, pas encore programmé pour cet onglet."));
  }

  void withoutAPrinterTheListGoesToAPdf() {
    if (QtPrintSurface::HasDefaultPrinter()) QSKIP("this machine has a default printer");
    OpenOneAirport();
    Line(0)->setExpanded(false);  // a collapsed airport prints its elements all the same
    const std::string pdf = Home() + "/liste.pdf";
    user_->script.answers = {UserDialog::kIdNo};
    window_->Clic(Find<QPushButton>("bImpr"));
    QVERIFY(!fs::exists(pdf));
    user_->script.answers = {UserDialog::kIdYes};
    user_->inputs = {pdf};
    window_->Clic(Find<QPushButton>("bImpr"));
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
