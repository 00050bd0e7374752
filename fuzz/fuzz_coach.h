#ifndef BRENVO_FUZZ_FUZZ_COACH_H
#define BRENVO_FUZZ_FUZZ_COACH_H

// The coach as the dispatch fuzz targets drive it: connected to a local peer
// that plays the server, made as new before every input, and the fuzzer's
// own interval timer put back after every input (a "(server_param " of a
// slowed-down server re-arms the timer, which libFuzzer uses for its own
// time-outs).

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/time.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "coach/udp_interface.h"
#include "strategy/brenvo_coach.h"
#include "tools/loopback_peer.h"

namespace fuzz {

using Peer = practice::LoopbackPeer;

class FuzzCoach : public BrenvoCoach {
 public:
  // Every opt-in feature switched on, telling included.
  void switchOnEveryFeature() {
    features_on = true;
    addFeature(&scouting);
    addFeature(&tired_substitution);
    loadGraphic();
    addFeature(&graphic);
  }

  // Makes the coach as new, connected to the peer. The transport is kept
  // unless an input switched compression on or ended the connection
  // (building the zlib streams for every input would make the fuzzer
  // several times slower).
  bool renew(const Peer& peer) {
    referee = Referee();
    visual = CoachVisualSensor();
    manager = CoachManager();
    world = WorldModelGlobal();
    clang = CLangManager();
    if (features_on) {
      scouting = OpponentScouting();
      scouting.configure(true, 9.4);
      tired_substitution = TiredSubstitution();
      tired_substitution.configure(9.4, true);
      graphic = loaded_graphic;
    }
    init_sent = true;
    if (udp->compressionLevel() == -1 && udp->socket().descriptor() != -1) return true;
    udp.reset(new UDPInterface());
    if (!udp->socket().connect("127.0.0.1", peer.port())) return false;
    const int fd = udp->socket().descriptor();
    return ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK) != -1;
  }
  int fd() const { return udp->socket().descriptor(); }
  int port() const { return practice::localPort(fd()); }

  // Sends the messages from the peer and runs one sense() over them, then
  // one alarm tick while the connection lives.
  void batch(Peer& peer, const std::vector<std::string>& messages) {
    if (messages.empty()) return;  // no datagram, no SIGIO
    for (const std::string& m : messages) peer.sendText(port(), m);
    pollfd readable{fd(), POLLIN, 0};
    ::poll(&readable, 1, 1000);
    sense();
    if (isServerAlive()) action();
    peer.drain();
  }

 private:
  // A picture of two tiles in two colours, one of them transparent, read
  // once from a file of its own.
  void loadGraphic() {
    char path[] = "/tmp/fuzz_graphic_XXXXXX";
    const int file = ::mkstemp(path);
    if (file == -1) return;
    std::string xpm = "static char * g[] = {\n\"16 8 2 1\",\n\". c None\",\n\"# c #FF8000\",\n";
    for (int row = 0; row < 8; ++row) xpm += "\"#.......########\",\n";
    xpm += "};\n";
    const bool written = ::write(file, xpm.data(), xpm.size()) == static_cast<ssize_t>(xpm.size());
    ::close(file);
    if (written) loaded_graphic.load(path, true);
    ::unlink(path);
    graphic = loaded_graphic;
  }

  bool features_on = false;
  TeamGraphic loaded_graphic;
};

// Puts the fuzzer's interval timer back when an input changed it; the first
// call records it.
inline void restoreFuzzerTimer() {
  static itimerval fuzzer_timer;
  static bool saved = false;
  itimerval now;
  ::getitimer(ITIMER_REAL, &now);
  if (!saved) {
    fuzzer_timer = now;
    saved = true;
    return;
  }
  if (now.it_interval.tv_sec != fuzzer_timer.it_interval.tv_sec ||
      now.it_interval.tv_usec != fuzzer_timer.it_interval.tv_usec) {
    ::setitimer(ITIMER_REAL, &fuzzer_timer, nullptr);
  }
}

}  // namespace fuzz

#endif
