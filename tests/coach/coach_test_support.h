#ifndef BRENVO_TESTS_COACH_COACH_TEST_SUPPORT_H
#define BRENVO_TESTS_COACH_COACH_TEST_SUPPORT_H

// Test support for the coach agent: a plain UDP peer on 127.0.0.1 that the
// coach's socket is pointed at, and a capture of std::cout / std::cerr.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "coach/coach_agent.h"
#include "coach/udp_interface.h"
#include "tests/stream_capture.h"

namespace coach_test {

// A UDP socket bound to a free loopback port.
class Peer {
 public:
  Peer() {
    fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
    socklen_t len = sizeof(addr);
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
  }
  ~Peer() { ::close(fd_); }

  int port() const { return port_; }

  // Sends raw bytes to the loopback port `to`.
  void sendTo(int to, const std::string& bytes) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(to));
    ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
  }
  // A message as the server sends it: the text and its NUL.
  void sendText(int to, const std::string& text) { sendTo(to, text + std::string(1, '\0')); }

  // Every datagram that arrived within timeout_ms of each other.
  std::vector<std::string> drain(int timeout_ms = 200) {
    std::vector<std::string> got;
    pollfd p{fd_, POLLIN, 0};
    while (::poll(&p, 1, timeout_ms) > 0) {
      char buf[9000];
      const ssize_t n = ::recv(fd_, buf, sizeof(buf), 0);
      if (n < 0) break;
      got.emplace_back(buf, static_cast<size_t>(n));
    }
    return got;
  }

 private:
  int fd_ = -1;
  int port_ = 0;
};

// The local port of a socket.
inline int localPort(int fd) {
  sockaddr_in addr{};
  socklen_t len = sizeof(addr);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  return ntohs(addr.sin_port);
}

// Waits until a datagram is readable on fd (the coach's socket), bounded.
inline bool waitReadable(int fd, int timeout_ms = 5000) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, timeout_ms) > 0;
}

using Capture = StreamCapture;

// Opens the coach's members and points its socket at a local peer.
class TestAgent : public CoachAgent {
 public:
  using CoachAgent::manager;
  using CoachAgent::referee;
  using CoachAgent::visual;
  using CoachAgent::world;

  // Connects to the peer; the socket is made non-blocking as the loop does.
  void connectTo(const Peer& peer) {
    ASSERT_TRUE(udp->socket().connect("127.0.0.1", peer.port()));
    const int fd = udp->socket().fd();
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  }
  int port() const { return coach_test::localPort(udp->socket().fd()); }
  UDPInterface& iface() { return *udp; }

  // Sends the messages to the coach and runs one sense() over them.
  void feed(Peer& peer, const std::vector<std::string>& messages) {
    for (const std::string& m : messages) peer.sendText(port(), m);
    coach_test::waitReadable(udp->socket().fd());
    sense();
  }
};

inline std::string withNul(const std::string& text) {
  return text + std::string(1, '\0');
}

}  // namespace coach_test

#endif
