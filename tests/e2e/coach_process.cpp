#include "tests/e2e/coach_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace e2e {

namespace {

long long nowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

CoachProcess::CoachProcess(const std::vector<std::string>& args)
    : CoachProcess(BRENVO_COACH_PATH, args) {}

CoachProcess::CoachProcess(const std::string& program, const std::vector<std::string>& args) {
  int out_pipe[2];
  int err_pipe[2];
  if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0) {
    std::perror("pipe");
    std::abort();
  }
  std::vector<std::string> copy = args;
  copy.insert(copy.begin(), program);
  std::vector<char*> argv;
  for (std::string& a : copy) argv.push_back(&a[0]);
  argv.push_back(nullptr);

  pid_ = fork();
  if (pid_ == 0) {
    dup2(out_pipe[1], 1);
    dup2(err_pipe[1], 2);
    close(out_pipe[0]);
    close(err_pipe[0]);
    close(out_pipe[1]);
    close(err_pipe[1]);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(out_pipe[1]);
  close(err_pipe[1]);
  out_fd_ = out_pipe[0];
  err_fd_ = err_pipe[0];
  fcntl(out_fd_, F_SETFL, fcntl(out_fd_, F_GETFL) | O_NONBLOCK);
  fcntl(err_fd_, F_SETFL, fcntl(err_fd_, F_GETFL) | O_NONBLOCK);
}

CoachProcess::~CoachProcess() {
  if (pid_ > 0 && !exited_) {
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
  }
  if (out_fd_ >= 0) close(out_fd_);
  if (err_fd_ >= 0) close(err_fd_);
}

void CoachProcess::pump(int timeout_ms) {
  // A pipe at end of file is closed and left out, so a child that has ended
  // does not turn the wait into a busy loop.
  pollfd fds[2] = {{out_fd_, POLLIN, 0}, {err_fd_, POLLIN, 0}};
  if (poll(fds, 2, timeout_ms) <= 0) return;
  char buf[4096];
  for (int i = 0; i < 2; ++i) {
    if (fds[i].fd < 0 || fds[i].revents == 0) continue;
    std::string& target = (i == 0) ? out_ : err_;
    int& fd = (i == 0) ? out_fd_ : err_fd_;
    for (;;) {
      const ssize_t n = read(fd, buf, sizeof(buf));
      if (n > 0) {
        target.append(buf, static_cast<size_t>(n));
        continue;
      }
      if (n == 0) {
        close(fd);
        fd = -1;
      }
      break;
    }
  }
}

bool CoachProcess::waitFor(const std::string* stream, const std::string& text, int timeout_ms) {
  const long long deadline = nowMs() + timeout_ms;
  for (;;) {
    if (stream->find(text) != std::string::npos) return true;
    const long long left = deadline - nowMs();
    if (left <= 0) return false;
    pump(static_cast<int>(left < 50 ? left : 50));
  }
}

bool CoachProcess::waitStderr(const std::string& text, int timeout_ms) {
  return waitFor(&err_, text, timeout_ms);
}

bool CoachProcess::waitStdout(const std::string& text, int timeout_ms) {
  return waitFor(&out_, text, timeout_ms);
}

std::string CoachProcess::waitStderrLine(const std::string& head, int timeout_ms) {
  const long long deadline = nowMs() + timeout_ms;
  for (;;) {
    const size_t at = err_.find(head);
    const size_t end = at == std::string::npos ? at : err_.find('\n', at);
    if (end != std::string::npos) return err_.substr(at, end - at);
    const long long left = deadline - nowMs();
    if (left <= 0) return "";
    pump(static_cast<int>(left < 50 ? left : 50));
  }
}

bool CoachProcess::waitExit(int timeout_ms) {
  const long long deadline = nowMs() + timeout_ms;
  while (!exited_) {
    int status = 0;
    const pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
      exited_ = true;
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      break;
    }
    const long long left = deadline - nowMs();
    if (left <= 0) return false;
    pump(static_cast<int>(left < 20 ? left : 20));
  }
  // Drain what the coach wrote before it ended: the pipes are at EOF now.
  for (int i = 0; i < 3; ++i) pump(0);
  return true;
}

void CoachProcess::signal(int signum) {
  if (pid_ > 0 && !exited_) kill(pid_, signum);
}

}  // namespace e2e
