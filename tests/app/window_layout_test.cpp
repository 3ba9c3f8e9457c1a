#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <vector>

#include "app/avatar_box.h"
#include "app/list_view_widget.h"
#include "tests/app/window_fixture.h"

namespace hc::testing {
namespace {

TEST_F(WindowTest, IsFixedCentredAndPlain) {
  EXPECT_EQ(window.minimumSize(), QSize(888, 528));
  EXPECT_EQ(window.maximumSize(), QSize(888, 528));
  EXPECT_EQ(window.size(), QSize(888, 528));
  EXPECT_TRUE(window.windowTitle().isEmpty());

  const Qt::WindowFlags flags = window.windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowStaysOnTopHint));

  const QRect screen = window.screen()->geometry();
  EXPECT_EQ(window.frameGeometry().topLeft(),
            QPoint((screen.width() - 888) / 2, (screen.height() - 528) / 2));

  EXPECT_EQ(window.palette().color(window.backgroundRole()),
            QApplication::palette().color(QPalette::Button));
  EXPECT_EQ(window.font(), QApplication::font());
}

TEST_F(WindowTest, ControlsSitWhereTheDesignPutsThem) {
  struct Placement {
    const char* name;
    const char* parent;
    QRect geometry;
  };
  const std::vector<Placement> placements = {
      {"NoteLabel", "DetailsGroup", {544, 24, 136, 144}},
      {"FetchButton", "MainWindow", {736, 424, 80, 32}},
      {"ContentBox", "DetailsGroup", {88, 48, 448, 120}},
      {"NicknameLabel", "DetailsGroup", {88, 16, 176, 32}},
      {"AvatarBox", "DetailsGroup", {16, 24, 64, 56}},
      {"DetailsGroup", "MainWindow", {8, 352, 688, 176}},
      {"CommentList", "MainWindow", {344, 0, 544, 352}},
      {"ArrowLabel", "MainWindow", {312, 128, 32, 32}},
      {"SongList", "MainWindow", {0, 0, 304, 352}},
  };
  for (const Placement& placement : placements) {
    SCOPED_TRACE(placement.name);
    QWidget* widget = control(placement.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget()->objectName(), QString::fromLatin1(placement.parent));
    EXPECT_EQ(widget->geometry(), placement.geometry);
    EXPECT_TRUE(widget->isVisible());
    EXPECT_TRUE(widget->isEnabled());
  }
}

TEST_F(WindowTest, TextsAtStart) {
  EXPECT_EQ(control<QPushButton>("FetchButton")->text(), QString::fromUtf8("获取热门歌曲"));
  EXPECT_EQ(control<QGroupBox>("DetailsGroup")->title(), QString::fromUtf8("详情："));
  EXPECT_EQ(control<QLabel>("ArrowLabel")->text(), QString::fromUtf8("=>"));
  EXPECT_FALSE(control<QLabel>("NicknameLabel")->text().isEmpty());
  EXPECT_EQ(control<QLabel>("NoteLabel")->text().count(QLatin1Char('\n')), 1);
  EXPECT_TRUE(control<QPlainTextEdit>("ContentBox")->toPlainText().isEmpty());
  EXPECT_FALSE(window.avatar_box().has_picture());
}

TEST_F(WindowTest, LabelsHaveTheirFontsAndShowTextAsIs) {
  struct LabelStyle {
    const char* name;
    int pixel_size;
    bool fills_background;
  };
  const std::vector<LabelStyle> styles = {
      {"NicknameLabel", 20, false},
      {"NoteLabel", 21, false},
      {"ArrowLabel", 24, true},
  };
  for (const LabelStyle& style : styles) {
    SCOPED_TRACE(style.name);
    QLabel* label = control<QLabel>(style.name);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->font().pixelSize(), style.pixel_size);
    EXPECT_EQ(label->font().family(), QApplication::font().family());
    EXPECT_EQ(label->font().weight(), QFont::Normal);
    EXPECT_EQ(label->autoFillBackground(), style.fills_background);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::black));
    // Nicknames come from the network: markup in them is shown, never interpreted.
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
  }
  EXPECT_EQ(control<QLabel>("ArrowLabel")->palette().color(QPalette::Window),
            window.palette().color(QPalette::Button));
}

TEST_F(WindowTest, FetchButtonIsAnOrdinaryButton) {
  QPushButton* button = control<QPushButton>("FetchButton");
  ASSERT_NE(button, nullptr);
  EXPECT_FALSE(button->isDefault());
  EXPECT_FALSE(button->autoDefault());
  EXPECT_EQ(button->font(), QApplication::font());
}

