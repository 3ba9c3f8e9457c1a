#include "app/focus_selection.h"

#include <QEvent>
#include <QPalette>
#include <QWidget>

namespace hc {
namespace {

class SelectionFollowsFocus final : public QObject {
 public:
  explicit SelectionFollowsFocus(QWidget& widget)
      : QObject(&widget), widget_(widget), focused_(widget.palette()), unfocused_(focused_) {
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
      unfocused_.setColor(group, QPalette::Highlight, unfocused_.color(group, QPalette::Base));
      unfocused_.setColor(group, QPalette::HighlightedText,
                          unfocused_.color(group, QPalette::Text));
    }
    widget_.setPalette(widget_.hasFocus() ? focused_ : unfocused_);
    widget_.installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &widget_) {
      if (event->type() == QEvent::FocusIn) {
        widget_.setPalette(focused_);
      } else if (event->type() == QEvent::FocusOut) {
        widget_.setPalette(unfocused_);
      }
    }
    return false;
  }

 private:
  QWidget& widget_;
  QPalette focused_;
  QPalette unfocused_;
};

}  // namespace

void hide_selection_without_focus(QWidget& widget) {
  new SelectionFollowsFocus(widget);
}

}  // namespace hc
