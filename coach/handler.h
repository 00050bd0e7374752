#ifndef BRENVO_COACH_HANDLER_H
#define BRENVO_COACH_HANDLER_H

// Routes the two signals that drive the coach: SIGIO (a datagram arrived) to
// the registered client's sense() and SIGALRM (the interval timer) to its
// action(), each with the other signal blocked. Owns no client; never polls.
// Every failing signal call is reported on standard error in one line.
//
// Which signals are held where, and why:
// - SIGINT, SIGTERM, SIGHUP end the coach. Their handler only records the
//   request (BasicClient::requestTermination) and is installed with
//   SA_RESTART, so no read or write of the main flow fails because of it.
//   SIGINT or SIGHUP found ignored at start (nohup, `&` in a script) stay
//   ignored; SIGTERM is always handled.
// - From their installation until the loop they are held, except where
//   start-up waits (a configuration file, the host lookup): the request is
//   then seen at a known point, before anything goes on the wire.
// - From the loop on every signal is held outside the wait (hold_for_loop).
//   Inside it SIGIO and SIGALRM each hold the other through their handler's
//   mask, so sense and action never nest; a termination signal may arrive
//   inside either, and sense looks at the request after every message.
// - During the goodbye everything is held; only a wait for a slow log reader
//   lets a further termination signal through, to cut that wait short.
// - SIGPIPE is ignored: a log reader that goes away makes writes fail, and
//   the coach plays on.

#include <signal.h>

class BasicClient;

class Handler {
 public:
  // Registers client as the receiver of both signals.
  explicit Handler(BasicClient* client);

  // Installs handle_io and handle_alarm, unblocks SIGIO and SIGALRM and
  // records the resulting mask for waitSignal.
  virtual void init();
  // Whether init installed both handlers.
  bool ready() const { return installed; }

  // Installs handler for a termination signal as described above; false
  // (with errno set) when sigaction fails.
  static bool install_termination_handler(int signum, void (*handler)(int));
  // SIGPIPE ignored.
  static void ignore_broken_pipes();
  // Everything held: the loop's rule outside its wait.
  static void hold_for_loop();

  // One SIGALRM after msec milliseconds.
  static void set_one_alarm(const long& msec);
  // SIGALRM after msec milliseconds and then every msec milliseconds.
  static void set_interval_alarm(const long& msec);
  // No more SIGALRM from the timer.
  static void stop_alarm();

  // Makes fd non-blocking and signal-driven (SIGIO to this process). A
  // failing fcntl is reported on standard error.
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
  bool installed;
};

#endif
