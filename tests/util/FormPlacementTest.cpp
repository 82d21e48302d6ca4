#include "util/FormPlacement.h"

#include <cstdlib>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "platform/File.h"
#include "tests/support/Env.h"
#include "tests/support/TempFolder.h"
#include "util/Environment.h"
#include "util/Settings.h"

namespace qor {
namespace {

// A window that records every change made to it.
class FakeForm : public PlacementForm {
 public:
  std::string ComponentName() const override { return "fMain"; }
  int Left() const override { return left; }
  int Top() const override { return top; }
  int Width() const override { return width; }
  int Height() const override { return height; }
  void SetLeft(int v) override {
    Log("left", v);
    left = v;
  }
  void SetTop(int v) override {
    Log("top", v);
    top = v;
  }
  void SetWidth(int v) override {
    Log("width", v);
    width = v;
  }
  void SetHeight(int v) override {
    Log("height", v);
    height = v;
  }
  WindowState State() const override { return state; }
  void SetState(WindowState s) override {
    Log("state", static_cast<int>(s));
    state = s;
    // Leaving a minimised or maximised state gives back the normal bounds.
    if (s == WindowState::Normal) left = 30, top = 40, width = 640, height = 480;
  }
  int ScreenWidth() const override { return screenWidth; }
  int ScreenHeight() const override { return screenHeight; }

  void Log(const char* what, int value) {
    changes.push_back(what + std::string("=") + std::to_string(value));
  }

  int left = 5, top = 6, width = 300, height = 200;
  WindowState state = WindowState::Normal;
  int screenWidth = 1024, screenHeight = 768;
  std::vector<std::string> changes;
};

class FormPlacementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::SetEnv("XDG_CONFIG_HOME", (temp_ / "home"));
    test::SetEnv("XDG_CONFIG_DIRS", (temp_ / "xdg"));
    // A program name of its own: on Windows the settings live in the registry, which the
    // tests share.
    SetEnvironment("QORBgl test " + std::to_string(std::random_device{}()),
                   temp_.Path() + platform::kPathDelimiter,
                   temp_.Path() + platform::kPathDelimiter);
  }
  test::TempFolder temp_;
};

using Changes = std::vector<std::string>;
const std::string kNormal = "state=" + std::to_string(static_cast<int>(WindowState::Normal));
const std::string kMaximized = "state=" + std::to_string(static_cast<int>(WindowState::Maximized));

TEST_F(FormPlacementTest, RestoreAppliesTheStoredFieldsInOrder) {
  struct Case {
    const char* stored;
    Changes expected;
  };
  const Case cases[] = {
      {"100\t50\t800\t600\t1", {"left=100", "top=50", "width=800", "height=600", kMaximized}},
      {"100\t50\t800\t600\t0", {"left=100", "top=50", "width=800", "height=600", kNormal}},
      {"10\t20", {"left=10", "top=20", "width=0", "height=0", kNormal}},
      {"-88\t-4\t1200\t900\t2", {"left=-88", "top=-4", "width=1200", "height=900", kNormal}},
      {" 7 \t\"8\"\t\t+9\t 1 ", {"left=7", "top=8", "width=0", "height=9", kMaximized}},
      {"1\t2\t3\t4\t1\textra", {"left=1", "top=2", "width=3", "height=4", kMaximized}},
  };
  for (const Case& c : cases) {
    WriteSetting("fMain", c.stored);
    FakeForm form;
    form.state = WindowState::Minimized;
    RestoreFormPlacement(form, -1, -1);
    EXPECT_EQ(form.changes, c.expected) << c.stored;
  }
}

// Fields that are not plain integers never come from SaveFormPlacement; they read as 0, and a
// number beyond the int range is held at its end.
// The fields are read as every typed number is: reals round half to even, a blank may follow
// the sign, malformed text is 0, and values beyond int are held at its ends.
TEST_F(FormPlacementTest, FieldsThatAreNotPlainIntegers) {
  WriteSetting("fMain", "x\t2.5\t1e3\t99999999999\t01");
  FakeForm form;
  RestoreFormPlacement(form, -1, -1);
  EXPECT_EQ(form.changes, (Changes{"left=0", "top=2", "width=0", "height=2147483647", kMaximized}));
  WriteSetting("fMain", "-99999999999\t-0\t- 1\t--2\t1.0");
  FakeForm other;
  RestoreFormPlacement(other, -1, -1);
  EXPECT_EQ(other.changes,
            (Changes{"left=-2147483648", "top=0", "width=-1", "height=0", kMaximized}));
}

