// A small HTTP server on 127.0.0.1 for the network tests: a thread of the test binary with plain
// sockets. Each connection's request is read, recorded and handed to the test's handler, which
// writes whatever answer (or misbehaviour) the test needs.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "test_support/temp_dir.h"

namespace ashtint::test {

struct HttpRequest {
  std::string Method;
  std::string Target;
  std::vector<std::pair<std::string, std::string>> Headers;  // in the order received
  std::string Header(std::string_view name) const;            // first with that name, any case
};

class LoopbackServer {
 public:
  // fd: the connection, closed after the handler returns.
  using Handler = std::function<void(LoopbackServer& server, int fd, const HttpRequest& request)>;

  explicit LoopbackServer(Handler handler);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  int Port() const { return port_; }
  std::string Url(std::string_view path) const;  // "http://127.0.0.1:<port>" + path
  int Connections() const { return connections_; }
  std::vector<HttpRequest> Requests() const;

  // Sleeps up to ms; returns early (false) when the server is being stopped.
  bool Pause(int ms);

  static bool SendAll(int fd, std::string_view data);
  // A complete answer with Content-Length and "Connection: close".
  static bool SendResponse(int fd, int status, std::string_view reason, std::string_view body,
                           std::string_view extraHeaders = {});

 private:
  void Run();

  Handler handler_;
  int listenFd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  mutable std::mutex mutex_;
  std::vector<HttpRequest> requests_;
  std::thread thread_;
};

// A port on 127.0.0.1 where nothing listens.
int UnusedPort();

// A listening socket whose accept queue is full, so that a new connection stays pending: for
// connection timeouts. Closes everything on destruction.
class StalledListener {
 public:
  StalledListener();
  ~StalledListener();
  StalledListener(const StalledListener&) = delete;
  StalledListener& operator=(const StalledListener&) = delete;
  int Port() const { return port_; }
  bool Ok() const { return ok_; }

 private:
  int listenFd_ = -1;
  int port_ = 0;
  bool ok_ = false;
  std::vector<int> fillers_;
};

using TempDir = test_support::TempDir;

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, std::string_view data);

}  // namespace ashtint::test
