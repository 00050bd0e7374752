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

void installHandler(int signal_number, void (*handler)(int), const sigset_t& blocked) {
  struct sigaction action;
  memset(&action, 0, sizeof(action));
  action.sa_handler = handler;
  action.sa_mask = blocked;
  action.sa_flags = 0;
  sigaction(signal_number, &action, nullptr);
}

void setTimer(const long& first_msec, const long& interval_msec) {
  itimerval timer;
  timer.it_value.tv_sec = first_msec / 1000;
  timer.it_value.tv_usec = (first_msec % 1000) * 1000;
  timer.it_interval.tv_sec = interval_msec / 1000;
  timer.it_interval.tv_usec = (interval_msec % 1000) * 1000;
  setitimer(ITIMER_REAL, &timer, nullptr);
}

}  // namespace

Handler::Handler(BasicClient* client) {
  sigemptyset(&mask);
  S_client_ptr = client;
}

void Handler::init() {
  const sigset_t alarm_set = signalSet(SIGALRM);
  const sigset_t io_set = signalSet(SIGIO);
  installHandler(SIGALRM, &Handler::handle_alarm, io_set);
  installHandler(SIGIO, &Handler::handle_io, alarm_set);
  sigprocmask(SIG_UNBLOCK, &io_set, nullptr);
  sigprocmask(SIG_UNBLOCK, &alarm_set, nullptr);
  sigprocmask(SIG_BLOCK, nullptr, &mask);
}

void Handler::set_one_alarm(const long& msec) {
  setTimer(msec, 0);
}

void Handler::set_interval_alarm(const long& msec) {
  setTimer(msec, msec);
}

bool Handler::assignIO(int fd) const {
  const sigset_t io_set = signalSet(SIGIO);
  sigprocmask(SIG_BLOCK, &io_set, nullptr);
  bool assigned = false;
  if (fd != -1 && fcntl(fd, F_SETOWN, getpid()) != -1) {
    const int flags = fcntl(fd, F_GETFL, 0);
    assigned = flags != -1 && fcntl(fd, F_SETFL, flags | O_NONBLOCK | O_ASYNC) != -1;
  }
  sigprocmask(SIG_UNBLOCK, &io_set, nullptr);
  return assigned;
}

void Handler::waitSignal() const {
  sigsuspend(&mask);
}

// Both handlers keep errno as they found it: they may interrupt the main
// thread between a system call and its errno check.
void Handler::handle_io(int) {
  const int saved_errno = errno;
  const sigset_t alarm_set = signalSet(SIGALRM);
  sigprocmask(SIG_BLOCK, &alarm_set, nullptr);
  if (S_client_ptr != nullptr) {
    S_client_ptr->sense();
  }
  sigprocmask(SIG_UNBLOCK, &alarm_set, nullptr);
  errno = saved_errno;
}

void Handler::handle_alarm(int) {
  const int saved_errno = errno;
  const sigset_t io_set = signalSet(SIGIO);
  sigprocmask(SIG_BLOCK, &io_set, nullptr);
  if (S_client_ptr != nullptr) {
    S_client_ptr->action();
  }
  sigprocmask(SIG_UNBLOCK, &io_set, nullptr);
  errno = saved_errno;
}
