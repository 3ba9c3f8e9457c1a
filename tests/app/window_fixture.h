#pragma once

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/window_controls.h"
#include "text/gbk.h"

namespace hc::testing {

// The real window, shown, with the control operations the handlers use.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window.show_centred());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }

  void activate() {
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  }

  // A control by its name in the design, or null.
  template <typename Widget = QWidget>
  Widget* control(const char* name) {
    return window.findChild<Widget*>(QString::fromLatin1(name));
  }

  MainWindow window;
  WindowControls controls{window};
};

// Source files are UTF-8; the control operations take GBK.
inline std::string gbk(const char* utf8) {
  return utf8_to_gbk(utf8);
}

}  // namespace hc::testing
