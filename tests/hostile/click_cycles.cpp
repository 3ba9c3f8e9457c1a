// click_cycles [--cycles N] [--keep-songs]
//
// The real window (offscreen) against the demo service on 127.0.0.1, clicked as a user would,
// N times over (1000 unless given): the button (a 200-song chart), a song (its comments), a
// comment (its avatar). Prints the resident memory at a few cycles and the growth from the
// 100th cycle to the last. Used for the memory figures, and under the sanitizers' leak checker
// as the soak. The service runs in a child process, so that the memory measured is the
// program's alone.
//
// SongList never loses a row in the program: every click on the button appends the chart
// again. To see whether a cycle leaves anything behind, each cycle starts from an empty
// SongList; --keep-songs keeps the rows instead and shows what the growing list costs.
//
// Exit status 0 when every cycle listed what the service sent, 1 otherwise, 2 for bad
// arguments.

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/avatar_box.h"
#include "app/list_view_widget.h"
#include "app/main_window.h"
#include "app/window_controls.h"
#include "tests/hostile/live_heap.h"
#include "tools/demo_data.h"
#include "tools/demo_service.h"
#include "workflow/workflow.h"

namespace hc {
namespace {

constexpr int chart_size = 200;

struct Options {
  int cycles = 1000;
  bool keep_songs = false;
};

bool parse_options(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--keep-songs") {
      options.keep_songs = true;
    } else if (argument == "--cycles" && i + 1 < argc) {
      const std::string_view value = argv[++i];
      const auto [end, error] =
          std::from_chars(value.data(), value.data() + value.size(), options.cycles);
      if (error != std::errc() || end != value.data() + value.size() || options.cycles < 1) {
        return false;
      }
    } else {
      return false;
    }
  }
  return true;
}

// The resident set of this process in kB, from /proc/self/status.
long resident_kb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with("VmRSS:")) {
      return std::stol(line.substr(6));
    }
  }
  return -1;
}

bool is_reported_cycle(int cycle, int last) {
  return cycle == 1 || cycle == 10 || cycle == 100 || cycle == last || cycle % 250 == 0;
}

class Cycles {
 public:
  explicit Cycles(const std::string& root_url) : workflow_(controls_, settings_for_root(root_url)) {
    // Wired as the program wires them.
    QObject::connect(&window_, &MainWindow::fetch_button_clicked,
                     [this] { workflow_.load_chart(); });
    QObject::connect(&window_, &MainWindow::song_list_clicked,
                     [this] { workflow_.load_hot_comments(); });
    QObject::connect(&window_, &MainWindow::comment_list_clicked,
                     [this] { workflow_.show_comment(); });
  }

  bool show() { return window_.show_centred() && QTest::qWaitForWindowExposed(&window_); }

  // One round of the three clicks; false when a list did not get what the service sent.
  bool run(int cycle, bool keep_songs) {
    if (!keep_songs) {
      controls_.delete_all_rows(ListView::SongList);
    }
    const int first = controls_.row_count(ListView::SongList);
    QTest::mouseClick(&window_.fetch_button(), Qt::LeftButton);
    idle();
    if (controls_.row_count(ListView::SongList) != first + chart_size) {
      std::fprintf(stderr, "cycle %d: the chart was not listed\n", cycle);
      return false;
    }
    const int song = cycle % chart_size;
    click_row(window_.song_list(), first + song);
    const demo::Thread thread =
        demo::thread_comments(demo::chart_songs()[song].comment_thread_id());
    const int comments = static_cast<int>(thread.hot.size() + thread.plain.size());
    if (controls_.row_count(ListView::CommentList) != comments) {
      std::fprintf(stderr, "cycle %d: the comments were not listed\n", cycle);
      return false;
    }
    click_row(window_.comment_list(), cycle % comments);
    if (window_.nickname_label().text().isEmpty()) {
      std::fprintf(stderr, "cycle %d: the comment was not shown\n", cycle);
      return false;
    }
    return true;
  }

  int song_rows() const { return controls_.row_count(ListView::SongList); }

 private:
  static void click_row(ListViewWidget& list, int row) {
    const QModelIndex index = list.model()->index(row, 0);
    list.scrollTo(index);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(index).center());
    idle();
  }

  // What the message loop does between two clicks: the events the click posted, the repaint.
  static void idle() { QApplication::processEvents(); }

  MainWindow window_;
  WindowControls controls_{window_};
  Workflow workflow_;
};

