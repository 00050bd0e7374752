#ifndef BRENVO_COACH_HANDLER_H
#define BRENVO_COACH_HANDLER_H

// Routes the two signals that drive the coach: SIGIO (a datagram arrived) to
// the registered client's sense() and SIGALRM (the interval timer) to its
// action(), each with the other signal blocked. Owns no client; never polls.
// Every failing signal call is reported on standard error in one line.

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
  // No more SIGALRM from the timer.
  static void stop_alarm();

  // Makes fd non-blocking and signal-driven (SIGIO to this process).
  bool assignIO(int fd) const;
  // Sleeps until a signal has been handled, with the mask recorded by init.
  void waitSignal() const;

  static void handle_io(int);
  static void handle_alarm(int);

  // SIGINT, SIGTERM and SIGHUP: the signals that end the process.
  static sigset_t termination_signals();
  // SIGIO and SIGALRM together with the termination signals.
  static sigset_t all_signals();
  // Block or unblock signals in the process mask. A signal that is pending
  // when it is unblocked is handled before unblock returns.
  static void block(const sigset_t& signals);
  static void unblock(const sigset_t& signals);

  static BasicClient* S_client_ptr;

 private:
  sigset_t mask;
};

#endif
