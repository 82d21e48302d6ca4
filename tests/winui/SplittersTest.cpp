#include "winui/Splitters.h"

#include <gtest/gtest.h>

namespace qor::winui {
namespace {

// A drag of either gap, from the sizes the settings kept, within the room the window leaves.
struct DragRow {
  const char* name;
  int keptWidth, keptHeight;  // from the settings; 0: none kept
  int maxWidth, maxHeight;    // the room the window's client area leaves
  POINT press;
  int to;             // where the drag ends, in design pixels from the pane's start
  int width, height;  // the panes' sizes after it
};

void PrintTo(const DragRow& row, std::ostream* out) {
  *out << row.name;
}

class SplitterDrags : public ::testing::TestWithParam<DragRow> {};

TEST_P(SplitterDrags, KeepEveryPaneAtItsMinimumAndInTheWindow) {
  const DragRow& row = GetParam();
  Splitters splitters;
  splitters.SetSizes(row.keptWidth, row.keptHeight);
  splitters.SetLimits(row.maxWidth, row.maxHeight);
  // The gap between the panes at x 185..188, the one above the files at y 137..140.
  splitters.SetGaps(RECT{185, 33, 188, 500}, RECT{0, 137, 185, 140});
  if (splitters.Press(row.press)) splitters.DragTo(row.to);
  splitters.Release();
  EXPECT_FALSE(splitters.Dragging());
  EXPECT_EQ(splitters.FilesWidth(), row.width);
  EXPECT_EQ(splitters.DirHeight(), row.height);
}

INSTANTIATE_TEST_SUITE_P(
    SplittersTest, SplitterDrags,
    ::testing::Values(
        DragRow{"WiderFiles", 0, 0, 600, 400, {186, 200}, 250, 250, 104},
        DragRow{"FilesNeverBelowTheirMinimum", 0, 0, 600, 400, {186, 200}, 10, kMinFilesWidth, 104},
        DragRow{"PagesKeepTheirRoom", 0, 0, 300, 400, {186, 200}, 900, 300, 104},
        DragRow{"TallerFolders", 0, 0, 600, 400, {50, 138}, 180, 185, 180},
        DragRow{"FoldersNeverBelowTheirMinimum", 0, 0, 600, 400, {50, 138}, 3, 185, kMinDirHeight},
        DragRow{"FilesKeepTheirRoom", 0, 0, 600, 150, {50, 138}, 380, 185, 150},
        DragRow{"APressBesideTheGapsDragsNothing", 0, 0, 600, 400, {100, 200}, 400, 185, 104},
        DragRow{"KeptSizesBelowTheMinimumsAreRaised",
                50,
                20,
                600,
                400,
                {0, 0},
                0,
                kMinFilesWidth,
                kMinDirHeight},
        DragRow{"KeptSizesStay", 240, 160, 600, 400, {0, 0}, 0, 240, 160},
        DragRow{
            "NoRoomLeftStillGivesTheMinimum", 0, 0, 20, 20, {186, 200}, 300, kMinFilesWidth, 104}),
    [](const ::testing::TestParamInfo<DragRow>& info) { return info.param.name; });

}  // namespace
}  // namespace qor::winui
