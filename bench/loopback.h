#ifndef BRENVO_BENCH_LOOPBACK_H
#define BRENVO_BENCH_LOOPBACK_H

// A plain UDP socket on 127.0.0.1 for the benchmarks that talk to the coach
// over the loopback. Owns its descriptor; every wait is bounded.

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

namespace bench {

class Loopback {
 public:
  Loopback() {
    fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr = address(0);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
    socklen_t length = sizeof(addr);
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &length);
    port_ = ntohs(addr.sin_port);
  }
  ~Loopback() { ::close(fd_); }
  Loopback(const Loopback&) = delete;
  Loopback& operator=(const Loopback&) = delete;

  int fd() const { return fd_; }
  int port() const { return port_; }

  static sockaddr_in address(int port) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    return addr;
  }

  // Sends the text and its NUL, as the server does.
  void sendText(int to, const std::string& text) const {
    const sockaddr_in addr = address(to);
    ::sendto(fd_, text.c_str(), text.size() + 1, 0, reinterpret_cast<const sockaddr*>(&addr),
             sizeof(addr));
  }

  // Reads every datagram already waiting; returns how many.
  int drain() const {
    char buf[9000];
    int n = 0;
    while (::recv(fd_, buf, sizeof(buf), MSG_DONTWAIT) >= 0) ++n;
    return n;
  }

  bool waitReadable(int timeout_ms) const {
    pollfd p{fd_, POLLIN, 0};
    return ::poll(&p, 1, timeout_ms) > 0;
  }

 private:
  int fd_;
  int port_;
};

}  // namespace bench

#endif
