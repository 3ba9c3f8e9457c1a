#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>

#include <string>
#include <vector>

#include "app/avatar_box.h"
#include "app/list_view_widget.h"
#include "tests/app/window_fixture.h"

namespace hc::testing {
namespace {

class ControlOperationsTest : public WindowTest {
 protected:
  // Appends a row whose cells read "r<row>c<column>".
  int add_filled_row(ListView list, int columns) {
    const int row = controls.insert_row(list);
    for (int column = 0; column < columns; ++column) {
      controls.set_cell_text(list, row, column,
                             "r" + std::to_string(row) + "c" + std::to_string(column));
    }
    return row;
  }
};

TEST_F(ControlOperationsTest, InsertRowAppendsAnEmptyRowAndReturnsItsIndex) {
  for (int row = 0; row < 5; ++row) {
    EXPECT_EQ(add_filled_row(ListView::SongList, 5), row);
  }
  EXPECT_EQ(controls.insert_row(ListView::SongList), 5);
  EXPECT_EQ(controls.row_count(ListView::SongList), 6);
  EXPECT_EQ(controls.cell_text(ListView::SongList, 4, 2), "r4c2");
  for (int column = 0; column < 5; ++column) {
    EXPECT_EQ(controls.cell_text(ListView::SongList, 5, column), "") << column;
  }
  EXPECT_EQ(controls.row_count(ListView::CommentList), 0);
}

TEST_F(ControlOperationsTest, CellTextOutsideTheRowsIsEmpty) {
  add_filled_row(ListView::CommentList, 6);
  add_filled_row(ListView::CommentList, 6);
  struct Cell {
    int row;
    int column;
    std::string text;
  };
  const std::vector<Cell> cells = {
      {0, 0, "r0c0"}, {1, 5, "r1c5"}, {-1, 0, ""}, {-1, 5, ""},  {0, 6, ""},
      {0, 100, ""},   {0, -1, ""},    {2, 0, ""},  {-5, -5, ""},
  };
  for (const Cell& cell : cells) {
    EXPECT_EQ(controls.cell_text(ListView::CommentList, cell.row, cell.column), cell.text)
        << cell.row << ", " << cell.column;
  }
}

TEST_F(ControlOperationsTest, WritesOutsideTheRowsChangeNothing) {
  add_filled_row(ListView::SongList, 5);
  controls.set_cell_text(ListView::SongList, -1, 0, "x");
  controls.set_cell_text(ListView::SongList, 1, 0, "x");
  controls.set_cell_text(ListView::SongList, 0, 5, "x");
  controls.set_row_image(ListView::SongList, 3, 0);
  EXPECT_EQ(controls.row_count(ListView::SongList), 1);
  EXPECT_EQ(controls.cell_text(ListView::SongList, 0, 0), "r0c0");
  EXPECT_EQ(controls.cell_text(ListView::SongList, 0, 4), "r0c4");
}

TEST_F(ControlOperationsTest, HiddenColumnsHoldTextLikeAnyOther) {
  controls.insert_row(ListView::SongList);
  controls.set_cell_text(ListView::SongList, 0, 3, "186016");
  controls.set_cell_text(ListView::SongList, 0, 4, "R_SO_4_186016");
  controls.insert_row(ListView::CommentList);
  controls.set_cell_text(ListView::CommentList, 0, 4, "http://127.0.0.1/a.jpg");

  EXPECT_EQ(controls.cell_text(ListView::SongList, 0, 3), "186016");
  EXPECT_EQ(controls.cell_text(ListView::SongList, 0, 4), "R_SO_4_186016");
  EXPECT_EQ(controls.cell_text(ListView::CommentList, 0, 4), "http://127.0.0.1/a.jpg");
  EXPECT_EQ(window.song_list().columnWidth(4), 0);
  EXPECT_EQ(window.comment_list().columnWidth(4), 0);
}

TEST_F(ControlOperationsTest, CellTextsCrossAsGbk) {
  struct Case {
    const char* utf8;  // as the cell shows it
    std::string gbk;   // as the handlers write and read it
  };
  const std::vector<Case> cases = {
      {"plain ascii", "plain ascii"},
      {"你好", "\xC4\xE3\xBA\xC3"},
      {"《晴天》", "\xA1\xB6\xC7\xE7\xCC\xEC\xA1\xB7"},
      {"周杰伦　Jay", "\xD6\xDC\xBD\xDC\xC2\xD7\xA1\xA1Jay"},
      {"", ""},
  };
  for (const Case& text : cases) {
    SCOPED_TRACE(text.utf8);
    const int row = controls.insert_row(ListView::CommentList);
    controls.set_cell_text(ListView::CommentList, row, 2, text.gbk);
    EXPECT_EQ(window.comment_list().model()->index(row, 2).data().toString(),
              QString::fromUtf8(text.utf8));
    EXPECT_EQ(controls.cell_text(ListView::CommentList, row, 2), text.gbk);
  }
}

TEST_F(ControlOperationsTest, TextEndsAtItsFirstZeroByte) {
  controls.insert_row(ListView::SongList);
  controls.set_cell_text(ListView::SongList, 0, 1, std::string("ab\0cd", 5));
  EXPECT_EQ(controls.cell_text(ListView::SongList, 0, 1), "ab");
  controls.set_text(TextControl::ContentBox, std::string("first\0second", 12));
  EXPECT_EQ(window.content_box().toPlainText(), QStringLiteral("first"));
}

TEST_F(ControlOperationsTest, EmptyTextEmptiesACell) {
  add_filled_row(ListView::SongList, 5);
  controls.set_cell_text(ListView::SongList, 0, 2, "");
  EXPECT_EQ(controls.cell_text(ListView::SongList, 0, 2), "");
  EXPECT_EQ(controls.cell_text(ListView::SongList, 0, 1), "r0c1");
}

TEST_F(ControlOperationsTest, SetTextReplacesTheWholeText) {
  struct Case {
    TextControl control;
    std::string gbk;
    QString shown;
  };
  const std::vector<Case> cases = {
      {TextControl::NicknameLabel, gbk("云村用户"), QString::fromUtf8("云村用户")},
      {TextControl::NicknameLabel, "<b>bold?</b>", QStringLiteral("<b>bold?</b>")},
      {TextControl::NicknameLabel, "", QString()},
      {TextControl::ContentBox, gbk("第一行\r\n《晴天》"), QString::fromUtf8("第一行\n《晴天》")},
      {TextControl::ContentBox, gbk("另一条"), QString::fromUtf8("另一条")},
      {TextControl::ContentBox, "", QString()},
  };
  for (const Case& text : cases) {
    SCOPED_TRACE(text.shown.toStdString());
    controls.set_text(text.control, text.gbk);
    if (text.control == TextControl::NicknameLabel) {
      EXPECT_EQ(window.nickname_label().text(), text.shown);
    } else {
      EXPECT_EQ(window.content_box().toPlainText(), text.shown);
    }
  }
}

TEST_F(ControlOperationsTest, RowImageShowsTheEmblemInTheFirstColumnOnly) {
  for (int row = 0; row < 3; ++row) {
    add_filled_row(ListView::CommentList, 6);
  }
  controls.set_row_image(ListView::CommentList, 0, 0);
  controls.set_row_image(ListView::CommentList, 2, 7);  // no such image

  const QAbstractItemModel& model = *window.comment_list().model();
  const auto image_at = [&model](int row, int column) {
    return model.index(row, column).data(Qt::DecorationRole).value<QPixmap>().toImage();
  };

  const QImage emblem = image_at(0, 0);
  ASSERT_EQ(emblem.size(), QSize(20, 20));
  EXPECT_TRUE(emblem.hasAlphaChannel());
  EXPECT_EQ(qAlpha(emblem.pixel(0, 0)), 0);
  EXPECT_EQ(qAlpha(emblem.pixel(10, 2)), 255);
  EXPECT_TRUE(image_at(0, 1).isNull());

  for (int row : {1, 2}) {
    SCOPED_TRACE(row);
    const QImage none = image_at(row, 0);
    // The space is kept so that the texts line up, but nothing is drawn there.
    EXPECT_EQ(none.size(), QSize(20, 20));
    EXPECT_EQ(qAlpha(none.pixel(10, 10)), 0);
    EXPECT_EQ(qAlpha(none.pixel(10, 2)), 0);
  }

  EXPECT_GE(window.comment_list().iconSize().height(), 20);
  for (int row = 0; row < 3; ++row) {
    EXPECT_GE(window.comment_list().rowHeight(row), 20) << row;
  }
  controls.insert_row(ListView::SongList);
  EXPECT_FALSE(window.song_list().model()->index(0, 0).data(Qt::DecorationRole).isValid());
}

TEST_F(ControlOperationsTest, DeleteAllRowsEmptiesTheListAndItsSelection) {
  for (int row = 0; row < 4; ++row) {
    add_filled_row(ListView::CommentList, 6);
  }
  window.comment_list().selectRow(2);
  ASSERT_EQ(controls.selected_row(ListView::CommentList), 2);

  controls.delete_all_rows(ListView::CommentList);
  EXPECT_EQ(controls.row_count(ListView::CommentList), 0);
  EXPECT_EQ(controls.selected_row(ListView::CommentList), -1);
  EXPECT_EQ(controls.cell_text(ListView::CommentList, 0, 0), "");
  EXPECT_EQ(controls.insert_row(ListView::CommentList), 0);
}

TEST_F(ControlOperationsTest, BusyCursorIsSetOnceAndRestored) {
  ASSERT_EQ(QApplication::overrideCursor(), nullptr);
  controls.set_busy(true);
  controls.set_busy(true);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  controls.set_busy(false);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  controls.set_busy(false);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  {
    WindowControls other(window);
    other.set_busy(true);
  }
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ControlOperationsTest, BytesThatAreNoPictureClearTheAvatar) {
  const std::vector<Bytes> not_pictures = {
      {},
      {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A},  // seven bytes of a JPEG header
      bytes_from_text("<html><body><h1>404 Not Found</h1></body></html>"),
      {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 0},  // a PNG cut short
  };
  QImage image(8, 8, QImage::Format_ARGB32);
  image.fill(Qt::white);
  for (const Bytes& bytes : not_pictures) {
    window.avatar_box().show_image(image);
    ASSERT_TRUE(window.avatar_box().has_picture());
    controls.set_picture(bytes);
    EXPECT_FALSE(window.avatar_box().has_picture()) << bytes.size() << " bytes";
  }
}

}  // namespace
}  // namespace hc::testing
