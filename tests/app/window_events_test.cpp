#include <QHeaderView>
#include <QPushButton>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "app/list_view_widget.h"
#include "tests/app/window_fixture.h"

namespace hc::testing {
namespace {

// Records every click event with the row each list had selected when the handler ran.
class WindowEventsTest : public WindowTest {
 protected:
  struct Call {
    ListView list;
    int selected_row;
    bool operator==(const Call&) const = default;
    friend void PrintTo(const Call& call, std::ostream* out) {
      *out << (call.list == ListView::SongList ? "SongList" : "CommentList") << " sees row "
           << call.selected_row;
    }
  };

  void SetUp() override {
    WindowTest::SetUp();
    activate();
    for (int row = 0; row < 3; ++row) {
      for (ListView list : {ListView::SongList, ListView::CommentList}) {
        controls.insert_row(list);
        controls.set_cell_text(list, row, 0, std::to_string(row + 1));
      }
    }
    QObject::connect(&window, &MainWindow::song_list_clicked, [this] {
      calls.push_back({ListView::SongList, controls.selected_row(ListView::SongList)});
    });
    QObject::connect(&window, &MainWindow::comment_list_clicked, [this] {
      calls.push_back({ListView::CommentList, controls.selected_row(ListView::CommentList)});
    });
  }

  ListViewWidget& widget(ListView list) {
    return list == ListView::SongList ? window.song_list() : window.comment_list();
  }

  QPoint row_centre(ListView list, int row) {
    return widget(list).visualRect(widget(list).model()->index(row, 0)).center();
  }

  QPoint below_the_rows(ListView list) {
    const QWidget& viewport = *widget(list).viewport();
    return {20, viewport.height() - 10};
  }

  std::vector<Call> calls;
};

TEST_F(WindowEventsTest, EveryLeftClickRaisesTheListsEventAfterTheSelectionMoved) {
  for (ListView list : {ListView::SongList, ListView::CommentList}) {
    SCOPED_TRACE(list == ListView::SongList ? "SongList" : "CommentList");
    calls.clear();
    QWidget* viewport = widget(list).viewport();

    QTest::mouseClick(viewport, Qt::LeftButton, {}, row_centre(list, 1));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, row_centre(list, 2));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, row_centre(list, 2));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, below_the_rows(list));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, below_the_rows(list));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, row_centre(list, 0));

    const std::vector<Call> expected = {{list, 1},  {list, 2},  {list, 2},
                                        {list, -1}, {list, -1}, {list, 0}};
    EXPECT_EQ(calls, expected);
  }
}

TEST_F(WindowEventsTest, KeyboardRightClicksAndHeaderClicksRaiseNothing) {
  struct Case {
    const char* what;
    std::function<void(ListViewWidget&)> act;
    int selected_after;  // starting from row 1 selected
  };
  const std::vector<Case> cases = {
      {"key down", [](ListViewWidget& list) { QTest::keyClick(&list, Qt::Key_Down); }, 2},
      {"key up", [](ListViewWidget& list) { QTest::keyClick(&list, Qt::Key_Up); }, 0},
      {"right click on a row",
       [this](ListViewWidget& list) {
         const ListView which =
             &list == &window.song_list() ? ListView::SongList : ListView::CommentList;
         QTest::mouseClick(list.viewport(), Qt::RightButton, {}, row_centre(which, 2));
       },
       2},
      {"click on a column header",
       [](ListViewWidget& list) {
         QHeaderView& header = *list.horizontalHeader();
         const QPoint section(header.sectionViewportPosition(1) + 10, header.height() / 2);
         QTest::mouseClick(header.viewport(), Qt::LeftButton, {}, section);
       },
       1},
  };
  for (ListView list : {ListView::SongList, ListView::CommentList}) {
    for (const Case& action : cases) {
      SCOPED_TRACE(std::string(list == ListView::SongList ? "SongList: " : "CommentList: ") +
                   action.what);
      ListViewWidget& view = widget(list);
      view.setFocus();
      view.setCurrentIndex(view.model()->index(1, 0));
      ASSERT_EQ(controls.selected_row(list), 1);
      calls.clear();

      action.act(view);
      EXPECT_TRUE(calls.empty());
      EXPECT_EQ(controls.selected_row(list), action.selected_after);
    }
  }
}

TEST_F(WindowEventsTest, ButtonClickRaisesFetch) {
  int fetches = 0;
  QObject::connect(&window, &MainWindow::fetch_button_clicked, [&fetches] { ++fetches; });
  QTest::mouseClick(&window.fetch_button(), Qt::LeftButton);
  window.fetch_button().setFocus();
  QTest::keyClick(&window.fetch_button(), Qt::Key_Space);
  EXPECT_EQ(fetches, 2);
  EXPECT_TRUE(calls.empty());
}

TEST_F(WindowEventsTest, ASelectedRowIsDrawnOnlyWhileTheListHasTheFocus) {
  ListViewWidget& list = window.song_list();
  const QPoint cell = row_centre(ListView::SongList, 1) + QPoint(15, 0);
  list.selectRow(1);
  const auto colour_at_row = [&] { return list.viewport()->grab().toImage().pixelColor(cell); };

  // The palettes stay as they are: a new one would make the style draw and cache the header
  // and scroll bars anew on every change of focus.
  const qint64 palette_key = list.palette().cacheKey();
  const qint64 header_palette_key = list.horizontalHeader()->palette().cacheKey();

  window.fetch_button().setFocus();
  EXPECT_EQ(colour_at_row(), QColor(Qt::white));
  list.setFocus();
  EXPECT_EQ(colour_at_row(), list.palette().color(QPalette::Active, QPalette::Highlight));
  window.fetch_button().setFocus();
  EXPECT_EQ(colour_at_row(), QColor(Qt::white));
  EXPECT_EQ(list.palette().cacheKey(), palette_key);
  EXPECT_EQ(list.horizontalHeader()->palette().cacheKey(), header_palette_key);
}

}  // namespace
}  // namespace hc::testing
