#include "app/window_controls.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>

#include "app/avatar_box.h"
#include "app/gbk_qstring.h"
#include "app/list_view_model.h"
#include "app/list_view_widget.h"
#include "app/main_window.h"

namespace hc {

WindowControls::WindowControls(MainWindow& window) : window_(window) {}

WindowControls::~WindowControls() {
  set_busy(false);
}

ListViewWidget& WindowControls::widget(ListView list) const {
  return list == ListView::SongList ? window_.song_list() : window_.comment_list();
}

int WindowControls::insert_row(ListView list) {
  return widget(list).list_model().append_row();
}

void WindowControls::set_cell_text(ListView list, int row, int column, const std::string& text) {
  widget(list).list_model().set_text(row, column, qstring_from_gbk(text));
}

std::string WindowControls::cell_text(ListView list, int row, int column) const {
  return gbk_from_qstring(widget(list).list_model().text(row, column));
}

int WindowControls::selected_row(ListView list) const {
  return widget(list).selected_row();
}

void WindowControls::delete_all_rows(ListView list) {
  widget(list).list_model().remove_all_rows();
}

int WindowControls::row_count(ListView list) const {
  return widget(list).list_model().rowCount();
}

void WindowControls::set_row_image(ListView list, int row, int image_index) {
  widget(list).list_model().set_image(row, image_index);
}

void WindowControls::set_text(TextControl control, const std::string& text) {
  const QString shown = qstring_from_gbk(text);
  if (control == TextControl::NicknameLabel) {
    window_.nickname_label().setText(shown);
  } else {
    window_.content_box().setPlainText(shown);
  }
}

void WindowControls::set_picture(const Bytes& bytes) {
  window_.avatar_box().set_picture(bytes);
}

// The override cursor is a stack; this keeps at most one entry of ours on it.
void WindowControls::set_busy(bool busy) {
  if (busy == busy_) {
    return;
  }
  busy_ = busy;
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

}  // namespace hc
