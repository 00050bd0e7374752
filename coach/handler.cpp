#include "coach/handler.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/time.h>
#include <unistd.h>

#include "coach/basic_client.h"

BasicClient* Handler::S_client_ptr = nullptr;

namespace {

sigset_t signalSet(int signal_number) {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signal_number);
  return set;
}

// One line on standard error: "Handler: CALL failed (errno N)". Written with
// write(2) alone, so it is safe inside a signal handler too.
void reportFailure(const char* call) {
  const int error = errno;
  char line[96];
  size_t length = 0;
  const auto put = [&](const char* text) {
    while (*text != '\0' && length < sizeof(line)) line[length++] = *text++;
  };
  put("Handler: ");
  put(call);
  put(" failed (errno ");
  char digits[12];
  int count = 0;
  unsigned value = error < 0 ? 0u : static_cast<unsigned>(error);
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0 && count < static_cast<int>(sizeof(digits)));
  while (count > 0 && length < sizeof(line)) line[length++] = digits[--count];
  put(")\n");
  ssize_t ignored = ::write(STDERR_FILENO, line, length);
  (void)ignored;
  errno = error;
}

void changeMask(int how, const sigset_t& signals) {
  if (sigprocmask(how, &signals, nullptr) != 0) reportFailure("sigprocmask");
}

bool installHandler(int signal_number, void (*handler)(int), const sigset_t& blocked, int flags) {
  struct sigaction action;
  memset(&action, 0, sizeof(action));
  action.sa_handler = handler;
  action.sa_mask = blocked;
  action.sa_flags = flags;
  if (sigaction(signal_number, &action, nullptr) == 0) return true;
  reportFailure("sigaction");
  return false;
}

void setTimer(const long& first_msec, const long& interval_msec) {
  itimerval timer;
  timer.it_value.tv_sec = first_msec / 1000;
  timer.it_value.tv_usec = (first_msec % 1000) * 1000;
  timer.it_interval.tv_sec = interval_msec / 1000;
  timer.it_interval.tv_usec = (interval_msec % 1000) * 1000;
  if (setitimer(ITIMER_REAL, &timer, nullptr) != 0) reportFailure("setitimer");
}

}  // namespace

Handler::Handler(BasicClient* client) : installed(false) {
  sigemptyset(&mask);
  S_client_ptr = client;
}

void Handler::init() {
  const sigset_t alarm_set = signalSet(SIGALRM);
  const sigset_t io_set = signalSet(SIGIO);
  installed = installHandler(SIGALRM, &Handler::handle_alarm, io_set, 0) &&
              installHandler(SIGIO, &Handler::handle_io, alarm_set, 0);
  changeMask(SIG_UNBLOCK, io_set);
  changeMask(SIG_UNBLOCK, alarm_set);
  if (sigprocmask(SIG_BLOCK, nullptr, &mask) != 0) reportFailure("sigprocmask");
}

void Handler::set_one_alarm(const long& msec) {
  setTimer(msec, 0);
}

void Handler::set_interval_alarm(const long& msec) {
  setTimer(msec, msec);
}

void Handler::stop_alarm() {
  setTimer(0, 0);
}

bool Handler::install_termination_handler(int signum, void (*handler)(int)) {
  struct sigaction current;
  if (sigaction(signum, nullptr, &current) != 0) return false;
  if (signum != SIGTERM && current.sa_handler == SIG_IGN) return true;
  struct sigaction action;
  memset(&action, 0, sizeof(action));
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  return sigaction(signum, &action, nullptr) == 0;
}

void Handler::ignore_broken_pipes() {
  if (signal(SIGPIPE, SIG_IGN) == SIG_ERR) reportFailure("signal");
}

void Handler::hold_for_loop() {
  changeMask(SIG_BLOCK, all_signals());
}

bool Handler::assignIO(int fd) const {
  const sigset_t io_set = signalSet(SIGIO);
  changeMask(SIG_BLOCK, io_set);
  bool assigned = false;
  if (fd != -1) {
    int flags = -1;
    assigned = fcntl(fd, F_SETOWN, getpid()) != -1 && (flags = fcntl(fd, F_GETFL, 0)) != -1 &&
               fcntl(fd, F_SETFL, flags | O_NONBLOCK | O_ASYNC) != -1;
    if (!assigned) reportFailure("fcntl");
  }
  changeMask(SIG_UNBLOCK, io_set);
  return assigned;
}

void Handler::waitSignal() const {
  sigsuspend(&mask);
}

sigset_t Handler::termination_signals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  return set;
}

sigset_t Handler::all_signals() {
  sigset_t set = termination_signals();
  sigaddset(&set, SIGIO);
  sigaddset(&set, SIGALRM);
  return set;
}

void Handler::block(const sigset_t& signals) {
  changeMask(SIG_BLOCK, signals);
}

void Handler::unblock(const sigset_t& signals) {
  changeMask(SIG_UNBLOCK, signals);
}

// Both handlers keep errno as they found it: they may interrupt the main
// thread between a system call and its errno check. The other signal is held
// by the handler's own mask, which the kernel restores on return; unblocking
// it here would run a pending one nested inside this handler.
void Handler::handle_io(int) {
  const int saved_errno = errno;
  if (S_client_ptr != nullptr) {
    S_client_ptr->sense();
  }
  errno = saved_errno;
}

void Handler::handle_alarm(int) {
  const int saved_errno = errno;
  if (S_client_ptr != nullptr) {
    S_client_ptr->action();
  }
  errno = saved_errno;
}
