#ifndef BRENVO_COACH_HANDLER_H
#define BRENVO_COACH_HANDLER_H

// Routes the two signals that drive the coach: SIGIO (a datagram arrived) to
// the registered client's sense() and SIGALRM (the interval timer) to its
// action(), each with the other signal blocked. Owns no client; never polls.

#include <signal.h>

class BasicClient;

class Handler {
 public:
  // Registers client as the receiver of both signals.
  explicit Handler(BasicClient* client);

  // Installs handle_io and handle_alarm, unblocks SIGIO and SIGALRM and
  // records the resulting mask for waitSignal.
  virtual void init();

  // One SIGALRM after msec milliseconds.
  static void set_one_alarm(const long& msec);
  // SIGALRM after msec milliseconds and then every msec milliseconds.
  static void set_interval_alarm(const long& msec);

  // Makes fd non-blocking and signal-driven (SIGIO to this process).
  bool assignIO(int fd) const;
  // Sleeps until a signal has been handled.
  void waitSignal() const;

  static void handle_io(int);
  static void handle_alarm(int);

  static BasicClient* S_client_ptr;

 private:
  sigset_t mask;
};

#endif
