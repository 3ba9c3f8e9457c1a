// The demo service on its own: hotcomments-demo-service [port]
// Prints "port <n>" once it listens (port 0 or none: any free port), logs every request to
// stderr, and runs until it is interrupted.

#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <thread>

#include "tools/demo_service.h"

namespace {

volatile std::sig_atomic_t stop_requested = 0;

void request_stop(int) {
  stop_requested = 1;
}

bool parse_port(std::string_view text, int& port) {
  if (text.empty() || text.size() > 5) {
    return false;
  }
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') {
      return false;
    }
    value = value * 10 + (c - '0');
  }
  port = value;
  return value <= 65535;
}

}  // namespace

int main(int argc, char** argv) {
  int port = 0;
  if (argc > 2 || (argc == 2 && !parse_port(argv[1], port))) {
    std::fprintf(stderr, "usage: %s [port]   (0 or none: any free port)\n", argv[0]);
    return 2;
  }
  hc::DemoService service;
  service.set_log(&std::cerr);
  if (!service.start(port)) {
    std::fprintf(stderr, "demo service: cannot listen on 127.0.0.1:%d\n", port);
    return 1;
  }
  std::signal(SIGINT, request_stop);
  std::signal(SIGTERM, request_stop);
  std::printf("port %d\n", service.port());
  std::fflush(stdout);
  std::fprintf(stderr, "demo service: %s\n", service.root_url().c_str());
  while (stop_requested == 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  service.stop();
  return 0;
}
