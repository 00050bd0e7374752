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
#include <poll.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "coach/udp_interface.h"
#include "fuzz/fuzz_support.h"
#include "strategy/brenvo_coach.h"
#include "tools/loopback_peer.h"

namespace {

// Most datagrams taken from one input.
const size_t MAX_DATAGRAMS = 64;

// The local peer that plays the server.
using Peer = practice::LoopbackPeer;

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
  int port() const { return practice::localPort(fd()); }
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

  const std::vector<std::string> messages = fuzz::splitAtNul(data, size, MAX_DATAGRAMS);
  const int port = coach.port();
  for (const std::string& m : messages) peer.sendText(port, m);
  pollfd readable{coach.fd(), POLLIN, 0};
  ::poll(&readable, 1, 1000);
  coach.sense();
  if (coach.isServerAlive()) coach.action();
  peer.drain();
  fuzz::resetProcessState();
  restoreTimer();
  return 0;
}
