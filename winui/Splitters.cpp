#include "winui/Splitters.h"

#include <algorithm>

namespace qor::winui {

void Splitters::SetSizes(int filesWidth, int dirHeight) {
  if (filesWidth > 0) filesWidth_ = std::max(filesWidth, kMinFilesWidth);
  if (dirHeight > 0) dirHeight_ = std::max(dirHeight, kMinDirHeight);
}

void Splitters::SetLimits(int maxFilesWidth, int maxDirHeight) {
  maxFilesWidth_ = std::max(maxFilesWidth, kMinFilesWidth);
  maxDirHeight_ = std::max(maxDirHeight, kMinDirHeight);
}

void Splitters::SetGaps(const RECT& betweenPanes, const RECT& aboveFiles) {
  betweenPanes_ = betweenPanes;
  aboveFiles_ = aboveFiles;
}

Splitters::Bar Splitters::At(POINT point) const {
  if (::PtInRect(&betweenPanes_, point)) return kBetweenPanes;
  if (::PtInRect(&aboveFiles_, point)) return kAboveFiles;
  return kNone;
}

bool Splitters::Press(POINT point) {
  dragging_ = At(point);
  return dragging_ != kNone;
}

void Splitters::DragTo(int designPixelsFromStart) {
  if (dragging_ == kBetweenPanes) {
    filesWidth_ = std::clamp(designPixelsFromStart, kMinFilesWidth, maxFilesWidth_);
  } else if (dragging_ == kAboveFiles) {
    dirHeight_ = std::clamp(designPixelsFromStart, kMinDirHeight, maxDirHeight_);
  }
}

}  // namespace qor::winui
