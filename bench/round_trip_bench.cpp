// The round trip of the synchronous mode: the practice server sends
// "(think)" and waits for the "(done)" of a real coach process, against the
// same practice server and a minimal SIGIO-driven UDP echo (a forked child
// that answers every datagram with "(done)" from its SIGIO handler) on the
// same loopback.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/loopback.h"
#include "tools/practice_server.h"

extern char** environ;

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

// Starts the coach towards the server's init port, its output thrown away.
pid_t startCoach(int server_port) {
  const std::string port = std::to_string(server_port);
  const char* argv[] = {BRENVO_COACH_PATH, "-host", "127.0.0.1",  "-port",
                        port.c_str(),      "-t",    bench::kTeam, nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawn(&pid, BRENVO_COACH_PATH, &actions, nullptr, const_cast<char**>(argv), environ) !=
      0) {
    pid = -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

void stop(pid_t pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
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
  const pid_t coach = startCoach(server.port());
  practice::Datagram init;
  if (coach <= 0 || !server.waitInit(&init, kWaitMs)) {
    state.SkipWithError("the coach did not start");
    stop(coach);
    return;
  }
  server.answerInit("(init l ok)");
  if (!server.receiveUntil("(eye on)", kWaitMs)) {
    state.SkipWithError("the coach did not answer its init");
  } else {
    thinkDone(state, server);
  }
  stop(coach);
}
BENCHMARK(ThinkDoneRoundTrip)->UseRealTime();

void SigioEchoFloor(benchmark::State& state) {
  practice::PracticeServer server;
  const pid_t echo = startEcho(server.port());
  practice::Datagram init;
  if (echo <= 0 || !server.waitInit(&init, kWaitMs)) {
    state.SkipWithError("the echo did not start");
    stop(echo);
    return;
  }
  server.answerInit("(init l ok)");
  if (!server.receiveUntil("(done)", kWaitMs)) {
    state.SkipWithError("the echo did not answer");
  } else {
    thinkDone(state, server);
  }
  stop(echo);
}
BENCHMARK(SigioEchoFloor)->UseRealTime();

bench::Compare round_trip_floor("ThinkDoneRoundTrip", "SigioEchoFloor", 1.2);

}  // namespace
