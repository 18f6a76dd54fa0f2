#pragma once
// Servers on 127.0.0.1 ephemeral ports for the web tests: a cpp-httplib server for ordinary
// exchanges and a raw socket server that records requests byte for byte and answers with
// whatever a test writes (malformed replies, stalls, drips).

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace xyx::test {

class HttplibServer {
 public:
  HttplibServer() = default;
  ~HttplibServer() { Stop(); }
  httplib::Server& server() { return server_; }
  // Call after registering the handlers.
  void Start() {
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  void Stop() {
    if (thread_.joinable()) {
      server_.stop();
      thread_.join();
    }
  }
  int port() const { return port_; }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

 private:
  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
};

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Serves one connection at a time; the handler gets the socket and the request's head and
// body as read so far.
class RawServer {
 public:
  struct Connection {
    int fd;
    const std::atomic<bool>* stopping;
    void Write(const std::string& bytes) const {
      ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    }
    // Sleeps unless the server is stopping; false when it is.
    bool Sleep(int ms) const {
      const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
      while (std::chrono::steady_clock::now() < end) {
        if (*stopping) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
      return !*stopping;
    }
    // Waits until the client closes or the server stops.
    void WaitForClose() const {
      char buf[256];
      while (!*stopping) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 20) > 0 && ::recv(fd, buf, sizeof buf, 0) <= 0) return;
      }
    }
  };
  using Handler = std::function<void(const Connection&, const std::string& request)>;

  explicit RawServer(Handler handler) : handler_(std::move(handler)) {
    listen_ = ::socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    ::setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listen_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(listen_, 16);
    socklen_t len = sizeof addr;
    ::getsockname(listen_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { Run(); });
  }
  ~RawServer() {
    stopping_ = true;
    thread_.join();
    ::close(listen_);
  }
  int port() const { return port_; }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  std::vector<std::string> requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }

 private:
  // Reads the head and, when Content-Length says so, the body.
  static std::string ReadRequest(int fd, const std::atomic<bool>& stopping) {
    std::string data;
    char buf[4096];
    std::size_t want = std::string::npos;
    while (!stopping) {
      const std::size_t end = data.find("\r\n\r\n");
      if (end != std::string::npos && want == std::string::npos) {
        want = end + 4;
        const std::size_t cl = data.find("Content-Length: ");
        if (cl != std::string::npos && cl < end) want += std::stoul(data.substr(cl + 16));
      }
      if (want != std::string::npos && data.size() >= want) break;
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, 20) <= 0) continue;
      const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
      if (n <= 0) break;
      data.append(buf, static_cast<std::size_t>(n));
    }
    return data;
  }

  void Run() {
    while (!stopping_) {
      pollfd p{listen_, POLLIN, 0};
      if (::poll(&p, 1, 20) <= 0) continue;
      Fd client(::accept(listen_, nullptr, nullptr));
      if (client.get() < 0) continue;
      const std::string request = ReadRequest(client.get(), stopping_);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(request);
      }
      handler_(Connection{client.get(), &stopping_}, request);
    }
  }

  Handler handler_;
  int listen_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::string> requests_;
};

// A port on 127.0.0.1 that nothing listens on.
inline int ClosedPort() {
  Fd s(::socket(AF_INET, SOCK_STREAM, 0));
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(s.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  socklen_t len = sizeof addr;
  ::getsockname(s.get(), reinterpret_cast<sockaddr*>(&addr), &len);
  return ntohs(addr.sin_port);
}

inline std::string OkResponse(const std::string& body, const std::string& extraHeaders = "") {
  return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" +
         extraHeaders + "Connection: close\r\n\r\n" + body;
}

using Clock = std::chrono::steady_clock;

// Seconds from `start` until now, for checking that a time limit took effect.
inline double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace xyx::test
