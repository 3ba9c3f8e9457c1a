#include "app/main_window.h"

#include <QApplication>
#include <QScreen>
#include <QWindow>

#include "app/comment_icons.h"
#include "app/focus_selection.h"
#include "app/list_columns.h"
#include "app/list_view_widget.h"
#include "ui_main_window.h"

namespace hc {
namespace {

constexpr QSize kClientSize(888, 528);

// The labels that carry a font of their own keep the default face at another height.
void set_font_pixel_size(QWidget& widget, int pixels) {
  QFont font = QApplication::font();
  font.setPixelSize(pixels);
  font.setWeight(QFont::Normal);
  widget.setFont(font);
}

void set_edit_box_colours(QWidget& widget) {
  QPalette colours = widget.palette();
  colours.setColor(QPalette::Text, Qt::black);
  colours.setColor(QPalette::Base, Qt::white);
  widget.setPalette(colours);
  hide_selection_without_focus(widget);
}

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      ui_(std::make_unique<Ui::MainWindow>()) {
  ui_->setupUi(this);
  setFixedSize(kClientSize);

  QPalette window_colours = palette();
  window_colours.setColor(QPalette::Window, window_colours.color(QPalette::Button));
  setPalette(window_colours);
  setAutoFillBackground(true);

  set_font_pixel_size(*ui_->NicknameLabel, 20);
  set_font_pixel_size(*ui_->NoteLabel, 21);
  set_font_pixel_size(*ui_->ArrowLabel, 24);
  for (QLabel* label : {ui_->NicknameLabel, ui_->NoteLabel, ui_->ArrowLabel}) {
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(colours);
  }
  set_edit_box_colours(*ui_->ContentBox);

  ui_->SongList->set_columns(kSongListColumns);
  ui_->CommentList->set_columns(kCommentListColumns, comment_icons());

  connect(ui_->FetchButton, &QPushButton::clicked, this, &MainWindow::fetch_button_clicked);
  connect(ui_->SongList, &ListViewWidget::list_clicked, this, &MainWindow::song_list_clicked);
  connect(ui_->CommentList, &ListViewWidget::list_clicked, this, &MainWindow::comment_list_clicked);
}

MainWindow::~MainWindow() = default;

bool MainWindow::show_centred() {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
  }
  show();
  return windowHandle() != nullptr && windowHandle()->handle() != nullptr;
}

ListViewWidget& MainWindow::song_list() const {
  return *ui_->SongList;
}
ListViewWidget& MainWindow::comment_list() const {
  return *ui_->CommentList;
}
QLabel& MainWindow::nickname_label() const {
  return *ui_->NicknameLabel;
}
QPlainTextEdit& MainWindow::content_box() const {
  return *ui_->ContentBox;
}
AvatarBox& MainWindow::avatar_box() const {
  return *ui_->AvatarBox;
}
QPushButton& MainWindow::fetch_button() const {
  return *ui_->FetchButton;
}

}  // namespace hc
