#include "tests/hostile/raw_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace hc::hostile {
namespace {

constexpr int accept_poll_ms = 50;
constexpr int read_timeout_ms = 5000;
constexpr int send_timeout_seconds = 10;
constexpr std::size_t max_head_bytes = 64 * 1024;
constexpr std::size_t max_body_bytes = 1024 * 1024;

bool wait_for(int fd, short events, int timeout_ms) {
  pollfd entry{fd, events, 0};
  return ::poll(&entry, 1, timeout_ms) > 0;
}

bool read_some(int fd, std::string& into) {
  if (!wait_for(fd, POLLIN, read_timeout_ms)) {
    return false;
  }
  char buffer[4096];
  const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
  if (got <= 0) {
    return false;
  }
  into.append(buffer, static_cast<std::size_t>(got));
  return true;
}

char lower(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// The value of the first header line of that name in the head, if there is one.
std::optional<std::string_view> header_value(std::string_view head, std::string_view name) {
  std::size_t start = head.find("\r\n");
  while (start != std::string_view::npos && start + 2 < head.size()) {
    start += 2;
    const std::size_t end = head.find("\r\n", start);
    const std::string_view line = head.substr(start, end - start);
    const std::size_t colon = line.find(':');
    if (colon == name.size() && std::equal(name.begin(), name.end(), line.begin(),
                                           [](char a, char b) { return lower(a) == lower(b); })) {
      std::string_view value = line.substr(colon + 1);
      while (!value.empty() && value.front() == ' ') {
        value.remove_prefix(1);
      }
      return value;
    }
    start = end;
  }
  return std::nullopt;
}

// One request, head and Content-Length body; nothing for a client that stalls or goes away.
std::optional<ReceivedRequest> read_request(int fd) {
  std::string data;
  std::size_t head_end = std::string::npos;
  while ((head_end = data.find("\r\n\r\n")) == std::string::npos) {
    if (data.size() > max_head_bytes || !read_some(fd, data)) {
      return std::nullopt;
    }
  }
  ReceivedRequest request;
  request.head = data.substr(0, head_end + 4);
  request.body = data.substr(head_end + 4);
  const std::string_view request_line = std::string_view(request.head).substr(0, head_end);
  const std::size_t first_space = request_line.find(' ');
  const std::size_t last_space = request_line.rfind(' ');
  if (first_space == std::string_view::npos || last_space == first_space) {
    return std::nullopt;
  }
  request.method = std::string(request_line.substr(0, first_space));
  request.target = std::string(request_line.substr(first_space + 1, last_space - first_space - 1));

  std::size_t length = 0;
  if (const auto text = header_value(request.head, "Content-Length")) {
    std::from_chars(text->data(), text->data() + text->size(), length);
  }
  if (length > max_body_bytes) {
    return std::nullopt;
  }
  while (request.body.size() < length) {
    if (!read_some(fd, request.body)) {
      return std::nullopt;
    }
  }
  return request;
}

}  // namespace

std::string ReceivedRequest::path() const {
  return target.substr(0, target.find('?'));
}

bool ReceivedRequest::has_header(std::string_view name) const {
  return header_value(head, name).has_value();
}

bool RawConnection::send(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) {
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

bool RawConnection::pause(std::chrono::milliseconds duration) {
  using Clock = std::chrono::steady_clock;
  const auto until = Clock::now() + duration;
  while (!stopping_) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
    if (left.count() <= 0) {
      return true;
    }
    if (wait_for(fd_, POLLIN, static_cast<int>(std::min<std::int64_t>(left.count(), 50)))) {
      char byte = 0;
      if (::recv(fd_, &byte, 1, MSG_PEEK | MSG_DONTWAIT) <= 0) {
        return false;  // closed by the peer
      }
      // The client never sends more than its request; drop whatever it sends now.
      ::recv(fd_, &byte, 1, MSG_DONTWAIT);
    }
  }
  return false;
}

void RawConnection::reset() {
  const linger abort_on_close{1, 0};
  ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abort_on_close, sizeof abort_on_close);
  ::close(fd_);
  reset_ = true;
}

