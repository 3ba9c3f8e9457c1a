#pragma once

#include <string>

#include "text/bytes.h"
#include "workflow/controls.h"

namespace hc {

class ListViewWidget;
class MainWindow;

// The control operations of the handlers on the real window. GBK texts are converted here, at
// the crossing to the toolkit, and nowhere else.
class WindowControls final : public Controls {
 public:
  explicit WindowControls(MainWindow& window);
  ~WindowControls() override;

  WindowControls(const WindowControls&) = delete;
  WindowControls& operator=(const WindowControls&) = delete;

  int insert_row(ListView list) override;
  void set_cell_text(ListView list, int row, int column, const std::string& text) override;
  std::string cell_text(ListView list, int row, int column) const override;
  int selected_row(ListView list) const override;
  void delete_all_rows(ListView list) override;
  int row_count(ListView list) const override;
  void set_row_image(ListView list, int row, int image_index) override;

  void set_text(TextControl control, const std::string& text) override;
  void set_picture(const Bytes& bytes) override;

  void set_busy(bool busy) override;

 private:
  ListViewWidget& widget(ListView list) const;

  MainWindow& window_;
  bool busy_ = false;
};

}  // namespace hc
