#include "tools/demo_service.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <httplib.h>

#include <atomic>
#include <cctype>
#include <charconv>
#include <map>
#include <mutex>
#include <regex>
#include <thread>
#include <utility>

#include "tools/demo_data.h"

// httplib parses and answers the requests, but keeps their headers in a map sorted by name.
// To see the header lines in the order the client wrote them, a small front listens on the
// public port, reads each request whole, records it and hands the same bytes to httplib on a
// second loopback port, then relays the answer. httplib closes every connection after one
// answer, so each connection carries exactly one request.

namespace hc {
namespace {

constexpr int read_timeout_ms = 5000;
constexpr std::size_t max_head_bytes = 64 * 1024;
constexpr std::size_t max_body_bytes = 16 * 1024 * 1024;

class Socket {
 public:
  Socket() = default;
  explicit Socket(int fd) : fd_(fd) {}
  Socket(Socket&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Socket& operator=(Socket&& other) noexcept {
    if (this != &other) {
      reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  ~Socket() { reset(); }

  int fd() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  void reset() {
    if (fd_ >= 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }

 private:
  int fd_ = -1;
};

bool wait_readable(int fd, int timeout_ms) {
  pollfd entry{fd, POLLIN, 0};
  return ::poll(&entry, 1, timeout_ms) > 0;
}

// Appends what one read gives; false at the end of the stream, on error or after a timeout.
bool read_some(int fd, std::string& into) {
  if (!wait_readable(fd, read_timeout_ms)) {
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

bool write_all(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t sent = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
    if (sent <= 0) {
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

bool equals_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

std::string_view trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
    text.remove_suffix(1);
  }
  return text;
}

std::optional<std::string> header_value(const std::vector<std::string>& lines,
                                        std::string_view name) {
  for (const std::string& line : lines) {
    const auto colon = line.find(':');
    if (colon != std::string::npos && equals_ignoring_case(trim(line.substr(0, colon)), name)) {
      return std::string(trim(std::string_view(line).substr(colon + 1)));
    }
  }
  return std::nullopt;
}

// The request line and the header lines of a head that ends with an empty line.
RecordedRequest parse_head(std::string_view head) {
  RecordedRequest request;
  std::size_t line_start = 0;
  bool first = true;
  while (line_start < head.size()) {
    auto line_end = head.find("\r\n", line_start);
    if (line_end == std::string_view::npos) {
      line_end = head.size();
    }
    const std::string_view line = head.substr(line_start, line_end - line_start);
    line_start = line_end + 2;
    if (first) {
      const auto space = line.find(' ');
      request.method = std::string(line.substr(0, space));
      if (space != std::string_view::npos) {
        const std::string_view rest = line.substr(space + 1);
        request.target = std::string(rest.substr(0, rest.rfind(' ')));
      }
      first = false;
    } else if (!line.empty()) {
      request.header_lines.emplace_back(line);
    }
  }
  return request;
}

struct ReadRequest {
  RecordedRequest request;
  std::string head;  // up to and including the empty line
};

// Reads one whole request: its head, then as many body bytes as Content-Length says (or up to
// the last chunk of a chunked body). Nothing for a client that goes away or stalls.
std::optional<ReadRequest> read_request(int fd) {
  std::string data;
  std::size_t head_end = std::string::npos;
  while ((head_end = data.find("\r\n\r\n")) == std::string::npos) {
    if (data.size() > max_head_bytes || !read_some(fd, data)) {
      return std::nullopt;
    }
  }
  ReadRequest read;
  read.head = data.substr(0, head_end + 4);
  read.request = parse_head(read.head);
  std::string body = data.substr(head_end + 4);

  const auto& lines = read.request.header_lines;
  const auto expect = header_value(lines, "Expect");
  if (expect && equals_ignoring_case(*expect, "100-continue") && body.empty()) {
    write_all(fd, "HTTP/1.1 100 Continue\r\n\r\n");
  }
  const auto encoding = header_value(lines, "Transfer-Encoding");
  if (encoding && equals_ignoring_case(*encoding, "chunked")) {
    while (!body.starts_with("0\r\n\r\n") && body.find("\r\n0\r\n\r\n") == std::string::npos) {
      if (body.size() > max_body_bytes || !read_some(fd, body)) {
        return std::nullopt;
      }
    }
  } else if (const auto length_text = header_value(lines, "Content-Length")) {
    std::size_t length = 0;
    std::from_chars(length_text->data(), length_text->data() + length_text->size(), length);
    if (length > max_body_bytes) {
      return std::nullopt;
    }
    while (body.size() < length) {
      if (!read_some(fd, body)) {
        return std::nullopt;
      }
    }
  }
  read.request.body = std::move(body);
  return read;
}

Socket listen_on_loopback(int port) {
  Socket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!socket.valid()) {
    return {};
  }
  const int yes = 1;
  ::setsockopt(socket.fd(), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(socket.fd(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(socket.fd(), 64) != 0) {
    return {};
  }
  return socket;
}

int local_port(int fd) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return 0;
  }
  return ntohs(address.sin_port);
}

Socket connect_to_loopback(int port) {
  Socket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (!socket.valid() ||
      ::connect(socket.fd(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    return {};
  }
  return socket;
}

// Copies the answer from httplib to the client until httplib closes the connection.
void relay_answer(int from, int to) {
  std::string chunk;
  while (read_some(from, chunk)) {
    if (!write_all(to, chunk)) {
      return;
    }
    chunk.clear();
  }
}

// The front drops an Expect line it has answered itself, so the client sees one 100 only.
std::string head_for_backend(const ReadRequest& read) {
  std::string head = read.head;
  const auto expect = header_value(read.request.header_lines, "Expect");
  if (!expect) {
    return head;
  }
  std::size_t start = 0;
  while ((start = head.find("\r\n", start)) != std::string::npos) {
    const std::size_t line = start + 2;
    const std::size_t end = head.find("\r\n", line);
    const std::string_view text = std::string_view(head).substr(line, end - line);
    if (text.size() > 7 && equals_ignoring_case(text.substr(0, 7), "Expect:")) {
      head.erase(line, end + 2 - line);
      break;
    }
    start = line;
  }
  return head;
}

const std::string not_found_page =
    "<!DOCTYPE html>\n<html><head><title>404 Not Found</title></head>\n"
    "<body><h1>404 Not Found</h1><p>The requested address was not found on this "
    "server.</p></body></html>\n";

}  // namespace

std::optional<std::string> RecordedRequest::header(std::string_view name) const {
  return header_value(header_lines, name);
}

std::string RecordedRequest::path() const {
  return target.substr(0, target.find('?'));
}

struct DemoService::Impl {
  httplib::Server backend;
  int backend_port = 0;
  std::thread backend_thread;

  Socket listener;
  int port = 0;
  std::thread front_thread;
  std::atomic<bool> stopping{false};

  struct Connection {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };
  std::vector<Connection> connections;  // only the front thread touches it

  mutable std::mutex mutex;  // guards what follows
  std::vector<RecordedRequest> requests;
  std::map<std::string, DemoAnswer> answers;
  std::ostream* log = nullptr;
  std::string chart_page_html = demo::chart_page(demo::chart_songs());

  std::string root_url() const { return "http://127.0.0.1:" + std::to_string(port); }

  void add_routes();
  void accept_loop();
  void serve(Socket client);
  void record(const RecordedRequest& request);
};

void DemoService::Impl::add_routes() {
  backend.set_keep_alive_max_count(1);
  backend.set_read_timeout(5, 0);
  backend.set_write_timeout(5, 0);

  backend.set_pre_routing_handler(
      [this](const httplib::Request& request, httplib::Response& response) {
        std::lock_guard lock(mutex);
        const auto answer = answers.find(request.path);
        if (answer == answers.end()) {
          return httplib::Server::HandlerResponse::Unhandled;
        }
        response.status = answer->second.status;
        response.set_content(answer->second.body, answer->second.content_type.c_str());
        return httplib::Server::HandlerResponse::Handled;
      });

  backend.Get("/discover/toplist", [this](const httplib::Request&, httplib::Response& response) {
    std::lock_guard lock(mutex);
    response.set_content(chart_page_html, "text/html; charset=utf-8");
  });

  backend.Post(R"(/weapi/v1/resource/comments/(.*))", [this](const httplib::Request& request,
                                                             httplib::Response& response) {
    const std::string thread_id = request.matches[1];
    if (thread_id.empty()) {
      response.status = 400;
      response.set_content("{\"code\":400,\"msg\":\"missing thread id\"}",
                           "application/json;charset=UTF-8");
      return;
    }
    response.set_content(demo::comments_json(demo::thread_comments(thread_id), root_url()),
                         "application/json;charset=UTF-8");
  });

  backend.Get(R"(/avatar/(\d{1,6})\.(png|jpg))",
              [](const httplib::Request& request, httplib::Response& response) {
                const int n = std::stoi(request.matches[1]);
                const bool png = request.matches[2] == "png";
                const auto picture = png ? demo::avatar_png(n) : demo::avatar_jpeg(n);
                response.set_content(reinterpret_cast<const char*>(picture.data()), picture.size(),
                                     png ? "image/png" : "image/jpeg");
              });

  // Everything else, the missing avatar among it, answers 404 with an HTML page.
  backend.set_error_handler([](const httplib::Request&, httplib::Response& response) {
    if (response.status == 404 && response.body.empty()) {
      response.set_content(not_found_page, "text/html; charset=utf-8");
    }
  });
}

void DemoService::Impl::record(const RecordedRequest& request) {
  std::lock_guard lock(mutex);
  requests.push_back(request);
  if (log != nullptr) {
    *log << "demo service: " << request.method << ' ' << request.target << " (body "
         << request.body.size() << " bytes)\n";
    for (const std::string& line : request.header_lines) {
      *log << "    " << line << '\n';
    }
    log->flush();
  }
}

void DemoService::Impl::serve(Socket client) {
  const auto read = read_request(client.fd());
  if (!read) {
    return;
  }
  record(read->request);
  Socket server = connect_to_loopback(backend_port);
  if (!server.valid() || !write_all(server.fd(), head_for_backend(*read) + read->request.body)) {
    return;
  }
  relay_answer(server.fd(), client.fd());
  ::shutdown(client.fd(), SHUT_WR);
}

void DemoService::Impl::accept_loop() {
  while (!stopping) {
    if (!wait_readable(listener.fd(), 100)) {
      continue;
    }
    Socket client(::accept4(listener.fd(), nullptr, nullptr, SOCK_CLOEXEC));
    if (!client.valid()) {
      continue;
    }
    std::erase_if(connections, [](Connection& connection) {
      if (!*connection.done) {
        return false;
      }
      connection.thread.join();
      return true;
    });
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::thread thread([this, done, socket = std::move(client)]() mutable {
      serve(std::move(socket));
      *done = true;
    });
    connections.push_back({std::move(thread), std::move(done)});
  }
  for (Connection& connection : connections) {
    connection.thread.join();
  }
  connections.clear();
}

DemoService::DemoService() : impl_(std::make_unique<Impl>()) {
  impl_->add_routes();
}

DemoService::~DemoService() {
  stop();
}

bool DemoService::start(int port) {
  if (impl_->listener.valid()) {
    return true;
  }
  impl_->backend_port = impl_->backend.bind_to_any_port("127.0.0.1");
  if (impl_->backend_port <= 0) {
    return false;
  }
  impl_->listener = listen_on_loopback(port);
  if (!impl_->listener.valid()) {
    impl_->backend.stop();
    return false;
  }
  impl_->port = local_port(impl_->listener.fd());
  impl_->stopping = false;
  impl_->backend_thread = std::thread([this] { impl_->backend.listen_after_bind(); });
  // stop() can only end httplib's loop once it runs.
  while (!impl_->backend.is_running()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  impl_->front_thread = std::thread([this] { impl_->accept_loop(); });
  return true;
}

void DemoService::stop() {
  if (!impl_->listener.valid()) {
    return;
  }
  impl_->stopping = true;
  ::shutdown(impl_->listener.fd(), SHUT_RDWR);  // wakes the front's poll at once
  impl_->front_thread.join();
  impl_->listener.reset();
  impl_->backend.stop();
  impl_->backend_thread.join();
}

int DemoService::port() const {
  return impl_->port;
}

std::string DemoService::root_url() const {
  return impl_->root_url();
}

void DemoService::set_log(std::ostream* log) {
  std::lock_guard lock(impl_->mutex);
  impl_->log = log;
}

void DemoService::set_answer(std::string path, DemoAnswer answer) {
  std::lock_guard lock(impl_->mutex);
  impl_->answers[std::move(path)] = std::move(answer);
}

std::vector<RecordedRequest> DemoService::requests() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->requests;
}

void DemoService::clear_requests() {
  std::lock_guard lock(impl_->mutex);
  impl_->requests.clear();
}

}  // namespace hc
