// The round trip of the synchronous mode: the practice server sends
// "(think)" and waits for the "(done)" of a real coach process, against the
// same practice server and a minimal SIGIO-driven UDP echo (a forked child
// that answers every datagram with "(done)" from its SIGIO handler) on the
// same loopback.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/coach_child.h"
#include "tools/loopback_peer.h"
#include "tools/practice_server.h"

namespace {

const int WAIT_MS = 5000;

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
  sockaddr_in any = practice::loopbackAddress(0);
  ::bind(S_echo_fd, reinterpret_cast<sockaddr*>(&any), sizeof(any));
  struct sigaction action {};
  action.sa_handler = echoOnSigio;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGIO, &action, nullptr);
  ::fcntl(S_echo_fd, F_SETOWN, ::getpid());
  ::fcntl(S_echo_fd, F_SETFL, ::fcntl(S_echo_fd, F_GETFL) | O_NONBLOCK | O_ASYNC);
  const sockaddr_in server = practice::loopbackAddress(server_port);
  ::sendto(S_echo_fd, "(init echo)", 12, 0, reinterpret_cast<const sockaddr*>(&server),
           sizeof(server));
  sigset_t none;
  sigemptyset(&none);
  for (;;) ::sigsuspend(&none);
}

// The measured loop, the same for both peers: once the peer named by `who`
// has sent its init and answered the server's with `first_answer`, one
// "(think)" and its "(done)" per iteration.
void thinkDone(benchmark::State& state, practice::PracticeServer& server, bool started,
               const std::string& who, const std::string& first_answer) {
  practice::Datagram init;
  if (!started || !server.waitInit(&init, WAIT_MS)) {
    state.SkipWithError((who + " did not start").c_str());
    return;
  }
  server.answerInit("(init l ok)");
  if (!server.receiveUntil(first_answer, WAIT_MS)) {
    state.SkipWithError((who + " did not answer its init").c_str());
    return;
  }
  for (auto _ : state) {
    server.send("(think)");
    if (!server.receiveUntil("(done)", WAIT_MS)) {
      state.SkipWithError("no (done)");
      break;
    }
  }
}

void ThinkDoneRoundTrip(benchmark::State& state) {
  practice::PracticeServer server;
  practice::ChildProcess coach;
  thinkDone(state, server, bench::startCoach(&coach, server.port()), "the coach", "(eye on)");
}
BENCHMARK(ThinkDoneRoundTrip)->UseRealTime();

void SigioEchoFloor(benchmark::State& state) {
  practice::PracticeServer server;
  const pid_t echo = startEcho(server.port());
  thinkDone(state, server, echo > 0, "the echo", "(done)");
  if (echo > 0) {
    ::kill(echo, SIGKILL);
    ::waitpid(echo, nullptr, 0);
  }
}
BENCHMARK(SigioEchoFloor)->UseRealTime();

bench::Compare round_trip_floor("ThinkDoneRoundTrip", "SigioEchoFloor", 1.2);

}  // namespace