// The demo service with a 200-song chart, in a child process that ends when the parent closes
// the pipe it holds (or ends itself).
class ServiceProcess {
 public:
  ~ServiceProcess() { stop(); }

  // Forks; call it while the process has no other thread. The port, or nothing.
  std::optional<int> start() {
    int port_pipe[2];
    int stop_pipe[2];
    if (::pipe(port_pipe) != 0 || ::pipe(stop_pipe) != 0) {
      return std::nullopt;
    }
    child_ = ::fork();
    if (child_ < 0) {
      return std::nullopt;
    }
    if (child_ == 0) {
      ::close(port_pipe[0]);
      ::close(stop_pipe[1]);
      std::exit(serve(port_pipe[1], stop_pipe[0]));
    }
    ::close(port_pipe[1]);
    ::close(stop_pipe[0]);
    stop_fd_ = stop_pipe[1];
    int port = 0;
    const bool told = ::read(port_pipe[0], &port, sizeof port) == sizeof port;
    ::close(port_pipe[0]);
    return told ? std::optional<int>(port) : std::nullopt;
  }

  // True when the service ended cleanly.
  bool stop() {
    if (child_ <= 0) {
      return true;
    }
    ::close(stop_fd_);
    int status = 0;
    ::waitpid(child_, &status, 0);
    child_ = 0;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

 private:
  static int serve(int port_fd, int stop_fd) {
    DemoService service;
    if (!service.start()) {
      return 1;
    }
    const std::vector<demo::Song> songs(demo::chart_songs().begin(),
                                        demo::chart_songs().begin() + chart_size);
    service.set_answer("/discover/toplist",
                       {200, "text/html; charset=utf-8", demo::chart_page(songs)});
    const int port = service.port();
    if (::write(port_fd, &port, sizeof port) != sizeof port) {
      return 1;
    }
    ::close(port_fd);
    // Until the parent closes its end. The service keeps every request it saw; they go now
    // and then.
    for (;;) {
      pollfd entry{stop_fd, POLLIN, 0};
      if (::poll(&entry, 1, 1000) != 0) {
        break;
      }
      service.clear_requests();
    }
    service.stop();
    return 0;
  }

  pid_t child_ = 0;
  int stop_fd_ = -1;
};

int run(const Options& options, const std::string& root_url) {
  Cycles cycles(root_url);
  if (!cycles.show()) {
    std::fprintf(stderr, "click_cycles: the window was not shown\n");
    return 1;
  }
  std::printf("%d cycles of chart (%d songs), song and comment clicks%s\n", options.cycles,
              chart_size, options.keep_songs ? ", song rows kept" : "");
  long rss_at_100 = -1;
  for (int cycle = 1; cycle <= options.cycles; ++cycle) {
    if (!cycles.run(cycle, options.keep_songs)) {
      return 1;
    }
    if (is_reported_cycle(cycle, options.cycles)) {
      const long rss = resident_kb();
      std::printf("cycle %5d: resident %7ld kB, heap in use %7zu kB, %7d song rows\n", cycle, rss,
                  hostile::live_heap_bytes() / 1024, cycles.song_rows());
      std::fflush(stdout);
      if (cycle == 100) {
        rss_at_100 = rss;
      }
    }
  }
  if (rss_at_100 >= 0) {
    std::printf("growth from cycle 100 to %d: %ld kB\n", options.cycles,
                resident_kb() - rss_at_100);
  }
  return 0;
}

}  // namespace
}  // namespace hc

int main(int argc, char** argv) {
  hc::Options options;
  if (!hc::parse_options(argc, argv, options)) {
    std::fprintf(stderr, "usage: %s [--cycles N] [--keep-songs]\n", argv[0]);
    return 2;
  }
  hc::ServiceProcess service;
  const std::optional<int> port = service.start();
  if (!port) {
    std::fprintf(stderr, "click_cycles: the demo service did not start\n");
    return 1;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int status = 0;
  {
    QApplication application(argc, argv);
    status = hc::run(options, "http://127.0.0.1:" + std::to_string(*port));
  }
  if (!service.stop()) {
    std::fprintf(stderr, "click_cycles: the demo service did not end cleanly\n");
    return 1;
  }
  return status;
}
