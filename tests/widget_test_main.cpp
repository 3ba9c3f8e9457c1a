#include <QApplication>

#include <gtest/gtest.h>

// Widget tests need one QApplication for the whole program. Without a display they draw on
// Qt's offscreen platform, also when CTest lists the cases.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
