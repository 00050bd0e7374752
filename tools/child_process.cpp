#include "tools/child_process.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <iostream>

#include "tools/deadline.h"

namespace practice {

namespace {

void closeFd(int* fd) {
  if (*fd >= 0) {
    close(*fd);
    *fd = -1;
  }
}

// Appends what the pipe holds; closes it at its end.
void readPipe(int* fd, std::string* text) {
  char buffer[4096];
  ssize_t n;
  while (*fd >= 0 && (n = read(*fd, buffer, sizeof(buffer))) != 0) {
    if (n < 0) {
      if (errno == EINTR) continue;
      return;  // nothing more for now
    }
    text->append(buffer, static_cast<size_t>(n));
  }
  closeFd(fd);
}

// In the child, between fork and exec: only async-signal-safe calls.
void execChild(char* const* argv, ChildProcess::Output output, const int* out_pipe,
               const int* err_pipe, const std::string& error_head) {
  if (output == ChildProcess::Output::CAPTURE) {
    dup2(out_pipe[1], STDOUT_FILENO);
    dup2(err_pipe[1], STDERR_FILENO);
  } else if (output == ChildProcess::Output::DISCARD) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
  }
  execv(argv[0], argv);
  const char* reason = strerror(errno);
  (void)!write(STDERR_FILENO, error_head.data(), error_head.size());
  (void)!write(STDERR_FILENO, reason, strlen(reason));
  (void)!write(STDERR_FILENO, "\n", 1);
  _exit(127);
}

}  // namespace

ChildProcess::~ChildProcess() {
  if (child_pid > 0 && !ended) {
    kill(child_pid, SIGKILL);
    waitpid(child_pid, &wait_status, 0);
  }
  closeFd(&pid_fd);
  closeFd(&out_fd);
  closeFd(&err_fd);
}

bool ChildProcess::start(const std::vector<std::string>& args, Output output,
                         const std::string& exec_error_head) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  int out_pipe[2] = {-1, -1};
  int err_pipe[2] = {-1, -1};
  if (output == Output::CAPTURE &&
      (pipe2(out_pipe, O_CLOEXEC) != 0 || pipe2(err_pipe, O_CLOEXEC) != 0)) {
    for (int* fd : {&out_pipe[0], &out_pipe[1]}) closeFd(fd);
    return false;
  }
  std::cout.flush();
  std::cerr.flush();
  fflush(nullptr);
  child_pid = fork();
  if (child_pid == 0) execChild(argv.data(), output, out_pipe, err_pipe, exec_error_head);
  for (int* fd : {&out_pipe[1], &err_pipe[1]}) closeFd(fd);  // the child's ends
  out_fd = out_pipe[0];
  err_fd = err_pipe[0];
  for (const int fd : {out_fd, err_fd}) {
    if (fd >= 0) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  }
  if (child_pid < 0) return false;
  pid_fd = static_cast<int>(syscall(SYS_pidfd_open, child_pid, 0));  // Linux 5.3 and later
  if (pid_fd >= 0) return true;
  const int error = errno;
  kill(child_pid, SIGKILL);
  ended = waitpid(child_pid, &wait_status, 0) == child_pid;
  errno = error;
  return false;
}

bool ChildProcess::waitUntil(const std::function<bool()>& done, int timeout_ms) {
  const Clock::time_point until = msFromNow(timeout_ms);
  pump(0);
  while (!done()) {
    const int left = remainingMs(until);
    if (left == 0 || !pump(left)) return done();
  }
  return true;
}

bool ChildProcess::pump(int timeout_ms) {
  pollfd entries[3] = {
      {pid_fd, POLLIN, 0}, {out_fd, POLLIN, 0}, {err_stalled ? -1 : err_fd, POLLIN, 0}};
  if (pid_fd < 0 && out_fd < 0 && err_fd < 0) return false;
  if (poll(entries, 3, timeout_ms) < 0 && errno != EINTR) return false;
  readPipes();
  if (entries[0].revents != 0 && waitpid(child_pid, &wait_status, WNOHANG) == child_pid) {
    ended = true;
    closeFd(&pid_fd);
    readPipes();  // everything the child wrote is in the pipes now
  }
  return true;
}

void ChildProcess::readPipes() {
  readPipe(&out_fd, &out_text);
  if (!err_stalled) readPipe(&err_fd, &err_text);
}

void ChildProcess::closeErr() {
  closeFd(&err_fd);
}

int ChildProcess::exitStatus() const {
  return ended && WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1;
}

std::string ChildProcess::describeEnd() const {
  if (!ended) return "still running";
  if (WIFSIGNALED(wait_status)) return "killed by signal " + std::to_string(WTERMSIG(wait_status));
  return "exit status " + std::to_string(WEXITSTATUS(wait_status));
}

void ChildProcess::signal(int signum) const {
  if (child_pid > 0 && !ended) kill(child_pid, signum);
}

}  // namespace practice
