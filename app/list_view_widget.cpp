#include "app/list_view_widget.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include <algorithm>
#include <utility>

#include "app/list_view_model.h"

namespace hc {
namespace {

// Rows are selected whole, so neither a focus frame around one cell nor hover tracking is drawn;
// and a list without the focus draws its selected row like any other, image included.
class ListItemDelegate final : public QStyledItemDelegate {
 public:
  explicit ListItemDelegate(QWidget* view) : QStyledItemDelegate(view), view_(view) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem item(option);
    item.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    if (!view_->hasFocus()) {
      item.state &= ~QStyle::State_Selected;
    }
    QStyledItemDelegate::paint(painter, item, index);
  }

 private:
  const QWidget* view_;
};

}  // namespace

ListViewWidget::ListViewWidget(QWidget* parent) : QTableView(parent) {
  setSelectionBehavior(SelectRows);
  setSelectionMode(SingleSelection);
  setEditTriggers(NoEditTriggers);
  setTabKeyNavigation(false);
  setSortingEnabled(false);
  setShowGrid(true);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  setMouseTracking(false);
  setItemDelegate(new ListItemDelegate(this));

  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

  QHeaderView* header = horizontalHeader();
  header->setSectionsClickable(true);
  header->setSectionsMovable(false);
  header->setHighlightSections(false);
  header->setSortIndicatorShown(false);
  header->setStretchLastSection(false);
  header->setSectionResizeMode(QHeaderView::Interactive);

  QPalette colours = palette();
  colours.setColor(QPalette::Base, Qt::white);
  colours.setColor(QPalette::Text, Qt::black);
  setPalette(colours);
}

// Styles may paint a selected row's background outside the delegate, so the colours go into the
// options every cell is painted with. The palette itself never changes with the focus: a new
// palette makes the style draw and cache the header and scroll bars anew, and those caches
// grew with every click that moved the focus between the lists.
void ListViewWidget::initViewItemOption(QStyleOptionViewItem* option) const {
  QTableView::initViewItemOption(option);
  if (hasFocus()) {
    return;
  }
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    option->palette.setColor(group, QPalette::Highlight,
                             option->palette.color(group, QPalette::Base));
    option->palette.setColor(group, QPalette::HighlightedText,
                             option->palette.color(group, QPalette::Text));
  }
}

void ListViewWidget::set_columns(std::span<const ListColumn> columns, std::vector<QPixmap> images) {
  const QSize image_size = images.empty() ? QSize() : images.front().size();
  model_ = new ListViewModel(columns, std::move(images), this);
  setModel(model_);

  for (int column = 0; column < static_cast<int>(columns.size()); ++column) {
    const int width = columns[static_cast<std::size_t>(column)].width;
    if (width == 0) {
      setColumnHidden(column, true);
    } else {
      setColumnWidth(column, width);
    }
  }

  if (image_size.isValid()) {
    setIconSize(image_size);
  }
  const int row_height = std::max(fontMetrics().height() + 4, image_size.height() + 2);
  verticalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setDefaultSectionSize(row_height);
}

int ListViewWidget::selected_row() const {
  if (selectionModel() == nullptr) {
    return -1;
  }
  int first = -1;
  for (const QItemSelectionRange& range : selectionModel()->selection()) {
    if (range.isValid() && (first < 0 || range.top() < first)) {
      first = range.top();
    }
  }
  return first;
}

void ListViewWidget::mousePressEvent(QMouseEvent* event) {
  QTableView::mousePressEvent(event);
  // A click beside the rows leaves no row selected, whatever the item view's own rule.
  if (!indexAt(event->position().toPoint()).isValid()) {
    clearSelection();
  }
  left_button_pressed_ = event->button() == Qt::LeftButton;
}

void ListViewWidget::mouseReleaseEvent(QMouseEvent* event) {
  QTableView::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && std::exchange(left_button_pressed_, false)) {
    emit list_clicked();
  }
}

}  // namespace hc
