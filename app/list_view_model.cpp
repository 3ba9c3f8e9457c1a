#include "app/list_view_model.h"

#include <utility>

namespace hc {

ListViewModel::ListViewModel(std::span<const ListColumn> columns, std::vector<QPixmap> images,
                             QObject* parent)
    : QAbstractTableModel(parent),
      columns_(columns.begin(), columns.end()),
      images_(std::move(images)) {
  if (!images_.empty()) {
    no_image_ = QPixmap(images_.front().size());
    no_image_.fill(Qt::transparent);
  }
}

int ListViewModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ListViewModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ListViewModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || !has_cell(index.row(), index.column())) {
    return {};
  }
  const Row& row = rows_[static_cast<std::size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
      return row.cells[static_cast<std::size_t>(index.column())];
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::Alignment(
          columns_[static_cast<std::size_t>(index.column())].alignment | Qt::AlignVCenter));
    case Qt::DecorationRole:
      return index.column() == 0 ? decoration(row) : QVariant();
    default:
      return {};
  }
}

QVariant ListViewModel::decoration(const Row& row) const {
  if (images_.empty()) {
    return {};
  }
  if (row.image >= 0 && row.image < static_cast<int>(images_.size())) {
    return images_[static_cast<std::size_t>(row.image)];
  }
  // A transparent stand-in keeps the text of every row at the same indent.
  return no_image_;
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
    return {};
  }
  const ListColumn& column = columns_[static_cast<std::size_t>(section)];
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromUtf8(column.title);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::Alignment(column.alignment | Qt::AlignVCenter));
    default:
      return {};
  }
}

Qt::ItemFlags ListViewModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) {
    return Qt::NoItemFlags;
  }
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

int ListViewModel::append_row() {
  const int row = rowCount();
  beginInsertRows({}, row, row);
  rows_.push_back(Row{std::vector<QString>(columns_.size()), -1});
  endInsertRows();
  return row;
}

void ListViewModel::set_text(int row, int column, const QString& text) {
  if (!has_cell(row, column)) {
    return;
  }
  rows_[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(column)] = text;
  const QModelIndex cell = index(row, column);
  emit dataChanged(cell, cell, {Qt::DisplayRole});
}

QString ListViewModel::text(int row, int column) const {
  if (!has_cell(row, column)) {
    return {};
  }
  return rows_[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(column)];
}

void ListViewModel::set_image(int row, int image_index) {
  if (!has_cell(row, 0)) {
    return;
  }
  rows_[static_cast<std::size_t>(row)].image = image_index;
  const QModelIndex cell = index(row, 0);
  emit dataChanged(cell, cell, {Qt::DecorationRole});
}

int ListViewModel::image(int row) const {
  return has_cell(row, 0) ? rows_[static_cast<std::size_t>(row)].image : -1;
}

void ListViewModel::remove_all_rows() {
  beginResetModel();
  rows_.clear();
  endResetModel();
}

bool ListViewModel::has_cell(int row, int column) const {
  return row >= 0 && row < rowCount() && column >= 0 && column < columnCount();
}

}  // namespace hc
