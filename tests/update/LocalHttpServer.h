// A small HTTP server on 127.0.0.1 for the fetcher tests, on a thread of its own: it serves one
// document, answers 404, or accepts connections and never answers.
#pragma once

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace lumatag {

class LocalHttpServer {
 public:
  enum class Mode { kServe, kNotFound, kSilent };

  explicit LocalHttpServer(Mode mode, std::string body = "");
  ~LocalHttpServer();
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;

  int Port() const { return port_; }
  // The address of the version document on this server.
  std::string Url() const;
  int Requests() const { return requests_; }

  // A port on 127.0.0.1 where nothing listens.
  static int ClosedPort();

 private:
  void Run();

  Mode mode_;
  std::string body_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> requests_{0};
  std::vector<int> held_;
  std::thread thread_;
};

}  // namespace lumatag
