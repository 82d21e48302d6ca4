#pragma once
// A titled text document laid out page by page: a header line on every page (program title,
// date and time, page number), the centred title block, rules for lines of dashes or equals
// signs, optional shading per line, and a tree printed as an indented listing.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "print/PrintSurface.h"

namespace qor {

// One node of a tree to print, in the tree's own order (each node followed by its descendants).
struct PrintNode {
  int level = 0;  // 0 for a root
  std::string text;
  bool visible = true;  // false when an ancestor is collapsed
  int imageIndex = 0;   // as a tree view gives its nodes without an image list
};

class TQORDoc {
 public:
  enum class Orientation { Portrait, Landscape };
  static constexpr std::uint32_t kWhite = 0xFFFFFF;

  TQORDoc();
  virtual ~TQORDoc();

  // Where the next job goes; the document keeps it until another is given.
  void SetSurface(std::unique_ptr<PrintSurface> surface);
  // The date and time of the page header (days since 30 December 1899); now by default.
  void SetClock(std::function<double()> clock);

  // Ends any open job, then keeps the settings; the job starts with the first line.
  void Setup(const std::string& title, const std::string& subtitle, Orientation orientation,
             const FontSpec& bodyFont, int leftMargin, int rightMargin, int bottomMargin);
  void PrintText(const std::string& text, bool newLine, std::uint32_t backColor = kWhite);
  void PrintTree(const std::string& title, const std::vector<PrintNode>& tree, bool striped,
                 int skipImageIndex, bool allNodes);
  // The same a piece at a time, so that a long listing leaves its window alive: BeginTree,
  // then PrintTreeNode for each node in order, then EndPrint (or AbortPrint).
  void BeginTree(const std::string& title);
  void PrintTreeNode(const PrintNode& node, std::size_t index, bool striped, int skipImageIndex,
                     bool allNodes);
  void EndPrint();
  // Gives the job up: nothing of it is printed or kept.
  void AbortPrint();

 private:
  // Ends the job's settings; true when a job was running.
  bool ForgetJob();
  void BeginPrint();
  int BeginPage(bool first);
  void DrawRule(bool isDouble, int fromCol, int toCol);
  int LineHeight();
  void BodyFont(bool withStyle);

  std::unique_ptr<PrintSurface> surface_;
  std::function<double()> clock_;
  bool printing_ = false;
  std::string subtitle_;
  int bottomMargin_ = 0, rightMargin_ = 0, leftMargin_ = 0;
  Orientation orientation_ = Orientation::Portrait;
  FontSpec body_;
  std::string title_;
  int x_ = 0, y_ = 0;
};

// The program's one print document, from start to end of the program.
TQORDoc& PrintDoc();

}  // namespace qor
