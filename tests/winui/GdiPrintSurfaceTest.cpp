#include "winui/GdiPrintSurface.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <vector>

#include "platform/Errors.h"
#include "platform/Text_win32.h"
#include "print/QORDoc.h"
#include "tests/support/TempFolder.h"
#include "util/Environment.h"
#include "util/ProgramTitle.h"

#include <windows.h>

// <windows.h> renames TextOut; the surface's member keeps its name.
#undef TextOut

namespace qor {
namespace {

// 1 March 2004, 14:07.
constexpr double kWhen = 38047.0 + (14 * 60 + 7) / 1440.0;
constexpr int kWidth = 794, kHeight = 1123;  // A4 at 96 dots an inch

// What a page's metafile draws, read back record by record.
struct Page {
  struct Text {
    std::string text;
    int x, y;
    std::wstring face;
    LONG height;
    bool bold;
    int backMode;
    COLORREF back;
  };
  std::vector<Text> texts;
  int lines = 0;
  std::vector<std::string> Strings() const {
    std::vector<std::string> strings;
    for (const Text& t : texts) strings.push_back(t.text);
    return strings;
  }
};

// The drawing state while the records are read.
struct ReadState {
  Page page;
  std::map<DWORD, LOGFONTW> fonts;  // by the metafile's object index
  LOGFONTW font{};
  int backMode = TRANSPARENT;
  COLORREF back = 0;
};

int CALLBACK OnRecord(HDC, HANDLETABLE*, const ENHMETARECORD* r, int, LPARAM data) {
  ReadState& s = *reinterpret_cast<ReadState*>(data);
  switch (r->iType) {
    case EMR_EXTCREATEFONTINDIRECTW: {
      const auto* f = reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(r);
      s.fonts[f->ihFont] = f->elfw.elfLogFont;
      break;
    }
    case EMR_SELECTOBJECT: {
      const auto found = s.fonts.find(reinterpret_cast<const EMRSELECTOBJECT*>(r)->ihObject);
      if (found != s.fonts.end()) s.font = found->second;
      break;
    }
    case EMR_SETBKMODE:
      s.backMode = static_cast<int>(reinterpret_cast<const EMRSETBKMODE*>(r)->iMode);
      break;
    case EMR_SETBKCOLOR:
      s.back = reinterpret_cast<const EMRSETBKCOLOR*>(r)->crColor;
      break;
    case EMR_LINETO:
      ++s.page.lines;
      break;
    case EMR_EXTTEXTOUTW: {
      const auto* t = reinterpret_cast<const EMREXTTEXTOUTW*>(r);
      const auto* chars =
          reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(r) + t->emrtext.offString);
      s.page.texts.push_back({platform::Utf8(std::wstring_view(chars, t->emrtext.nChars)),
                              t->emrtext.ptlReference.x, t->emrtext.ptlReference.y,
                              s.font.lfFaceName, s.font.lfHeight, s.font.lfWeight >= FW_BOLD,
                              s.backMode, s.back});
      break;
    }
    default:
      break;
  }
  return 1;
}

Page ReadPage(const std::string& path) {
  ReadState state;
  HENHMETAFILE emf = ::GetEnhMetaFileW(platform::Wide(path).c_str());
  if (emf == nullptr) {
    ADD_FAILURE() << "no metafile " << path;
    return {};
  }
  ::EnumEnhMetaFile(nullptr, emf, OnRecord, &state, nullptr);
  ::DeleteEnhMetaFile(emf);
  return state.page;
}

// The font height GDI is asked for: points at the metafile's resolution (the screen's).
LONG HeightOf(int points) {
  HDC dc = ::CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
  const int dpi = ::GetDeviceCaps(dc, LOGPIXELSY);
  ::DeleteEnhMetaFile(::CloseEnhMetaFile(dc));
  return -::MulDiv(points, dpi, 72);
}

std::vector<PrintNode> Tree(int airports) {
  std::vector<PrintNode> tree;
  for (int i = 1; i <= airports; ++i) {
    tree.push_back({0, "Aérodrome n°" + std::to_string(i) + "             164,000"});
    tree.push_back({1, "Runway 7 L                 163,500"});
    tree.push_back({1, "Start 25 R                 162,800"});
  }
  return tree;
}

std::string Indented(const PrintNode& node) {
  std::string text;
  for (int i = 0; i < node.level; ++i) text += "   ";
  return text + node.text;
}

class GdiPrintSurfaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetEnvironment("QORBgl", "C:/QORBgl/", "C:/tmp/");
    doc_.SetClock([] { return kWhen; });
  }
  void PrintInto(int width, int height) {
    doc_.SetSurface(GdiPrintSurface::Metafiles(prefix_, width, height));
  }
  std::string PagePath(int page) const { return GdiPrintSurface::MetafilePath(prefix_, page); }
  std::size_t FilesInFolder() const {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(test::Utf8Path(folder_.Path()))) {
      ++n;
    }
    return n;
  }

  test::TempFolder folder_;
  std::string prefix_ = folder_ / "page-";
  TQORDoc doc_;
};

