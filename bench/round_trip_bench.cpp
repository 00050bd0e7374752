// The round trip of the synchronous mode: the practice server sends
// "(think)" and waits for the "(done)" of a real coach process, against the
// same practice server and a minimal SIGIO-driven UDP echo (a forked child
// that answers every datagram with "(done)" from its SIGIO handler) on the
// same loopback.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/coach_child.h"
#include "bench/loopback.h"
#include "tools/practice_server.h"

namespace {

const int kWaitMs = 5000;

// The echo child's socket, for its signal handler.
int S_echo_fd = -1;

void echoOnSigio(int) {
  char buf[9000];
  sockaddr_in from{};
  socklen_t length = sizeof(from);
  while (::recvfrom(S_echo_fd, buf, sizeof(buf), 0, reinterpret_cast<sockaddr*>(&from), &length) >=
         0) {
    ::sendto(S_echo_fd, "(done)", 7, 0, reinterpret_cast<const sockaddr*>(&from), length);
    length = sizeof(from);
  }
}

// Forks the echo; it introduces itself to the server's init port first.
pid_t startEcho(int server_port) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  S_echo_fd = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in any = bench::Loopback::address(0);
  ::bind(S_echo_fd, reinterpret_cast<sockaddr*>(&any), sizeof(any));
  struct sigaction action {};
  action.sa_handler = echoOnSigio;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGIO, &action, nullptr);
  ::fcntl(S_echo_fd, F_SETOWN, ::getpid());
  ::fcntl(S_echo_fd, F_SETFL, ::fcntl(S_echo_fd, F_GETFL) | O_NONBLOCK | O_ASYNC);
  const sockaddr_in server = bench::Loopback::address(server_port);
  ::sendto(S_echo_fd, "(init echo)", 12, 0, reinterpret_cast<const sockaddr*>(&server),
           sizeof(server));
  sigset_t none;
  sigemptyset(&none);
  for (;;) ::sigsuspend(&none);
}

// The measured loop, the same for both peers.
void thinkDone(benchmark::State& state, practice::PracticeServer& server) {
  for (auto _ : state) {
    server.send("(think)");
    if (!server.receiveUntil("(done)", kWaitMs)) {
      state.SkipWithError("no (done)");
      break;
    }
  }
}

void ThinkDoneRoundTrip(benchmark::State& state) {
  practice::PracticeServer server;
  const pid_t coach = bench::spawnCoach(server.port());
  practice::Datagram init;
  if (coach <= 0 || !server.waitInit(&init, kWaitMs)) {
    state.SkipWithError("the coach did not start");
    bench::killChild(coach);
    return;
  }
  server.answerInit("(init l ok)");
  if (!server.receiveUntil("(eye on)", kWaitMs)) {
    state.SkipWithError("the coach did not answer its init");
  } else {
    thinkDone(state, server);
  }
  bench::killChild(coach);
}
BENCHMARK(ThinkDoneRoundTrip)->UseRealTime();

void SigioEchoFloor(benchmark::State& state) {
  practice::PracticeServer server;
  const pid_t echo = startEcho(server.port());
  practice::Datagram init;
  if (echo <= 0 || !server.waitInit(&init, kWaitMs)) {
    state.SkipWithError("the echo did not start");
    bench::killChild(echo);
    return;
  }
  server.answerInit("(init l ok)");
  if (!server.receiveUntil("(done)", kWaitMs)) {
    state.SkipWithError("the echo did not answer");
  } else {
    thinkDone(state, server);
  }
  bench::killChild(echo);
}
BENCHMARK(SigioEchoFloor)->UseRealTime();

bench::Compare round_trip_floor("ThinkDoneRoundTrip", "SigioEchoFloor", 1.2);

}  // namespace
