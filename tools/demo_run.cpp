#include "tools/demo_run.h"

#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <iostream>
#include <map>

namespace practice {

namespace {

std::string headWord(const std::string& text) {
  if (text.empty() || text[0] != '(') {
    return text.empty() ? "(empty)" : "(raw)";
  }
  const size_t end = text.find_first_of(" )", 1);
  return text.substr(1, end == std::string::npos ? std::string::npos : end - 1);
}

// The coach process and its end.
class CoachChild {
 public:
  CoachChild() : pid_(-1), pidfd_(-1), exited_(false), status_(0) {}
  ~CoachChild() {
    if (pidfd_ != -1) {
      close(pidfd_);
    }
  }

  bool start(const std::vector<std::string>& args, std::ostream& log) {
    std::vector<char*> argv;
    for (const std::string& arg : args) {
      argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    std::cout.flush();
    std::cerr.flush();
    log.flush();
    pid_ = fork();
    if (pid_ < 0) {
      log << "[server] cannot fork: " << strerror(errno) << std::endl;
      return false;
    }
    if (pid_ == 0) {
      execv(argv[0], argv.data());
      const std::string message =
          "[server] cannot start the coach " + args[0] + ": " + strerror(errno) + "\n";
      (void)!write(STDERR_FILENO, message.data(), message.size());
      _exit(127);
    }
#ifdef SYS_pidfd_open
    pidfd_ = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
#endif
    return true;
  }

  pid_t pid() const {
    return pid_;
  }

  // Collects the exit status if the coach has ended.
  bool exited() {
    if (!exited_ && pid_ > 0 && waitpid(pid_, &status_, WNOHANG) == pid_) {
      exited_ = true;
    }
    return exited_;
  }

  // Waits up to timeout_ms for the coach to end.
  bool waitExit(int timeout_ms) {
    const Clock::time_point until = msFromNow(timeout_ms);
    while (!exited()) {
      const int left = remainingMs(until);
      if (left == 0) {
        return false;
      }
      if (pidfd_ != -1) {
        pollfd entry = {pidfd_, POLLIN, 0};
        poll(&entry, 1, left);
      } else {
        poll(nullptr, 0, std::min(left, 20));
      }
    }
    return true;
  }

  std::string describe() const {
    if (!exited_) {
      return "still running";
    }
    if (WIFEXITED(status_)) {
      return "exit status " + std::to_string(WEXITSTATUS(status_));
    }
    if (WIFSIGNALED(status_)) {
      return std::string("killed by signal ") + std::to_string(WTERMSIG(status_));
    }
    return "ended";
  }

  bool exitedWithZero() const {
    return exited_ && WIFEXITED(status_) && WEXITSTATUS(status_) == 0;
  }

 private:
  pid_t pid_;
  int pidfd_;
  bool exited_;
  int status_;
};

void printSummary(const PracticeServer& server, const DemoMatch& match, const CoachChild& coach,
                  std::ostream& log) {
  std::map<std::string, int> kinds;
  for (const Datagram& d : server.sent()) {
    ++kinds[headWord(d.text)];
  }
  log << "[server] ---- summary ----" << std::endl;
  log << "[server] sent " << server.sent().size() << " messages:";
  const char* separator = " ";
  for (const auto& kind : kinds) {
    log << separator << kind.first << " " << kind.second;
    separator = ", ";
  }
  log << std::endl;
  log << "[server] received " << server.received().size()
      << " datagrams from the coach:" << std::endl;
  for (const Datagram& d : server.received()) {
    char stamp[32];
    snprintf(stamp, sizeof(stamp), "%7.3f s", d.t);
    log << "[server]   " << stamp << " " << d.bytes.size() << " bytes  " << d.text << std::endl;
  }
  log << "[server] our player types:";
  for (int unum = 1; unum <= 11; ++unum) {
    log << " " << unum << ":" << match.ourTypes()[unum];
  }
  log << std::endl;
  if (match.thinksSent() > 0) {
    log << "[server] (think) answered " << match.thinksAnswered() << " of " << match.thinksSent()
        << std::endl;
  }
  log << "[server] score " << match.team() << " " << match.scoreLeft() << " - "
      << match.scoreRight() << " " << match.opponent() << std::endl;
  log << "[server] init " << (match.initReceived() ? "received" : "missing") << ", bye "
      << (match.byeReceived() ? "received" : "missing") << ", coach " << coach.describe()
      << std::endl;
}

}  // namespace

int runDemo(const DemoOptions& options, std::ostream& log) {
  const Clock::time_point deadline = msFromNow(static_cast<long>(options.timeout_s * 1000));
  PracticeServer server;
  if (server.port() == 0) {
    return 1;
  }
  std::vector<std::string> args = {
      options.coach_path, "-host", "127.0.0.1", "-port", std::to_string(server.port()), "-t",
      options.team};
  args.insert(args.end(), options.coach_args.begin(), options.coach_args.end());
  log << "[server] listening on 127.0.0.1:" << server.port() << "; starting";
  for (const std::string& arg : args) {
    log << " " << arg;
  }
  log << std::endl;

  CoachChild coach;
  if (!coach.start(args, log)) {
    return 1;
  }
  DemoMatch match(&server, options, log);
  match.play([&coach]() { return coach.exited(); });

  const int grace_ms = std::min(5000, std::max(200, remainingMs(deadline)));
  if (!coach.waitExit(grace_ms)) {
    log << "[server] the coach does not exit; SIGTERM to pid " << coach.pid() << std::endl;
    kill(coach.pid(), SIGTERM);
    if (!coach.waitExit(1000)) {
      log << "[server] SIGKILL to pid " << coach.pid() << std::endl;
      kill(coach.pid(), SIGKILL);
      coach.waitExit(1000);
    }
  }
  printSummary(server, match, coach, log);
  const bool went_through = match.initReceived() && match.byeReceived() && coach.exitedWithZero();
  log << "[server] " << (went_through ? "match completed" : "match failed") << std::endl;
  return went_through ? 0 : 1;
}

}  // namespace practice