TEST_F(GdiPrintSurfaceTest, APagePrintsTheHeaderTheTitleAndEveryLineInOrder) {
  PrintInto(kWidth, kHeight);
  const std::vector<PrintNode> tree = Tree(3);
  doc_.PrintTree("Aéroports et altitudes de LFPN.bgl", tree, true, -1, true);
  EXPECT_FALSE(std::filesystem::exists(test::Utf8Path(PagePath(2))));
  const Page page = ReadPage(PagePath(1));
  ASSERT_EQ(page.texts.size(), 3 + tree.size());

  EXPECT_EQ(page.texts[0].text, ProgramTitle(4) + " lundi 1er mars 2004, 14:07");
  EXPECT_EQ((std::pair{page.texts[0].x, page.texts[0].y}), (std::pair{0, 20}));
  EXPECT_EQ(page.texts[0].face, L"Arial");
  EXPECT_EQ(page.texts[0].height, HeightOf(8));
  EXPECT_EQ(page.texts[1].text, "Page 1");
  // Right-aligned: the number ends three blanks' width before the page's edge.
  EXPECT_GT(page.texts[1].x, kWidth * 3 / 4);
  EXPECT_LT(page.texts[1].x, kWidth);
  EXPECT_EQ(page.texts[2].text, "Aéroports et altitudes de LFPN.bgl");
  EXPECT_TRUE(page.texts[2].bold);
  EXPECT_EQ(page.texts[2].height, HeightOf(12));

  int step = 0;
  for (std::size_t i = 0; i < tree.size(); ++i) {
    const Page::Text& line = page.texts[3 + i];
    EXPECT_EQ(line.text, Indented(tree[i]));
    EXPECT_EQ(line.face, L"Courier New");
    EXPECT_EQ(line.height, HeightOf(10));
    EXPECT_FALSE(line.bold);
    EXPECT_EQ(line.x, 10);  // the left margin
    // Character cells filled: every other line shaded, as the tree was striped.
    EXPECT_EQ(line.backMode, OPAQUE);
    EXPECT_EQ(line.back, i % 2 == 0 ? RGB(240, 240, 240) : RGB(255, 255, 255)) << i;
    if (i > 0) {
      const int dy = line.y - page.texts[2 + i].y;
      if (i == 1) step = dy;
      EXPECT_EQ(dy, step) << "lines evenly spaced";
    }
  }
  EXPECT_GT(step, 0);
}

TEST_F(GdiPrintSurfaceTest, LinesThatDoNotFitGoOnTheNextPages) {
  PrintInto(kWidth, 400);
  const std::vector<PrintNode> tree = Tree(10);
  doc_.PrintTree("Aéroports et altitudes de LFPN.bgl", tree, false, -1, true);

  std::vector<std::string> listing;
  int pages = 0;
  while (std::filesystem::exists(test::Utf8Path(PagePath(pages + 1)))) {
    ++pages;
    const Page page = ReadPage(PagePath(pages));
    ASSERT_GE(page.texts.size(), 4u) << "page " << pages;
    EXPECT_EQ(page.texts[1].text, "Page " + std::to_string(pages));
    EXPECT_EQ(page.texts[2].text, "Aéroports et altitudes de LFPN.bgl");
    for (std::size_t i = 3; i < page.texts.size(); ++i) {
      listing.push_back(page.texts[i].text);
      EXPECT_LT(page.texts[i].y, 400 - 10) << "above the bottom margin, page " << pages;
    }
  }
  EXPECT_GE(pages, 2);
  std::vector<std::string> expected;
  for (const PrintNode& node : tree) expected.push_back(Indented(node));
  EXPECT_EQ(listing, expected);
}

