#pragma once

#include <QPixmap>
#include <QTableView>

#include <span>
#include <vector>

#include "app/list_columns.h"

namespace hc {

class ListViewModel;

// A report-style list: titled columns, grid lines, whole rows selected one at a time, nothing
// edited or sorted. Every left click inside the list, on a row or on the empty area, raises
// list_clicked() once the button is released; by then the selection has moved to the clicked
// row, or is gone after a click on the empty area.
class ListViewWidget final : public QTableView {
  Q_OBJECT

 public:
  explicit ListViewWidget(QWidget* parent = nullptr);

  // Sets up the columns and the small-image list (empty for none). Called once.
  void set_columns(std::span<const ListColumn> columns, std::vector<QPixmap> images = {});

  ListViewModel& list_model() const { return *model_; }
  // The first selected row, -1 when none is.
  int selected_row() const;

 signals:
  void list_clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  // Without the focus, the selection's colours are those of an unselected row.
  void initViewItemOption(QStyleOptionViewItem* option) const override;

 private:
  ListViewModel* model_ = nullptr;
  bool left_button_pressed_ = false;
};

}  // namespace hc
