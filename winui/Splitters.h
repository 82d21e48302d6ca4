#pragma once
// The window's two splitters, which the Qt window gets from QSplitter: the gap between the file
// pane and the pages, and the gap above the file list. They keep the panes' sizes (design
// pixels, at 96 dots per inch) and never drag a pane below its minimum.

#include <windows.h>

namespace qor::winui {

// The panes' minimums, the Qt window's.
inline constexpr int kMinFilesWidth = 120;
inline constexpr int kMinDirHeight = 100;
inline constexpr int kMinFileListHeight = 200;
inline constexpr int kMinPagesWidth = 300;
// The width of a splitter's gap.
inline constexpr int kSplitterGap = 3;

class Splitters {
 public:
  enum Bar { kNone, kBetweenPanes, kAboveFiles };

  // The sizes to start from (those the settings kept); zero or less keeps the default.
  void SetSizes(int filesWidth, int dirHeight);
  int FilesWidth() const { return filesWidth_; }
  int DirHeight() const { return dirHeight_; }
  // The largest sizes the window's client area leaves room for, at each layout.
  void SetLimits(int maxFilesWidth, int maxDirHeight);
  // Where each gap lies now, in the window's client pixels, at each layout.
  void SetGaps(const RECT& betweenPanes, const RECT& aboveFiles);

  Bar At(POINT point) const;
  // A press on a gap starts a drag (true); each move sets the size from the point, given as
  // design pixels from the pane's start.
  bool Press(POINT point);
  bool Dragging() const { return dragging_ != kNone; }
  Bar DraggedBar() const { return dragging_; }
  void DragTo(int designPixelsFromStart);
  void Release() { dragging_ = kNone; }

 private:
  int filesWidth_ = 185;
  int dirHeight_ = 104;
  int maxFilesWidth_ = 1 << 20;
  int maxDirHeight_ = 1 << 20;
  RECT betweenPanes_{};
  RECT aboveFiles_{};
  Bar dragging_ = kNone;
};

}  // namespace qor::winui
