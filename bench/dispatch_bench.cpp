// One receive batch of a running match (a global view, a referee
// announcement, the synchronous "(think)" and a check_ball answer) sent by a
// local peer and handled by one sense() of a coach agent, against a floor
// that receives the same datagrams with plain recvfrom calls and answers the
// think the same way.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>

#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "coach/coach_agent.h"
#include "coach/udp_interface.h"
#include "param/coach_config.h"
#include "tools/loopback_peer.h"

namespace {

const std::vector<std::string>& batch() {
  static const std::vector<std::string> list = {
      bench::globalView(1, 3),
      "(hear 1 referee play_on)",
      "(think)",
      "(ok check_ball 1 in_field)",
  };
  return list;
}

class BenchAgent : public CoachAgent {
 public:
  bool connectTo(const practice::LoopbackPeer& peer) {
    if (!udp->socket().connect("127.0.0.1", peer.port())) return false;
    const int fd = udp->socket().descriptor();
    return ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK) != -1;
  }
  int port() const { return practice::localPort(udp->socket().descriptor()); }
  int fd() const { return udp->socket().descriptor(); }
};

void SenseBatch(benchmark::State& state) {
  CoachConfig::instance().team_name = bench::TEAM;
  practice::LoopbackPeer peer;
  BenchAgent agent;
  if (!agent.connectTo(peer)) {
    state.SkipWithError("no socket");
    return;
  }
  const int port = agent.port();
  // Into play, so that the clock follows the cycle.
  peer.sendText(port, "(hear 0 referee play_on)");
  pollfd readable{agent.fd(), POLLIN, 0};
  ::poll(&readable, 1, 1000);
  agent.sense();
  for (auto _ : state) {
    for (const std::string& m : batch()) peer.sendText(port, m);
    agent.sense();
    peer.drain();
  }
  CoachConfig::instance().setDefaultParam();
}
BENCHMARK(SenseBatch);

void RecvBatchFloor(benchmark::State& state) {
  practice::LoopbackPeer peer;
  practice::LoopbackPeer receiver;
  ::fcntl(receiver.fd(), F_SETFL, ::fcntl(receiver.fd(), F_GETFL) | O_NONBLOCK);
  const int port = receiver.port();
  const sockaddr_in back = practice::loopbackAddress(peer.port());
  char buf[UDPInterface::BUFFER_SIZE + 1];
  for (auto _ : state) {
    for (const std::string& m : batch()) peer.sendText(port, m);
    sockaddr_in from{};
    socklen_t length = sizeof(from);
    ssize_t n;
    while ((n = ::recvfrom(receiver.fd(), buf, UDPInterface::BUFFER_SIZE, 0,
                           reinterpret_cast<sockaddr*>(&from), &length)) > 0) {
      buf[n] = '\0';
      if (std::strncmp(buf, "(think)", 7) == 0) {
        ::sendto(receiver.fd(), "(done)", 7, 0, reinterpret_cast<const sockaddr*>(&back),
                 sizeof(back));
      }
    }
    peer.drain();
  }
}
BENCHMARK(RecvBatchFloor);

bench::Compare batch_floor("SenseBatch", "RecvBatchFloor", 0);

}  // namespace
