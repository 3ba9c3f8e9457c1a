#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace hc {

// One request as it arrived at the demo service.
struct RecordedRequest {
  std::string method;
  std::string target;                     // path and query, as sent
  std::vector<std::string> header_lines;  // in the order they came, without line breaks
  std::string body;

  // The value of the first header line with that name (letter case ignored), blanks trimmed.
  std::optional<std::string> header(std::string_view name) const;
  std::string path() const;  // target without its query
};

// A fixed answer a test puts in place of the generated one.
struct DemoAnswer {
  int status = 200;
  std::string content_type = "text/html; charset=utf-8";
  std::string body;
};

// Plays the music service on 127.0.0.1 over plain HTTP: the hot-songs chart page, the comment
// API for every thread id, and avatar pictures (PNG and JPEG, and one address that answers
// 404). Every request is recorded, and logged when a log is set.
class DemoService {
 public:
  DemoService();
  ~DemoService();
  DemoService(const DemoService&) = delete;
  DemoService& operator=(const DemoService&) = delete;

  // Listens on 127.0.0.1; port 0 takes a free one. False when it cannot listen.
  bool start(int port = 0);
  void stop();

  int port() const;
  std::string root_url() const;  // "http://127.0.0.1:<port>"

  // Each request line, its header lines in order and its body length go here as they arrive.
  void set_log(std::ostream* log);

  // What a path (without query) answers from now on, whatever the method.
  void set_answer(std::string path, DemoAnswer answer);

  std::vector<RecordedRequest> requests() const;
  void clear_requests();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace hc
