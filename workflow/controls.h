#pragma once

#include <string>

#include "text/bytes.h"

namespace hc {

// The window as the handlers see it. The window implements this; nothing here knows the
// toolkit. Rows and columns are 0-based; texts are GBK.

enum class ListView { SongList, CommentList };
enum class TextControl { NicknameLabel, ContentBox };

class Controls {
 public:
  virtual ~Controls() = default;

  // Appends an empty row with no image and returns its index.
  virtual int insert_row(ListView list) = 0;
  virtual void set_cell_text(ListView list, int row, int column, const std::string& text) = 0;
  // Empty for row -1 and for a row or column that does not exist.
  virtual std::string cell_text(ListView list, int row, int column) const = 0;
  // The selected row, -1 when none is.
  virtual int selected_row(ListView list) const = 0;
  virtual void delete_all_rows(ListView list) = 0;
  virtual int row_count(ListView list) const = 0;
  virtual void set_row_image(ListView list, int row, int image_index) = 0;

  virtual void set_text(TextControl control, const std::string& text) = 0;
  // Shows the picture decoded from the bytes of an image file in AvatarBox; bytes that are not
  // a picture leave the box without one.
  virtual void set_picture(const Bytes& bytes) = 0;

  // A busy cursor while a handler waits for the network.
  virtual void set_busy(bool busy) = 0;
};

}  // namespace hc