TEST_F(GdiPrintSurfaceTest, ANewPageKeepsTheFontAndTheShading) {
  const auto surface = GdiPrintSurface::Metafiles(prefix_, kWidth, kHeight);
  surface->BeginJob();
  surface->SetFont(FontSpec{"Courier New", 10, true});
  surface->SetBrushColor(0xF0F0F0);
  surface->NewPage();
  EXPECT_EQ(surface->PageNumber(), 2);
  surface->TextOut(10, 10, "ligne");
  surface->EndJob();
  const Page page = ReadPage(PagePath(2));
  ASSERT_EQ(page.texts.size(), 1u);
  EXPECT_EQ(page.texts[0].face, L"Courier New");
  EXPECT_TRUE(page.texts[0].bold);
  EXPECT_EQ(page.texts[0].height, HeightOf(10));
  EXPECT_EQ(page.texts[0].back, RGB(240, 240, 240));
  EXPECT_EQ(page.texts[0].backMode, OPAQUE);
}

TEST_F(GdiPrintSurfaceTest, ALandscapeJobTurnsThePage) {
  PrintInto(kWidth, kHeight);
  doc_.Setup("Titre", "", TQORDoc::Orientation::Landscape, FontSpec{"Courier New", 10}, 10, 10, 10);
  doc_.PrintText("ligne", true);
  doc_.EndPrint();
  const Page page = ReadPage(PagePath(1));
  ASSERT_EQ(page.Strings().size(), 4u);
  EXPECT_GT(page.texts[1].x, kWidth);  // "Page 1" at the right of the wider page
}

TEST_F(GdiPrintSurfaceTest, DashesAndEqualsSignsDrawRules) {
  struct Row {
    std::string text;
    int lines;
  };
  const Row rows[] = {{"-----", 1}, {"   =====", 2}, {"- -", 0}};
  for (const Row& row : rows) {
    PrintInto(kWidth, kHeight);
    doc_.Setup("T", "", TQORDoc::Orientation::Portrait, FontSpec{"Courier New", 10}, 10, 10, 10);
    doc_.PrintText(row.text, true);
    doc_.EndPrint();
    const Page page = ReadPage(PagePath(1));
    EXPECT_EQ(page.lines, row.lines) << row.text;
    // A rule is drawn instead of its characters.
    EXPECT_EQ(page.texts.size(), row.lines > 0 ? 3u : 4u) << row.text;
  }
}

TEST_F(GdiPrintSurfaceTest, AnAbortedJobLeavesNothing) {
  PrintInto(kWidth, 300);
  const std::vector<PrintNode> tree = Tree(10);
  doc_.BeginTree("Aéroports et altitudes de LFPN.bgl");
  for (std::size_t i = 0; i < tree.size(); ++i) doc_.PrintTreeNode(tree[i], i, false, -1, true);
  ASSERT_TRUE(std::filesystem::exists(test::Utf8Path(PagePath(2))));
  doc_.AbortPrint();
  EXPECT_EQ(FilesInFolder(), 0u);

  // The surface takes the next job.
  doc_.PrintTree("Aéroports et altitudes de LFPN.bgl", Tree(1), false, -1, true);
  EXPECT_EQ(ReadPage(PagePath(1)).texts.size(), 6u);
}

TEST_F(GdiPrintSurfaceTest, AJobThatCannotStartSaysWhy) {
  prefix_ = folder_ / "absent" + "\\page-";
  doc_.SetSurface(GdiPrintSurface::Metafiles(prefix_, kWidth, kHeight));
  try {
    doc_.PrintTree("T", Tree(1), false, -1, true);
    ADD_FAILURE() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_NE(std::string(e.what()).find("Je ne peux pas écrire le fichier"), std::string::npos)
        << e.what();
  }
  EXPECT_EQ(FilesInFolder(), 0u);

  GdiPrintTarget target;
  EXPECT_FALSE(target.CanWritePdf());
  EXPECT_EQ(target.HasDefaultPrinter(), GdiPrintSurface::HasDefaultPrinter());
  if (GdiPrintSurface::HasDefaultPrinter()) GTEST_SKIP() << "this system has a default printer";
  GdiPrintSurface printer;
  try {
    printer.BeginJob();
    ADD_FAILURE() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_STREQ(e.what(), "Aucune imprimante par défaut n'est installée.");
  }
  EXPECT_EQ(printer.PageNumber(), 0);
}

}  // namespace
}  // namespace qor