std::string http_response(int status, std::string_view content_type, std::string_view body,
                          std::string_view extra_header_lines) {
  std::string response = "HTTP/1.1 " + std::to_string(status) + (status == 200 ? " OK" : " Oops");
  response += "\r\nContent-Type: ";
  response += content_type;
  response += "\r\n";
  response += extra_header_lines;
  response += "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
  response += body;
  return response;
}

Reply send_bytes(std::string bytes) {
  return [bytes = std::move(bytes)](RawConnection& connection, const ReceivedRequest&) {
    connection.send(bytes);
  };
}

struct RawServer::Impl {
  int listener = -1;
  int port = 0;
  std::atomic<bool> stopping{false};
  std::thread worker;
  mutable std::mutex mutex;
  // Shared, so that a reply holding a large body is not copied for each request.
  std::map<std::string, std::shared_ptr<const Reply>> replies;
  std::vector<ReceivedRequest> requests;

  std::shared_ptr<const Reply> reply_for(const std::string& path) const {
    std::lock_guard lock(mutex);
    std::shared_ptr<const Reply> best;
    std::size_t best_length = 0;
    for (const auto& [prefix, reply] : replies) {
      if (path.starts_with(prefix) && (best == nullptr || prefix.size() >= best_length)) {
        best = reply;
        best_length = prefix.size();
      }
    }
    if (best == nullptr) {
      return std::make_shared<const Reply>(
          send_bytes(http_response(404, "text/html", "<html>not found</html>")));
    }
    return best;
  }

  void serve(int fd) {
    const timeval send_timeout{send_timeout_seconds, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &send_timeout, sizeof send_timeout);
    std::optional<ReceivedRequest> request = read_request(fd);
    if (!request) {
      ::close(fd);
      return;
    }
    {
      std::lock_guard lock(mutex);
      requests.push_back(*request);
    }
    const std::shared_ptr<const Reply> reply = reply_for(request->path());
    RawConnection connection(fd, stopping);
    (*reply)(connection, *request);
    if (!connection.was_reset()) {
      ::shutdown(fd, SHUT_WR);
      // Lets the client read to the end before the socket goes, so that the close is orderly.
      connection.pause(std::chrono::milliseconds(read_timeout_ms));
      ::close(fd);
    }
  }

  void run() {
    while (!stopping) {
      if (!wait_for(listener, POLLIN, accept_poll_ms)) {
        continue;
      }
      const int fd = ::accept(listener, nullptr, nullptr);
      if (fd >= 0) {
        serve(fd);
      }
    }
  }
};

RawServer::RawServer() : impl_(std::make_unique<Impl>()) {}

RawServer::~RawServer() {
  stop();
}

bool RawServer::start() {
  if (impl_->listener >= 0) {
    return true;
  }
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) {
    return false;
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t size = sizeof address;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd, 16) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    ::close(fd);
    return false;
  }
  impl_->listener = fd;
  impl_->port = ntohs(address.sin_port);
  impl_->stopping = false;
  impl_->worker = std::thread([impl = impl_.get()] { impl->run(); });
  return true;
}

void RawServer::stop() {
  if (impl_->listener < 0) {
    return;
  }
  impl_->stopping = true;
  impl_->worker.join();
  ::close(impl_->listener);
  impl_->listener = -1;
}

int RawServer::port() const {
  return impl_->port;
}

std::string RawServer::root_url() const {
  return "http://127.0.0.1:" + std::to_string(impl_->port);
}

void RawServer::set_reply(std::string path_prefix, Reply reply) {
  std::lock_guard lock(impl_->mutex);
  impl_->replies[std::move(path_prefix)] = std::make_shared<const Reply>(std::move(reply));
}

void RawServer::clear_replies() {
  std::lock_guard lock(impl_->mutex);
  impl_->replies.clear();
}

std::vector<ReceivedRequest> RawServer::requests() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->requests;
}

void RawServer::clear_requests() {
  std::lock_guard lock(impl_->mutex);
  impl_->requests.clear();
}

}  // namespace hc::hostile
