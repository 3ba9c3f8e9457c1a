#pragma once

#include <QAbstractTableModel>
#include <QPixmap>
#include <QString>

#include <span>
#include <vector>

#include "app/list_columns.h"

namespace hc {

// The rows of one list: a fixed set of columns, rows of plain texts, and per row an index into
// the list's small-image list that is drawn in the first column (-1 for none).
class ListViewModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  // A list with a small-image list keeps room for an image in the first column of every row.
  ListViewModel(std::span<const ListColumn> columns, std::vector<QPixmap> images,
                QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  const std::vector<ListColumn>& columns() const { return columns_; }
  const std::vector<QPixmap>& images() const { return images_; }

  // Appends an empty row with no image and returns its index.
  int append_row();
  // Rows or columns that do not exist are ignored, or read as empty text.
  void set_text(int row, int column, const QString& text);
  QString text(int row, int column) const;
  void set_image(int row, int image_index);
  int image(int row) const;
  void remove_all_rows();

 private:
  struct Row {
    std::vector<QString> cells;
    int image = -1;
  };

  bool has_cell(int row, int column) const;
  QVariant decoration(const Row& row) const;

  std::vector<ListColumn> columns_;
  std::vector<QPixmap> images_;
  QPixmap no_image_;
  std::vector<Row> rows_;
};

}  // namespace hc
