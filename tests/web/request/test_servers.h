#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace hc::test {

// What a raw server does with one connection after it has read the request.
struct RawReply {
  enum class Then { close, reset, stall };
  std::string bytes;  // written as they are
  Then then = Then::close;
};

// A server on 127.0.0.1 that records every request's exact bytes (head, and a body as long as
// its Content-Length) and answers each connection with the next reply; the last one repeats.
class RawServer {
 public:
  explicit RawServer(std::vector<RawReply> replies);
  explicit RawServer(std::string reply) : RawServer(std::vector<RawReply>{{std::move(reply)}}) {}
  ~RawServer();
  RawServer(const RawServer&) = delete;
  RawServer& operator=(const RawServer&) = delete;

  int port() const { return port_; }
  std::string url(std::string_view path) const;
  std::vector<std::string> requests() const;
  // The first request, or empty when none came.
  std::string request() const;

 private:
  void serve();
  void handle(int client, const RawReply& reply);

  std::vector<RawReply> replies_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

// A port on 127.0.0.1 that refuses connections while this object lives.
class ClosedPort {
 public:
  ClosedPort();
  ~ClosedPort();
  ClosedPort(const ClosedPort&) = delete;
  ClosedPort& operator=(const ClosedPort&) = delete;
  int port() const { return port_; }

 private:
  int socket_ = -1;
  int port_ = 0;
};

// Runs a cpp-httplib server (plain or TLS) on 127.0.0.1 on a thread of its own.
class HttpServer {
 public:
  explicit HttpServer(std::unique_ptr<httplib::Server> server);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  httplib::Server& operator*() { return *server_; }
  int port() const { return port_; }

 private:
  std::unique_ptr<httplib::Server> server_;
  int port_ = 0;
  std::thread thread_;
};

// Certificates made for the tests: a certificate authority, a server certificate it signed
// for 127.0.0.1, one it signed for another name, and a self-signed stranger.
struct TestCertificates {
  static std::string directory();
  static std::string authority() { return directory() + "/ca.pem"; }
  static std::string server() { return directory() + "/server.pem"; }
  static std::string server_key() { return directory() + "/server-key.pem"; }
  static std::string other_name() { return directory() + "/other-name.pem"; }
  static std::string other_name_key() { return directory() + "/other-name-key.pem"; }
  static std::string stranger() { return directory() + "/stranger.pem"; }
  static std::string stranger_key() { return directory() + "/stranger-key.pem"; }
};

std::unique_ptr<httplib::Server> make_tls_server(const std::string& certificate,
                                                 const std::string& key);

}  // namespace hc::test
