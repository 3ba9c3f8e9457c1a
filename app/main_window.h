#pragma once

#include <QWidget>

#include <memory>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace Ui {
class MainWindow;
}

namespace hc {

class AvatarBox;
class ListViewWidget;

// The program's one window. Its controls come from the form in main_window.ui; the window only
// adds their fonts, columns and colours, and passes on the three clicks the program acts on.
class MainWindow final : public QWidget {
  Q_OBJECT

 public:
  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  // Centres the window on its screen and shows it. False when the window system could not
  // create the window.
  bool show_centred();

  ListViewWidget& song_list() const;
  ListViewWidget& comment_list() const;
  QLabel& nickname_label() const;
  QPlainTextEdit& content_box() const;
  AvatarBox& avatar_box() const;
  QPushButton& fetch_button() const;

 signals:
  void fetch_button_clicked();
  void song_list_clicked();
  void comment_list_clicked();

 private:
  std::unique_ptr<Ui::MainWindow> ui_;
};

}  // namespace hc
