#include "LocalHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace lumatag {

namespace {

int OpenListener(int* port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) throw std::runtime_error("socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd, 8) != 0) {
    ::close(fd);
    throw std::runtime_error("bind");
  }
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  *port = ntohs(address.sin_port);
  return fd;
}

bool WaitReadable(int fd, int milliseconds) {
  pollfd entry{fd, POLLIN, 0};
  return ::poll(&entry, 1, milliseconds) > 0;
}

void SendAll(int fd, const std::string& data) {
  std::size_t sent = 0;
  while (sent < data.size()) {
    const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<std::size_t>(n);
  }
}

}  // namespace

LocalHttpServer::LocalHttpServer(Mode mode, std::string body)
    : mode_(mode), body_(std::move(body)) {
  listener_ = OpenListener(&port_);
  thread_ = std::thread([this] { Run(); });
}

LocalHttpServer::~LocalHttpServer() {
  stop_ = true;
  thread_.join();
  for (int fd : held_) ::close(fd);
  ::close(listener_);
}

std::string LocalHttpServer::Url() const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/software/QuarrytreeSoftwareVersions.xml";
}

int LocalHttpServer::ClosedPort() {
  int port = 0;
  const int fd = OpenListener(&port);
  ::close(fd);
  return port;
}

void LocalHttpServer::Run() {
  while (!stop_) {
    if (!WaitReadable(listener_, 20)) continue;
    const int client = ::accept(listener_, nullptr, nullptr);
    if (client < 0) continue;
    ++requests_;
    if (mode_ == Mode::kSilent) {
      held_.push_back(client);
      continue;
    }
    std::string request;
    char chunk[1024];
    while (request.find("\r\n\r\n") == std::string::npos && WaitReadable(client, 2000)) {
      const ssize_t n = ::recv(client, chunk, sizeof chunk, 0);
      if (n <= 0) break;
      request.append(chunk, static_cast<std::size_t>(n));
    }
    const bool found = mode_ == Mode::kServe;
    const std::string content = found ? body_ : std::string("<html>not here</html>");
    SendAll(client, std::string(found ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n") +
                        "Content-Type: text/xml\r\nContent-Length: " +
                        std::to_string(content.size()) + "\r\nConnection: close\r\n\r\n" + content);
    ::close(client);
  }
}

}  // namespace lumatag
