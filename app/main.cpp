#include <QApplication>
#include <QMessageBox>
#include <QWindow>

#include <cstdio>
#include <cstdlib>

#include "app/main_window.h"
#include "app/window_controls.h"
#include "workflow/workflow.h"

namespace {

void report_fatal(const char* message) {
  std::fprintf(stderr, "hotcomments: %s\n", message);
  if (QGuiApplication::primaryScreen() != nullptr) {
    QMessageBox::critical(nullptr, QString(), QString::fromUtf8(message));
  }
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const auto settings = hc::service_settings_from_command_line(argc, argv);
  if (!settings) {
    return 2;  // the message is on stderr
  }

  hc::MainWindow window;
  hc::WindowControls controls(window);
  hc::Workflow workflow(controls, *settings);

  QObject::connect(&window, &hc::MainWindow::fetch_button_clicked,
                   [&workflow] { workflow.load_chart(); });
  QObject::connect(&window, &hc::MainWindow::song_list_clicked,
                   [&workflow] { workflow.load_hot_comments(); });
  QObject::connect(&window, &hc::MainWindow::comment_list_clicked,
                   [&workflow] { workflow.show_comment(); });

  if (!window.show_centred()) {
    report_fatal("无法创建主窗口，程序退出。");
    return EXIT_FAILURE;
  }
  // For timing start-up (scripts/bench): leave once the window has been drawn for the first time.
  if (qEnvironmentVariableIsSet("HOTCOMMENTS_EXIT_WHEN_SHOWN")) {
    while (!window.windowHandle()->isExposed()) {
      QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    window.repaint();
    return 0;
  }
  return application.exec();
}
