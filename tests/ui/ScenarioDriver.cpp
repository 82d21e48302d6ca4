// The scenarios of both windows, run by the Qt window offscreen in this process: the driver
// clicks and types on its widgets, found by their names, and answers the workflow's dialogs
// from the scenario's list.

#include <gtest/gtest.h>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include <cstdlib>
#include <deque>
#include <filesystem>

#include "tests/scenarios/WindowDriver.h"
#include "tests/support/TempFolder.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"
#include "util/Environment.h"
#include "util/NumberFormat.h"
#include "util/Settings.h"
#include "workflow/LibraryPage.h"
#include "workflow/WindowWorkflow.h"

namespace qor::test {

namespace {

namespace fs = std::filesystem;

// Answers every dialog of the workflow from the scenario's list, and remembers what each said.
class QueuedUser : public WorkflowDialogs {
 public:
  std::deque<Answer> expected;
  std::vector<Shown> shown;

  void Message(const std::string& text) override { Take("QORBgl", text); }
  int MsgBox(const std::string& text, const std::string& caption, int) override {
    const Answer::Button button = Take(caption, text);
    switch (button) {
      case Answer::Ok:
        return kIdOk;
      case Answer::Cancel:
        return kIdCancel;
      case Answer::Yes:
        return kIdYes;
      case Answer::No:
        return kIdNo;
    }
    return kIdCancel;
  }
  bool InputBox(const std::string& caption, const std::string& prompt, std::string& text) override {
    const bool hasTyped = !expected.empty() && expected.front().typed.has_value();
    const std::string typed = hasTyped ? *expected.front().typed : std::string();
    if (Take(caption, prompt, text) != Answer::Ok) return false;
    if (hasTyped) text = typed;
    return true;
  }
  bool OpenFileName(std::string&) override { return Unexpected("ouvrir un fichier"); }
  bool OpenFile(const std::string& caption, const std::string&, std::string&) override {
    return Unexpected(caption);
  }
  bool SaveFileName(const std::string& caption, const std::string&, std::string&) override {
    return Unexpected(caption);
  }
  bool BrowseFolder(const std::string& caption, std::string&) override {
    return Unexpected(caption);
  }

 private:
  Answer::Button Take(const std::string& caption, const std::string& text,
                      const std::string& offered = {}) {
    if (expected.empty()) {
      ADD_FAILURE() << "unexpected dialog « " << caption << " »: " << text;
      return Answer::Cancel;
    }
    Answer answer = expected.front();
    expected.pop_front();
    EXPECT_EQ(caption, answer.caption) << text;
    shown.push_back({caption, text, offered});
    return answer.button;
  }
  bool Unexpected(const std::string& caption) {
    ADD_FAILURE() << "unexpected dialog « " << caption << " »";
    return false;
  }
};

class QtDriver : public WindowDriver {
 public:
  explicit QtDriver(const std::string& home) : home_(home) {
    for (const auto& [name, sub] : {std::pair{"HOME", ""},
                                    {"XDG_CONFIG_HOME", "/config"},
                                    {"XDG_CONFIG_DIRS", "/etc-xdg"},
                                    {"XDG_DATA_HOME", "/data"},
                                    {"XDG_RUNTIME_DIR", "/runtime"},
                                    {"WINEPREFIX", "/wine"}}) {
      fs::create_directories(home_ + sub);
      ::setenv(name, (home_ + sub).c_str(), 1);
    }
    fs::permissions(home_ + "/runtime", fs::perms::owner_all, fs::perm_options::replace);
    fs::create_directories(home_ + "/app");
    fs::create_directories(home_ + "/work");
    fs::copy_file(QORBGL_HELP, home_ + "/app/QORBgl.htm");
    SetEnvironment("QORBgl", home_ + "/app/", Desktop() + "/");
    SetNumberSymbols({",", " "});
    auto user = std::make_unique<QueuedUser>();
    user_ = user.get();
    SetDialogs(std::move(user));
  }
  ~QtDriver() override {
    if (window_) Close();
  }

