#pragma once
// The airport tree as Qt's views see it: a model over the workflow's lines, which stay where the
// workflow keeps them. A view asks for the texts of the rows it paints, so a file of hundreds of
// thousands of lines costs no item, and no text, per line.

#include <QAbstractItemModel>
#include <cstddef>
#include <optional>
#include <vector>

namespace qor {

class AirportLines;

class LinesModel : public QAbstractItemModel {
 public:
  using QAbstractItemModel::QAbstractItemModel;

  // The model shows lines from now on (the workflow keeps them until its next ShowTree).
  void Show(const AirportLines& lines);
  // A line's text changed.
  void Changed(std::size_t line);
  // The index of a line, and the line of an index.
  QModelIndex IndexOf(std::size_t line) const;
  static std::optional<std::size_t> LineOf(const QModelIndex& index);

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  const AirportLines* lines_ = nullptr;
  // The airports' lines in display order: row r of the top level is line airports_[r].
  std::vector<std::size_t> airports_;
};

}  // namespace qor
