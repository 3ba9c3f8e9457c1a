#include "tests/web/request/test_servers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include <gtest/gtest.h>

#include "text/rules.h"
#include "web/internet_testing.h"

namespace hc::test {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto connection_deadline = std::chrono::seconds(10);
constexpr auto stall_limit = std::chrono::seconds(40);

int listening_socket(int& port, bool listen_too) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) {
    throw std::runtime_error("socket");
  }
  const int yes = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      (listen_too && ::listen(fd, 16) != 0)) {
    ::close(fd);
    throw std::runtime_error("bind");
  }
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  port = ntohs(address.sin_port);
  return fd;
}

bool wait_readable(int fd, Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  if (left.count() <= 0) {
    return false;
  }
  pollfd entry{fd, POLLIN, 0};
  return ::poll(&entry, 1, static_cast<int>(std::min<long>(left.count(), 100))) > 0;
}

// The Content-Length of a request head, 0 when it has none.
std::size_t content_length(std::string_view head) {
  const std::string lower = to_lower_ascii(head);
  const auto at = lower.find("\r\ncontent-length:");
  if (at == std::string::npos) {
    return 0;
  }
  return std::strtoul(lower.c_str() + at + 17, nullptr, 10);
}

// Every test program trusts the test authority, as the layer allows for tests (checks stay
// on), and each test starts with an empty process cookie store.
class FreshCookieStore : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { internet_testing::clear_cookie_store(); }
};

class RequestTestEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    internet_testing::set_extra_ca_file(TestCertificates::authority());
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshCookieStore);
  }
};
[[maybe_unused]] ::testing::Environment* const request_test_environment =
    ::testing::AddGlobalTestEnvironment(new RequestTestEnvironment);

}  // namespace

RawServer::RawServer(std::vector<RawReply> replies) : replies_(std::move(replies)) {
  listener_ = listening_socket(port_, true);
  thread_ = std::thread([this] { serve(); });
}

RawServer::~RawServer() {
  stopping_ = true;
  thread_.join();
  ::close(listener_);
}

std::string RawServer::url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::vector<std::string> RawServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::string RawServer::request() const {
  std::lock_guard lock(mutex_);
  return requests_.empty() ? std::string() : requests_.front();
}

void RawServer::serve() {
  std::size_t served = 0;
  while (!stopping_) {
    pollfd entry{listener_, POLLIN, 0};
    if (::poll(&entry, 1, 50) <= 0) {
      continue;
    }
    const int client = ::accept(listener_, nullptr, nullptr);
    if (client < 0) {
      continue;
    }
    handle(client, replies_[std::min(served, replies_.size() - 1)]);
    ++served;
  }
}

void RawServer::handle(int client, const RawReply& reply) {
  const auto deadline = Clock::now() + connection_deadline;
  std::string received;
  std::size_t head_end = std::string::npos;
  while (!stopping_ && Clock::now() < deadline) {
    if (head_end != std::string::npos &&
        received.size() >= head_end + 4 + content_length(received.substr(0, head_end))) {
      break;
    }
    if (!wait_readable(client, deadline)) {
      continue;
    }
    char buffer[4096];
    const ssize_t count = ::recv(client, buffer, sizeof buffer, 0);
    if (count <= 0) {
      break;
    }
    received.append(buffer, static_cast<std::size_t>(count));
    head_end = received.find("\r\n\r\n");
  }
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(received);
  }
  std::size_t sent = 0;
  while (sent < reply.bytes.size()) {
    const ssize_t count =
        ::send(client, reply.bytes.data() + sent, reply.bytes.size() - sent, MSG_NOSIGNAL);
    if (count <= 0) {
      break;
    }
    sent += static_cast<std::size_t>(count);
  }
  if (reply.then == RawReply::Then::stall) {
    const auto until = Clock::now() + stall_limit;
    while (!stopping_ && Clock::now() < until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  } else if (reply.then == RawReply::Then::reset) {
    // Let the client take what was sent, then end the connection with a reset.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const linger abort_on_close{1, 0};
    ::setsockopt(client, SOL_SOCKET, SO_LINGER, &abort_on_close, sizeof abort_on_close);
  }
  ::close(client);
}

ClosedPort::ClosedPort() {
  socket_ = listening_socket(port_, false);
}

ClosedPort::~ClosedPort() {
  ::close(socket_);
}

HttpServer::HttpServer(std::unique_ptr<httplib::Server> server) : server_(std::move(server)) {
  port_ = server_->bind_to_any_port("127.0.0.1");
  if (port_ <= 0) {
    throw std::runtime_error("bind");
  }
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  const auto deadline = Clock::now() + connection_deadline;
  while (!server_->is_running() && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

HttpServer::~HttpServer() {
  server_->stop();
  thread_.join();
}

std::string TestCertificates::directory() {
  return WEB_TEST_CERTIFICATES;
}

std::unique_ptr<httplib::Server> make_tls_server(const std::string& certificate,
                                                 const std::string& key) {
  return std::make_unique<httplib::SSLServer>(certificate.c_str(), key.c_str());
}

}  // namespace hc::test