  std::string Workspace() const override { return home_ + "/work"; }
  std::string Desktop() const override { return home_ + "/Desktop"; }

  void Start(const std::string& argument) override {
    window_ = std::make_unique<TfMain>();
    window_->FormCreate(QString::fromStdString(argument));
    window_->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    Settle();
  }
  int StartSecond(const std::string& argument) override {
    QProcess second;
    second.start(QORBGL_PROGRAM, {QString::fromStdString(argument)});
    EXPECT_TRUE(second.waitForStarted());
    QElapsedTimer clock;
    clock.start();
    while (second.state() != QProcess::NotRunning && clock.elapsed() < 20000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    Settle();
    return second.state() == QProcess::NotRunning ? second.exitCode() : -1;
  }
  void Close() override {
    window_->close();
    window_.reset();
  }

  void Expect(std::vector<Answer> answers) override {
    EXPECT_TRUE(user_->expected.empty()) << user_->expected.size() << " dialogs never came";
    user_->expected.assign(answers.begin(), answers.end());
  }
  std::vector<Shown> Answered() override {
    EXPECT_TRUE(user_->expected.empty()) << user_->expected.size() << " dialogs never came";
    user_->expected.clear();
    return std::exchange(user_->shown, {});
  }

  std::vector<std::string> FolderRows() override {
    std::vector<std::string> rows;
    auto* list = Find<QListWidget>("lbDir");
    for (int i = 0; i < list->count(); ++i) rows.push_back(S(list->item(i)->text().trimmed()));
    return rows;
  }
  std::size_t CurrentFolderRow() override {
    return static_cast<std::size_t>(Find<QListWidget>("lbDir")->currentRow());
  }
  void EnterFolderRow(std::size_t row, Gesture how) override {
    auto* list = Find<QListWidget>("lbDir");
    if (how == Gesture::DoubleClick) {
      DoubleClick(list, list->visualItemRect(list->item(static_cast<int>(row))).center());
    } else {
      list->setFocus();
      list->setCurrentRow(static_cast<int>(row));
      QTest::keyClick(list, Qt::Key_Return);
    }
    Settle();
  }
  void ClickFolderRow(std::size_t row) override {
    auto* list = Find<QListWidget>("lbDir");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(list->item(static_cast<int>(row))).center());
    Settle();
  }
  std::vector<std::string> Files() override {
    std::vector<std::string> names;
    auto* list = Find<QListWidget>("lbFiles");
    for (int i = 0; i < list->count(); ++i) names.push_back(S(list->item(i)->text()));
    return names;
  }
  std::optional<std::size_t> SelectedFile() override {
    auto* list = Find<QListWidget>("lbFiles");
    const int row = list->currentRow();
    if (row < 0 || !list->item(row)->isSelected()) return std::nullopt;
    return static_cast<std::size_t>(row);
  }
  void ChooseFile(std::size_t row) override {
    auto* list = Find<QListWidget>("lbFiles");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(list->item(static_cast<int>(row))).center());
    Settle();
  }
  void Search() override {
    QTest::mouseClick(Find<QPushButton>("bSearch"), Qt::LeftButton);
    Settle();
  }
  std::string FileField() override { return S(Find<QLineEdit>("eFichier")->text()); }
  std::string Status() override { return S(Find<QLabel>("pSb")->text()); }

