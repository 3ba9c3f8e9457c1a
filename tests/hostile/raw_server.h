#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace hc::hostile {

// A bare HTTP server on 127.0.0.1 for answers that no well-behaved server gives: a body sent a
// byte at a time, a connection reset half-way, a header block of any size. Each connection
// carries one request; its head and Content-Length body are read, recorded and handed to the
// reply chosen by the path, which writes whatever bytes it likes. Connections are served one
// after the other on one thread, as the program only ever has one request open.

struct ReceivedRequest {
  std::string method;
  std::string target;  // path and query, as sent
  std::string head;    // request line and header lines, up to and including the empty line
  std::string body;

  std::string path() const;  // the target without its query
  // Whether the head has a header line of this name (letter case ignored).
  bool has_header(std::string_view name) const;
};

// One accepted connection, as a reply sees it.
class RawConnection {
 public:
  RawConnection(int fd, const std::atomic<bool>& stopping) : fd_(fd), stopping_(stopping) {}

  // Writes every byte; false when the peer has gone or has read nothing for ten seconds.
  bool send(std::string_view bytes);
  // Waits for the time given. Ends early, with false, when the peer closes the connection or
  // the server stops.
  bool pause(std::chrono::milliseconds duration);
  // Ends the connection with a TCP reset instead of an orderly close.
  void reset();
  bool was_reset() const { return reset_; }

 private:
  int fd_;
  const std::atomic<bool>& stopping_;
  bool reset_ = false;
};

using Reply = std::function<void(RawConnection&, const ReceivedRequest&)>;

// A whole response: the status line, the header lines given (each ending in CRLF), a
// Content-Length line, "Connection: close", the empty line and the body.
std::string http_response(int status, std::string_view content_type, std::string_view body,
                          std::string_view extra_header_lines = {});

// A reply that sends these bytes and closes.
Reply send_bytes(std::string bytes);

class RawServer {
 public:
  RawServer();
  ~RawServer();
  RawServer(const RawServer&) = delete;
  RawServer& operator=(const RawServer&) = delete;

  // Listens on a free port of 127.0.0.1. False when it cannot.
  bool start();
  void stop();

  int port() const;
  std::string root_url() const;  // "http://127.0.0.1:<port>"

  // The reply for every path that starts with this prefix (the longest prefix wins); other
  // paths get a 404 page.
  void set_reply(std::string path_prefix, Reply reply);
  void clear_replies();

  std::vector<ReceivedRequest> requests() const;
  void clear_requests();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace hc::hostile