TEST_F(WindowTest, ContentBoxWrapsAndTakesTypedLines) {
  QPlainTextEdit* box = control<QPlainTextEdit>("ContentBox");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->lineWrapMode(), QPlainTextEdit::WidgetWidth);
  EXPECT_EQ(box->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
  EXPECT_EQ(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_EQ(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(box->frameShadow(), QFrame::Sunken);
  EXPECT_EQ(box->palette().color(QPalette::Base), QColor(Qt::white));
  EXPECT_EQ(box->palette().color(QPalette::Text), QColor(Qt::black));

  activate();
  box->setFocus();
  QTest::keyClicks(box, QStringLiteral("first"));
  QTest::keyClick(box, Qt::Key_Return);
  QTest::keyClicks(box, QStringLiteral("second"));
  EXPECT_EQ(box->toPlainText(), QStringLiteral("first\nsecond"));
  EXPECT_EQ(window.song_list().model()->rowCount(), 0);
}

TEST_F(WindowTest, ContentBoxShowsItsSelectionOnlyWithTheFocus) {
  QPlainTextEdit& box = window.content_box();
  box.setPlainText(QStringLiteral("selected words"));
  activate();
  window.fetch_button().setFocus();
  const QImage unselected = box.viewport()->grab().toImage();

  box.selectAll();
  EXPECT_EQ(box.viewport()->grab().toImage(), unselected);
  box.setFocus();
  ASSERT_TRUE(box.hasFocus());
  EXPECT_NE(box.viewport()->grab().toImage(), unselected);
}

TEST_F(WindowTest, TabVisitsOnlyTheFourFocusableControls) {
  activate();
  window.fetch_button().setFocus();
  ASSERT_EQ(QApplication::focusWidget(), &window.fetch_button());

  QStringList visited;
  for (int press = 0; press < 4; ++press) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited << QApplication::focusWidget()->objectName();
  }
  EXPECT_EQ(visited, (QStringList{"ContentBox", "CommentList", "SongList", "FetchButton"}));

  for (const char* name :
       {"NoteLabel", "NicknameLabel", "AvatarBox", "DetailsGroup", "ArrowLabel"}) {
    EXPECT_EQ(control(name)->focusPolicy(), Qt::NoFocus) << name;
  }
}

struct ColumnDesign {
  QString title;
  Qt::Alignment alignment;
  int width;
};

void expect_columns(const ListViewWidget& list, const std::vector<ColumnDesign>& design) {
  const QAbstractItemModel& model = *list.model();
  ASSERT_EQ(model.columnCount(), static_cast<int>(design.size()));
  for (int column = 0; column < model.columnCount(); ++column) {
    SCOPED_TRACE(column);
    const ColumnDesign& expected = design[static_cast<std::size_t>(column)];
    EXPECT_EQ(model.headerData(column, Qt::Horizontal).toString(), expected.title);
    const auto alignment =
        model.headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>();
    EXPECT_EQ(alignment & Qt::AlignHorizontal_Mask, expected.alignment);
    EXPECT_EQ(list.columnWidth(column), expected.width);
    EXPECT_EQ(list.isColumnHidden(column), expected.width == 0);
  }
}

TEST_F(WindowTest, SongListColumns) {
  expect_columns(window.song_list(), {
                                         {"序号", Qt::AlignLeft, 50},
                                         {"作者", Qt::AlignLeft, 50},
                                         {"标题", Qt::AlignHCenter, 200},
                                         {"id", Qt::AlignLeft, 0},
                                         {"commentThreadId", Qt::AlignLeft, 0},
                                     });
}

TEST_F(WindowTest, CommentListColumns) {
  expect_columns(window.comment_list(), {
                                            {"序号", Qt::AlignLeft, 50},
                                            {"评论人", Qt::AlignHCenter, 100},
                                            {"内容", Qt::AlignHCenter, 200},
                                            {"时间", Qt::AlignLeft, 150},
                                            {"头像地址", Qt::AlignLeft, 0},
                                            {"赞", Qt::AlignLeft, 50},
                                        });
}

TEST_F(WindowTest, ListsAreSingleRowReportsThatNeitherEditNorSort) {
  for (ListViewWidget* list : {&window.song_list(), &window.comment_list()}) {
    SCOPED_TRACE(list->objectName().toStdString());
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_TRUE(list->showGrid());
    EXPECT_FALSE(list->isSortingEnabled());
    EXPECT_TRUE(list->horizontalHeader()->isVisible());
    EXPECT_TRUE(list->horizontalHeader()->sectionsClickable());
    EXPECT_FALSE(list->horizontalHeader()->sectionsMovable());
    EXPECT_FALSE(list->verticalHeader()->isVisible());
    EXPECT_EQ(list->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(list->model()->rowCount(), 0);
    EXPECT_EQ(list->selected_row(), -1);
  }
}

TEST_F(WindowTest, ClosingTheWindowEndsTheLoopWithExitCodeZero) {
  QTimer::singleShot(0, &window, [this] { window.close(); });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace hc::testing
