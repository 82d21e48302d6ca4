#include "ui/Tree.h"

#include <algorithm>

#include "workflow/AirportLines.h"

namespace qor {

void LinesModel::Show(const AirportLines& lines) {
  beginResetModel();
  lines_ = &lines;
  airports_.clear();
  airports_.reserve(lines.AirportCount());
  for (std::size_t line = 0; line < lines.Size(); line += 1 + lines.ElementCount(line)) {
    airports_.push_back(line);
  }
  endResetModel();
}

void LinesModel::Changed(std::size_t line) {
  const QModelIndex changed = IndexOf(line);
  if (changed.isValid()) emit dataChanged(changed, changed, {Qt::DisplayRole});
}

// An index carries its line in its internal id.
QModelIndex LinesModel::IndexOf(std::size_t line) const {
  if (lines_ == nullptr || line >= lines_->Size()) return {};
  if (lines_->IsAirport(line)) {
    const auto at = std::lower_bound(airports_.begin(), airports_.end(), line);
    return createIndex(static_cast<int>(at - airports_.begin()), 0, line);
  }
  return createIndex(static_cast<int>(line - lines_->Parent(line) - 1), 0, line);
}

std::optional<std::size_t> LinesModel::LineOf(const QModelIndex& index) {
  if (!index.isValid()) return std::nullopt;
  return static_cast<std::size_t>(index.internalId());
}

QModelIndex LinesModel::index(int row, int column, const QModelIndex& parent) const {
  if (lines_ == nullptr || row < 0 || column != 0) return {};
  if (!parent.isValid()) {
    if (static_cast<std::size_t>(row) >= airports_.size()) return {};
    return createIndex(row, 0, airports_[static_cast<std::size_t>(row)]);
  }
  const std::size_t airport = parent.internalId();
  if (!lines_->IsAirport(airport) ||
      static_cast<std::size_t>(row) >= lines_->ElementCount(airport)) {
    return {};
  }
  return createIndex(row, 0, airport + 1 + static_cast<std::size_t>(row));
}

QModelIndex LinesModel::parent(const QModelIndex& child) const {
  if (lines_ == nullptr || !child.isValid()) return {};
  const std::size_t line = child.internalId();
  if (lines_->IsAirport(line)) return {};
  return IndexOf(lines_->Parent(line));
}

int LinesModel::rowCount(const QModelIndex& parent) const {
  if (lines_ == nullptr) return 0;
  if (!parent.isValid()) return static_cast<int>(airports_.size());
  const std::size_t line = parent.internalId();
  return lines_->IsAirport(line) ? static_cast<int>(lines_->ElementCount(line)) : 0;
}

int LinesModel::columnCount(const QModelIndex&) const {
  return 1;
}

QVariant LinesModel::data(const QModelIndex& index, int role) const {
  if (lines_ == nullptr || !index.isValid() || role != Qt::DisplayRole) return {};
  return QString::fromStdString(lines_->Text(index.internalId()));
}

}  // namespace qor
