// The helpers on texts of growing size, and whole requests against a server on 127.0.0.1.

#include <benchmark/benchmark.h>
#include <httplib.h>

#include <chrono>
#include <string>
#include <thread>

#include "web/cookies.h"
#include "web/headers.h"
#include "web/web_request.h"

namespace {

std::string cookie_text(int items, const char* prefix) {
  std::string text;
  for (int i = 0; i < items; ++i) {
    text += (i == 0 ? "" : "; ") + std::string(prefix) + std::to_string(i) + "=value" +
            std::to_string(i);
  }
  return text;
}

void merge_cookies(benchmark::State& state) {
  const auto items = static_cast<int>(state.range(0));
  const std::string old_cookies = cookie_text(items, "name");
  const std::string new_cookies =
      cookie_text(items / 2, "name") + "; " + cookie_text(items / 2, "other");
  for (auto _ : state) {
    std::string old_copy = old_cookies;
    benchmark::DoNotOptimize(hc::merge_cookie_text(old_copy, new_cookies));
  }
  state.SetComplexityN(items);
}
BENCHMARK(merge_cookies)->RangeMultiplier(4)->Range(16, 4096)->Complexity();

void normalize_headers(benchmark::State& state) {
  std::string block;
  for (int64_t i = 0; i < state.range(0); ++i) {
    block += "x-requested-with-number-" + std::to_string(i) + ": some value\r\n";
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(hc::normalize_header_names(block));
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(normalize_headers)->RangeMultiplier(4)->Range(16, 4096)->Complexity();

void collect_cookies(benchmark::State& state) {
  std::string block = "HTTP/1.1 200 OK\r\n";
  for (int i = 0; block.size() < 4900; ++i) {
    block += "Set-Cookie: c" + std::to_string(i) + "=v; Path=/; HttpOnly\r\n";
  }
  block += "\r\n";
  for (auto _ : state) {
    benchmark::DoNotOptimize(hc::collect_set_cookies(block));
  }
}
BENCHMARK(collect_cookies);

// One GET of a body of the given size from a local server, read in 1024-byte chunks.
void request_body(benchmark::State& state) {
  const std::string body(static_cast<std::size_t>(state.range(0)), 'b');
  httplib::Server server;
  server.Get("/body", [&body](const httplib::Request&, httplib::Response& response) {
    response.set_content(body, "application/octet-stream");
  });
  const int port = server.bind_to_any_port("127.0.0.1");
  std::thread thread([&server] { server.listen_after_bind(); });
  while (!server.is_running()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  for (auto _ : state) {
    hc::WebRequest request;
    request.url = "http://127.0.0.1:" + std::to_string(port) + "/body";
    request.send_cookies = "";
    if (hc::web_request(request).size() != body.size()) {
      state.SkipWithError("short body");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
  server.stop();
  thread.join();
}
BENCHMARK(request_body)->Arg(1024)->Arg(1 << 20)->Arg(20 << 20)->Unit(benchmark::kMillisecond);

}  // namespace
