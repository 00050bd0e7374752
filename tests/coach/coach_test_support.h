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
#include "tools/loopback_peer.h"

namespace coach_test {

using Peer = practice::LoopbackPeer;

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

  // Connects to the peer as if the init had gone out; the socket is made
  // non-blocking as the loop does.
  void connectTo(const Peer& peer) {
    init_sent = true;
    ASSERT_TRUE(udp->socket().connect("127.0.0.1", peer.port()));
    const int fd = udp->socket().descriptor();
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  }
  int port() const { return practice::localPort(udp->socket().descriptor()); }
  UDPInterface& iface() { return *udp; }

  // Sends the messages to the coach and runs one sense() over them.
  void feed(Peer& peer, const std::vector<std::string>& messages) {
    for (const std::string& m : messages) peer.sendText(port(), m);
    coach_test::waitReadable(udp->socket().descriptor());
    sense();
  }
};

inline std::string withNul(const std::string& text) {
  return text + std::string(1, '\0');
}

}  // namespace coach_test

#endif
