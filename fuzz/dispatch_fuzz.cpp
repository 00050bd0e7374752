// Fuzzes the coach's dispatch over whole server messages: the input's
// NUL-ended parts are datagrams that a local peer sends to the coach agent
// on 127.0.0.1, and one sense() reads and handles them all, exactly as on
// SIGIO (compression included, once an input confirms it). One alarm tick
// follows, so the silence watch and the substitution policy see the state
// the messages left.
//
// Every input starts from a coach as new: its members are replaced by fresh
// ones, and the transport too once an input switched compression on or ended
// the connection (building the zlib streams for every input would make the
// fuzzer several times slower).
//
// A "(server_param " of a slowed-down server re-arms the interval timer,
// which libFuzzer uses for its own time-outs; the fuzzer's timer is put back
// after every input.

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "coach/udp_interface.h"
#include "fuzz/fuzz_support.h"
#include "strategy/brenvo_coach.h"

namespace {

// Most datagrams taken from one input.
const size_t kMaxDatagrams = 64;

// The local peer that plays the server.
class Peer {
 public:
  Peer() {
    fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr = loopback(0);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
    socklen_t length = sizeof(addr);
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &length);
    port_ = ntohs(addr.sin_port);
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
  }

  int port() const { return port_; }

  void send(int to, const std::string& bytes) const {
    const sockaddr_in addr = loopback(to);
    ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&addr),
             sizeof(addr));
  }

  // Throws away what the coach sent.
  void drain() const {
    char buf[9000];
    while (::recv(fd_, buf, sizeof(buf), 0) >= 0) {
    }
  }

 private:
  static sockaddr_in loopback(int port) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    return addr;
  }

  int fd_;
  int port_;
};

class FuzzCoach : public BrenvoCoach {
 public:
  // Makes the coach as new, connected to the peer.
  bool renew(const Peer& peer) {
    referee = Referee();
    visual = CoachVisualSensor();
    manager = CoachManager();
    world = WorldModelGlobal();
    clang = CLangManager();
    if (udp->compressionLevel() == -1 && udp->socket().descriptor() != -1) return true;
    udp.reset(new UDPInterface());
    if (!udp->socket().connect("127.0.0.1", peer.port())) return false;
    const int fd = udp->socket().descriptor();
    return ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK) != -1;
  }
  int fd() const { return udp->socket().descriptor(); }
  int port() const {
    sockaddr_in addr{};
    socklen_t length = sizeof(addr);
    ::getsockname(fd(), reinterpret_cast<sockaddr*>(&addr), &length);
    return ntohs(addr.sin_port);
  }
};

itimerval S_fuzzer_timer;
bool S_timer_saved = false;

void restoreTimer() {
  itimerval now;
  ::getitimer(ITIMER_REAL, &now);
  if (!S_timer_saved) {
    S_fuzzer_timer = now;
    S_timer_saved = true;
    return;
  }
  if (now.it_interval.tv_sec != S_fuzzer_timer.it_interval.tv_sec ||
      now.it_interval.tv_usec != S_fuzzer_timer.it_interval.tv_usec) {
    ::setitimer(ITIMER_REAL, &S_fuzzer_timer, nullptr);
  }
}

}  // namespace

BRENVO_FUZZ_INIT(dispatch_fuzz) {
  fuzz::silenceStreams();
  fuzz::resetProcessState();
}

BRENVO_FUZZ_TARGET(dispatch_fuzz) {
  static Peer peer;
  static FuzzCoach coach;
  restoreTimer();
  if (!coach.renew(peer)) std::abort();

  const std::vector<std::string> messages = fuzz::splitAtNul(data, size, kMaxDatagrams);
  const int port = coach.port();
  for (const std::string& m : messages) peer.send(port, m + std::string(1, '\0'));
  pollfd readable{coach.fd(), POLLIN, 0};
  ::poll(&readable, 1, 1000);
  coach.sense();
  if (coach.isServerAlive()) coach.action();
  peer.drain();
  fuzz::resetProcessState();
  restoreTimer();
  return 0;
}
