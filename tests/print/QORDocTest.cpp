#include "print/QORDoc.h"

#include <gtest/gtest.h>

#include "tests/print/RecordingSurface.h"
#include "util/Color.h"
#include "util/Environment.h"
#include "util/ProgramTitle.h"

namespace qor {
namespace {

using test::RecordingSurface;

// 1 March 2004, 14:07.
constexpr double kWhen = 38047.0 + (14 * 60 + 7) / 1440.0;

class QORDocTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetEnvironment("QORBgl", "/opt/QORBgl/", "/tmp/");
    auto surface = std::make_unique<RecordingSurface>();
    page_ = surface.get();
    doc_.SetSurface(std::move(surface));
    doc_.SetClock([] { return kWhen; });
  }
  void Body(const std::string& title) {
    doc_.Setup(title, "", TQORDoc::Orientation::Portrait, FontSpec{"Courier New", 10}, 10, 10, 10);
  }
  std::vector<std::string> TextsOfPage(int page) const {
    std::vector<std::string> texts;
    for (const auto& t : page_->texts) {
      if (t.page == page) texts.push_back(t.text);
    }
    return texts;
  }
  TQORDoc doc_;
  RecordingSurface* page_ = nullptr;
};

TEST_F(QORDocTest, EveryPageHasTheHeaderAndTheTitleBlock) {
  Body("Aéroports et altitudes de\tAP.bgl");
  doc_.PrintText("ligne", true);
  doc_.EndPrint();
  ASSERT_EQ(page_->texts.size(), 5u);
  const auto& header = page_->texts[0];
  EXPECT_EQ(header.text, ProgramTitle(4) + " lundi 1er mars 2004, 14:07");
  EXPECT_EQ(header.font, (FontSpec{"Arial", 8}));
  EXPECT_EQ((std::pair{header.x, header.y}), (std::pair{0, 20}));
  const auto& number = page_->texts[1];
  EXPECT_EQ(number.text, "Page 1");
  EXPECT_EQ(number.x, 2000 - 9 * 40);  // right-aligned, three blanks' width left free
  // Two title lines after a tab, both bold Arial 12, centred between the margins.
  EXPECT_EQ(page_->texts[2].text, "Aéroports et altitudes de");
  EXPECT_EQ(page_->texts[2].font, (FontSpec{"Arial", 12, true}));
  EXPECT_EQ(page_->texts[2].x, (2000 - 20 - 25 * 60) / 2);
  EXPECT_EQ(page_->texts[3].text, "AP.bgl");
  EXPECT_EQ(page_->texts[3].y, page_->texts[2].y + 72);
  EXPECT_EQ(page_->texts[4].font, (FontSpec{"Courier New", 10}));
  EXPECT_EQ(page_->texts[4].x, 10);
  EXPECT_EQ(page_->jobTitle, ProgramTitle(4));
  EXPECT_EQ(page_->endedJobs, 1);

  // After CR LF the next title part is in the body font, a quarter line lower.
  Body("Titre\r\nSous-titre");
  doc_.PrintText("x", true);
  doc_.EndPrint();
  const auto& second = page_->texts[page_->texts.size() - 2];
  EXPECT_EQ(second.text, "Sous-titre");
  EXPECT_EQ(second.font, (FontSpec{"Courier New", 10}));
  EXPECT_EQ(second.y, page_->texts[page_->texts.size() - 3].y + 72 + 18);
}

TEST_F(QORDocTest, LinesOfDashesAndEqualsSignsAreRules) {
  Body("T");
  doc_.PrintText("   -----", true);
  doc_.PrintText("=====", true);
  doc_.PrintText("= = =", true);
  doc_.PrintText("", true);
  doc_.EndPrint();
  ASSERT_EQ(page_->rules.size(), 3u);
  const int w = 50;  // the width of "W" in Courier New 10
  EXPECT_EQ(page_->rules[0].x1, 10 + 3 * w);
  EXPECT_EQ(page_->rules[0].x2, 10 + 8 * w);
  EXPECT_EQ(page_->rules[1].x1, 10);
  EXPECT_EQ(page_->rules[2].y1, page_->rules[1].y1 + 60 / 8);  // the second line of the double
  const auto texts = TextsOfPage(1);
  EXPECT_EQ(texts[texts.size() - 2], "= = =");  // spaced equals signs are text
  EXPECT_EQ(texts.back(), "");
}

TEST_F(QORDocTest, TreesPrintEveryNodeIndentedStripedAndPaged) {
  std::vector<PrintNode> tree;
  for (int i = 0; i < 100; ++i) {
    tree.push_back({0, "Aéroport " + std::to_string(i), true});
    tree.push_back({1, "Runway " + std::to_string(i), false});  // under a collapsed airport
  }
  doc_.PrintTree("Aéroports et altitudes de AP.bgl", tree, true, -1, true);
  std::vector<RecordingSurface::Text> body;
  for (const auto& t : page_->texts) {
    if (t.font.name == "Courier New") body.push_back(t);
  }
  ASSERT_EQ(body.size(), 200u);
  EXPECT_EQ(body[0].text, "Aéroport 0");
  EXPECT_EQ(body[1].text, "   Runway 0");
  EXPECT_EQ(body[0].brush, RGBColor(240, 240, 240));
  EXPECT_EQ(body[1].brush, TQORDoc::kWhite);
  EXPECT_GT(page_->page, 2);
  for (int p = 2; p <= page_->page; ++p) {
    const auto texts = TextsOfPage(p);
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(texts[1], "Page " + std::to_string(p));
    EXPECT_EQ(texts[2], "Aéroports et altitudes de AP.bgl");
  }
  for (const auto& t : body) EXPECT_LT(t.y + 60 + 10, 2800 + 60) << t.text;
  EXPECT_EQ(page_->jobs, 1);
  EXPECT_EQ(page_->endedJobs, 1);
}

TEST_F(QORDocTest, NoLineNoJob) {
  doc_.PrintTree("Vide", {}, false, -1, true);
  Body("T");
  doc_.EndPrint();
  EXPECT_EQ(page_->jobs, 0);
  EXPECT_TRUE(page_->texts.empty());
}

}  // namespace
}  // namespace qor