TEST_F(FormPlacementTest, WithoutAStoredPlacementTheFormIsCentredOrMovedToTheDefaults) {
  struct Case {
    const char* stored;  // nullptr: never written
    int defaultLeft, defaultTop;
    Changes expected;
  };
  const Case cases[] = {
      {nullptr, -1, -1, {"left=362", "top=284"}}, {" \t\r\n ", -1, -1, {"left=362", "top=284"}},
      {"", 20, -1, {"left=20", "top=-1"}},        {"   ", -1, 15, {"left=-1", "top=15"}},
      {"\t", 0, 0, {"left=0", "top=0"}},
  };
  for (const Case& c : cases) {
    if (c.stored) WriteSetting("fMain", c.stored);
    FakeForm form;
    RestoreFormPlacement(form, c.defaultLeft, c.defaultTop);
    EXPECT_EQ(form.changes, c.expected) << (c.stored ? c.stored : "(none)");
    EXPECT_EQ(form.width, 300);
    EXPECT_EQ(form.state, WindowState::Normal);
  }
}

TEST_F(FormPlacementTest, SaveWritesTheNormalBoundsAndTheFlagOfTheStateGiven) {
  struct Case {
    WindowState formState;
    WindowState argument;
    const char* stored;
  };
  const Case cases[] = {
      {WindowState::Normal, WindowState::Normal, "5\t6\t300\t200\t0"},
      {WindowState::Normal, WindowState::Maximized, "5\t6\t300\t200\t1"},
      {WindowState::Maximized, WindowState::Normal, "30\t40\t640\t480\t0"},
      {WindowState::Minimized, WindowState::Normal, "30\t40\t640\t480\t0"},
      {WindowState::Minimized, WindowState::Minimized, "30\t40\t640\t480\t0"},
      {WindowState::Maximized, WindowState::Maximized, "30\t40\t640\t480\t1"},
  };
  for (const Case& c : cases) {
    FakeForm form;
    form.state = c.formState;
    SaveFormPlacement(form, c.argument);
    EXPECT_EQ(ReadSetting("fMain"), c.stored);
    EXPECT_EQ(form.state, WindowState::Normal);
    EXPECT_EQ(form.changes.size(), c.formState == WindowState::Normal ? 0u : 1u);
  }

  FakeForm saved;
  saved.left = -1200, saved.top = -3, saved.width = 1201, saved.height = 77;
  SaveFormPlacement(saved, WindowState::Maximized);
  EXPECT_EQ(ReadSetting("fMain"), "-1200\t-3\t1201\t77\t1");
  FakeForm restored;
  RestoreFormPlacement(restored, -1, -1);
  EXPECT_EQ(restored.changes,
            (Changes{"left=-1200", "top=-3", "width=1201", "height=77", kMaximized}));
}

TEST_F(FormPlacementTest, CentringTruncatesTowardZero) {
  struct Case {
    int width, height, screenWidth, screenHeight, left, top;
  };
  const Case cases[] = {
      {1200, 600, 1024, 768, -88, 84},
      {1025, 769, 1024, 768, 0, 0},  // -1 / 2 is 0, not -1
      {1027, 100, 1024, 768, -1, 334},
      {301, 201, 1024, 768, 361, 283},
  };
  for (const Case& c : cases) {
    FakeForm form;
    form.width = c.width, form.height = c.height;
    form.screenWidth = c.screenWidth, form.screenHeight = c.screenHeight;
    CenterForm(form);
    EXPECT_EQ(form.changes,
              (Changes{"left=" + std::to_string(c.left), "top=" + std::to_string(c.top)}))
        << c.width << "x" << c.height;
  }
}

}  // namespace
}  // namespace qor