  int Page() override { return Find<QTabWidget>("pc")->currentIndex(); }
  void ClickTab(int page) override {
    QTabBar* bar = Find<QTabWidget>("pc")->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(page).center());
    Settle();
  }
  void PressCtrlTab() override {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus != nullptr ? focus : window_.get(), Qt::Key_Tab, Qt::ControlModifier);
    Settle();
  }

  std::vector<std::string> TreeLines() override {
    std::vector<std::string> lines;
    QAbstractItemModel* model = Tree()->model();
    for (int i = 0; i < model->rowCount(); ++i) {
      const QModelIndex airport = model->index(i, 0);
      lines.push_back(S(airport.data().toString()));
      for (int j = 0; j < model->rowCount(airport); ++j) {
        lines.push_back("   " + S(model->index(j, 0, airport).data().toString()));
      }
    }
    return lines;
  }
  std::optional<std::size_t> SelectedLine() override {
    const QModelIndex current = Tree()->currentIndex();
    if (!current.isValid() || !Tree()->selectionModel()->isSelected(current)) return std::nullopt;
    std::size_t line = 0;
    QAbstractItemModel* model = Tree()->model();
    for (int i = 0; i < model->rowCount(); ++i) {
      const QModelIndex airport = model->index(i, 0);
      if (airport == current) return line;
      ++line;
      for (int j = 0; j < model->rowCount(airport); ++j, ++line) {
        if (model->index(j, 0, airport) == current) return line;
      }
    }
    return std::nullopt;
  }
  bool TreeHasFocus() override { return QApplication::focusWidget() == Tree(); }
  void EditLine(std::size_t line, Gesture how) override {
    const QModelIndex index = IndexOfLine(line);
    if (index.parent().isValid()) Tree()->expand(index.parent());
    Tree()->setFocus();
    Tree()->scrollTo(index);
    Tree()->setCurrentIndex(index);
    if (how == Gesture::DoubleClick) {
      DoubleClick(Tree(), Tree()->visualRect(index).center());
    } else {
      QTest::keyClick(Tree(), how == Gesture::F2 ? Qt::Key_F2 : Qt::Key_Return);
    }
    Settle();
  }
  void PressCtrlZ() override {
    Tree()->setFocus();
    QTest::keyClick(Tree(), Qt::Key_Z, Qt::ControlModifier);
    Settle();
  }

  void SetSimulatorField(const std::string& folder) override {
    Find<QLineEdit>("eSimulateur")->setText(QString::fromStdString(folder));
  }
  std::string SimulatorField() override { return S(Find<QLineEdit>("eSimulateur")->text()); }
  void SetReferenceField(const std::string& file) override {
    auto* field = Find<QLineEdit>("eReference");
    field->setText(QString::fromStdString(file));
    QTest::keyClick(field, Qt::Key_Return);
    Settle();
  }
  std::string ReferenceField() override { return S(Find<QLineEdit>("eReference")->text()); }
  void Load() override {
    QTest::mouseClick(Find<QPushButton>("bCharger"), Qt::LeftButton);
    Settle();
  }
  void Lookup(const std::string& airport) override {
    Find<QLineEdit>("eCherche")->setText(QString::fromStdString(airport));
    QTest::mouseClick(Find<QPushButton>("bChercher"), Qt::LeftButton);
    Settle();
  }
  std::vector<std::vector<std::string>> Rows(LibraryList which) override {
    QTreeWidget* list = List(which);
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r < list->topLevelItemCount(); ++r) {
      std::vector<std::string> cells;
      for (int c = 0; c < list->columnCount(); ++c) {
        cells.push_back(S(list->topLevelItem(r)->text(c)));
      }
      rows.push_back(std::move(cells));
    }
    return rows;
  }
  std::vector<std::string> Columns(LibraryList which) override {
    QTreeWidget* list = List(which);
    std::vector<std::string> columns;
    for (int c = 0; c < list->columnCount(); ++c) columns.push_back(S(list->headerItem()->text(c)));
    return columns;
  }
  bool ColumnVisible(LibraryList which, std::size_t column) override {
    QTreeWidget* list = List(which);
    const int c = static_cast<int>(column);
    const int left = list->header()->sectionViewportPosition(c);
    return left >= 0 && left + list->header()->sectionSize(c) <= list->viewport()->width();
  }
  void SelectConflict(std::size_t row) override {
    QTreeWidget* list = List(LibraryList::Conflicts);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(list->topLevelItem(static_cast<int>(row))).center());
    Settle();
  }
  bool AlignEnabled() override { return Find<QPushButton>("bAligner")->isEnabled(); }
  void Align() override {
    QTest::mouseClick(Find<QPushButton>("bAligner"), Qt::LeftButton);
    Settle();
  }
  void UndoAlignment() override {
    QTest::mouseClick(Find<QPushButton>("bAnnuler"), Qt::LeftButton);
    Settle();
  }
  void OpenDefinition(std::size_t row, Gesture how) override {
    QTreeWidget* list = List(LibraryList::Definitions);
    QTreeWidgetItem* item = list->topLevelItem(static_cast<int>(row));
    if (how == Gesture::DoubleClick) {
      DoubleClick(list, list->visualItemRect(item).center());
    } else {
      list->setFocus();
      list->setCurrentItem(item);
      QTest::keyClick(list, Qt::Key_Return);
    }
    Settle();
  }
  std::string LibrarySummary() override { return S(Find<QLabel>("lDefinitions")->text()); }
  std::string LibraryStatus() override { return S(Find<QLabel>("lEtatBiblio")->text()); }

  void ResizeTo(int width, int height) override {
    window_->resize(width, height);
    QCoreApplication::processEvents();
  }
  void Maximise() override {
    window_->showMaximized();
    QCoreApplication::processEvents();
  }
  void Restore() override {
    window_->showNormal();
    QCoreApplication::processEvents();
  }
  std::vector<std::string> ControlsOutOfReach() override {
    std::vector<std::string> out;
    const QRect inside = window_->rect();
    for (QWidget* w : window_->findChildren<QWidget*>()) {
      // The window's own controls, not the parts Qt makes inside them.
      if (w->objectName().isEmpty() || w->objectName().startsWith("qt_") ||
          !w->isVisibleTo(window_.get()) || w->isWindow()) {
        continue;
      }
      const QRect r(w->mapTo(window_.get(), QPoint(0, 0)), w->size());
      if (!inside.contains(r) || r.width() < 8 || r.height() < 8) out.push_back(S(w->objectName()));
    }
    return out;
  }
  void SetStartLanguage(const std::string& code) override { WriteSetting("Langue", code); }
  std::vector<std::string> ShownTexts() override {
    std::vector<std::string> texts;
    const QString title = window_->windowTitle();
    texts.push_back(S(title.mid(title.indexOf(") ") + 2)));
    for (QWidget* w : ShownControls()) {
      if (auto* label = qobject_cast<QLabel*>(w); label && !label->text().isEmpty()) {
        texts.push_back(S(label->text()));
      } else if (auto* button = qobject_cast<QAbstractButton*>(w);
                 button && !button->text().isEmpty()) {
        texts.push_back(S(button->text()));
      } else if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
        for (int i = 0; i < tabs->count(); ++i) texts.push_back(S(tabs->tabText(i)));
      } else if (auto* list = qobject_cast<QTreeWidget*>(w)) {
        for (int c = 0; c < list->columnCount(); ++c) {
          texts.push_back(S(list->headerItem()->text(c)));
        }
      }
    }
    return texts;
  }
  std::vector<std::string> CutTexts() override {
    std::vector<std::string> cut;
    for (QWidget* w : ShownControls()) {
      QString text;
      int room = 0;
      if (auto* label = qobject_cast<QLabel*>(w); label && !label->wordWrap()) {
        text = label->text();
        room = label->contentsRect().width() - 2 * label->indent();
      } else if (auto* button = qobject_cast<QPushButton*>(w)) {
        text = button->text();
        room = button->width() - 8;  // the button's frame and margins
      }
      text.remove('&');
      if (!text.isEmpty() && w->fontMetrics().horizontalAdvance(text) > room) {
        cut.push_back(S(text));
      }
    }
    return cut;
  }
  std::vector<std::string> OverlappingControls() override {
    std::vector<std::pair<QString, QRect>> placed;
    for (QWidget* w : ShownControls()) {
      if (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) ||
          qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractItemView*>(w) ||
          qobject_cast<QComboBox*>(w)) {
        placed.push_back(
            {w->objectName(), QRect(w->mapTo(window_.get(), QPoint(0, 0)), w->size())});
      }
    }
    std::vector<std::string> overlapping;
    for (std::size_t i = 0; i < placed.size(); ++i) {
      for (std::size_t j = i + 1; j < placed.size(); ++j) {
        const QRect both = placed[i].second.intersected(placed[j].second);
        if (both.width() > 2 && both.height() > 2) {  // frames sharing an edge do not count
          overlapping.push_back(S(placed[i].first + "/" + placed[j].first));
        }
      }
    }
    return overlapping;
  }
  std::vector<std::string> WithoutAccessKey() override {
    std::vector<std::string> out;
    for (auto* button : window_->findChildren<QPushButton*>()) {
      if (button->isVisibleTo(window_.get()) && !button->text().isEmpty() &&
          !button->text().contains('&')) {
        out.push_back(S(button->text()));
      }
    }
    for (auto* label : window_->findChildren<QLabel*>()) {
      if (label->isVisibleTo(window_.get()) && label->buddy() != nullptr &&
          !label->text().contains('&')) {
        out.push_back(S(label->text()));
      }
    }
    return out;
  }

 private:
  static std::string S(const QString& text) { return text.toStdString(); }
  // The window's own controls that show, not the parts Qt makes inside them.
  std::vector<QWidget*> ShownControls() {
    std::vector<QWidget*> shown;
    for (QWidget* w : window_->findChildren<QWidget*>()) {
      if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_") &&
          w->isVisibleTo(window_.get()) && !w->isWindow()) {
        shown.push_back(w);
      }
    }
    return shown;
  }
  template <typename T>
  T* Find(const char* name) {
    T* control = window_->findChild<T*>(name);
    if (control == nullptr) {
      ADD_FAILURE() << "no control " << name;
      std::abort();
    }
    return control;
  }
  QTreeView* Tree() { return Find<QTreeView>("tvElev"); }
  QTreeWidget* List(LibraryList which) {
    return Find<QTreeWidget>(which == LibraryList::Areas         ? "tvZones"
                             : which == LibraryList::Definitions ? "tvDefinitions"
                                                                 : "tvConflits");
  }
  QModelIndex IndexOfLine(std::size_t line) {
    QAbstractItemModel* model = Tree()->model();
    std::size_t at = 0;
    for (int i = 0; i < model->rowCount(); ++i) {
      const QModelIndex airport = model->index(i, 0);
      if (at++ == line) return airport;
      for (int j = 0; j < model->rowCount(airport); ++j) {
        if (at++ == line) return model->index(j, 0, airport);
      }
    }
    return {};
  }
  // A double-click as the mouse gives it: press, release, then the second press as a double.
  static void DoubleClick(QAbstractItemView* view, QPoint at) {
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  }
  // Lets the window's long work (listing, searching, reading the library) end.
  void Settle() {
    QElapsedTimer clock;
    clock.start();
    do {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    } while ((window_->Workflow().Working() || window_->Library().Working()) &&
             clock.elapsed() < 20000);
    EXPECT_FALSE(window_->Workflow().Working() || window_->Library().Working());
  }

  std::string home_;
  QueuedUser* user_ = nullptr;
  std::unique_ptr<TfMain> window_;
};

class QtScenario : public ::testing::TestWithParam<std::string> {};

TEST_P(QtScenario, Runs) {
  TempFolder home;
  const auto& all = WindowScenarios();
  const auto scenario =
      std::find_if(all.begin(), all.end(), [&](const Scenario& s) { return s.name == GetParam(); });
  ASSERT_NE(scenario, all.end());
  QtDriver driver(home.Path());
  scenario->run(driver);
}

std::vector<std::string> Names() {
  std::vector<std::string> names;
  for (const Scenario& s : WindowScenarios()) names.push_back(s.name);
  return names;
}

INSTANTIATE_TEST_SUITE_P(Qt, QtScenario, ::testing::ValuesIn(Names()),
                         [](const auto& info) { return info.param; });

}  // namespace

}  // namespace qor::test

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();  // no display needed to list them
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  qor::Application app(argc, argv);
  return RUN_ALL_TESTS();
}
