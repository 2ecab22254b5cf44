#include "test_support/loopback_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "common/text.h"

namespace ashtint::test {

namespace {

int ListenLoopback(int backlog, int& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("socket failed");
  const int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, backlog) != 0) {
    ::close(fd);
    throw std::runtime_error("bind or listen failed");
  }
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  port = ntohs(addr.sin_port);
  return fd;
}

// Reads up to the end of the request head; false when the client sent none within 3 seconds.
bool ReadRequest(int fd, HttpRequest& request) {
  std::string head;
  char buf[4096];
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (head.find("\r\n\r\n") == std::string::npos) {
    if (std::chrono::steady_clock::now() > deadline || head.size() > 65536) return false;
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
    if (n <= 0) return false;
    head.append(buf, static_cast<std::size_t>(n));
  }
  head.resize(head.find("\r\n\r\n"));
  std::size_t pos = head.find("\r\n");
  const std::string first = head.substr(0, pos);
  const auto sp1 = first.find(' ');
  const auto sp2 = first.find(' ', sp1 + 1);
  request.Method = first.substr(0, sp1);
  request.Target = first.substr(sp1 + 1, sp2 - sp1 - 1);
  while (pos != std::string::npos) {
    const std::size_t start = pos + 2;
    pos = head.find("\r\n", start);
    const std::string line = head.substr(start, pos == std::string::npos ? std::string::npos : pos - start);
    const auto colon = line.find(':');
    if (colon == std::string::npos) continue;
    request.Headers.emplace_back(line.substr(0, colon), Trim(line.substr(colon + 1)));
  }
  return true;
}

}  // namespace

std::string HttpRequest::Header(std::string_view name) const {
  for (const auto& [key, value] : Headers) {
    if (SameText(key, name)) return value;
  }
  return {};
}

LoopbackServer::LoopbackServer(Handler handler) : handler_(std::move(handler)) {
  listenFd_ = ListenLoopback(16, port_);
  thread_ = std::thread([this] { Run(); });
}

LoopbackServer::~LoopbackServer() {
  stop_ = true;
  thread_.join();
  ::close(listenFd_);
}

std::string LoopbackServer::Url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::vector<HttpRequest> LoopbackServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

bool LoopbackServer::Pause(int ms) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < until) {
    if (stop_) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return !stop_;
}

bool LoopbackServer::SendAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
    if (n <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool LoopbackServer::SendResponse(int fd, int status, std::string_view reason, std::string_view body,
                                  std::string_view extraHeaders) {
  std::string head = "HTTP/1.1 " + std::to_string(status) + " " + std::string(reason) + "\r\n";
  head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  head += "Connection: close\r\n";
  head += extraHeaders;
  head += "\r\n";
  return SendAll(fd, head) && SendAll(fd, body);
}

void LoopbackServer::Run() {
  // Each connection gets its own thread, so a slow answer never holds up the next request.
  std::vector<std::thread> workers;
  while (!stop_) {
    pollfd p{listenFd_, POLLIN, 0};
    if (::poll(&p, 1, 20) <= 0) continue;
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    ++connections_;
    workers.emplace_back([this, fd] {
      HttpRequest request;
      if (ReadRequest(fd, request)) {
        {
          std::lock_guard lock(mutex_);
          requests_.push_back(request);
        }
        handler_(*this, fd, request);
      }
      ::shutdown(fd, SHUT_RDWR);
      ::close(fd);
    });
  }
  for (auto& w : workers) w.join();
}

int UnusedPort() {
  int port = 0;
  const int fd = ListenLoopback(1, port);
  ::close(fd);
  return port;
}

StalledListener::StalledListener() {
  listenFd_ = ListenLoopback(0, port_);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<std::uint16_t>(port_));
  // Fill the accept queue; later connection attempts get no answer to their SYN.
  for (int i = 0; i < 4; ++i) {
    const int c = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    ::connect(c, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    fillers_.push_back(c);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  // Probe: a connection that does not complete within 200 ms shows the queue is full.
  const int probe = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  ::connect(probe, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  pollfd p{probe, POLLOUT, 0};
  ok_ = ::poll(&p, 1, 200) == 0;
  fillers_.push_back(probe);
}

StalledListener::~StalledListener() {
  for (int fd : fillers_) ::close(fd);
  ::close(listenFd_);
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, std::string_view data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
}

}  // namespace ashtint::test
