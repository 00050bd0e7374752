#ifndef BRENVO_COACH_BASIC_CLIENT_H
#define BRENVO_COACH_BASIC_CLIENT_H

// The base of every client driven by the signal loop: it owns the one
// UDPInterface of the process from construction on and runs the wait loop.
// The loop never polls: it sleeps in sigsuspend until a handler clears the
// client's server-alive flag or a termination is requested. Signal handlers
// run only inside that sleep, never beside the loop's own work, and never
// once the goodbye has begun.

#include <boost/shared_ptr.hpp>
#include <csignal>

class Handler;
class UDPInterface;

class BasicClient {
 public:
  BasicClient();
  virtual ~BasicClient();

  virtual bool isServerAlive() const = 0;
  virtual void start(const Handler& handler) = 0;
  virtual void sense() = 0;
  virtual void action() = 0;
  virtual void finishAll() = 0;

  // start, then wait for signals while the server is alive and no
  // termination was asked for, then finishAll. From its first step on, the
  // client's signals and the termination signals stay blocked except inside
  // the wait, so no handler runs beside start, the loop's checks or the
  // goodbye, nor later while the process exits.
  void run(const Handler& handler);

  // Asks the loop to end, from a termination signal's handler: only this flag
  // is touched there, since the handler may interrupt any work of the loop.
  static void requestTermination(int signum);
  // The termination signal that ended the loop, 0 when none did.
  static int terminationSignal();

 protected:
  boost::shared_ptr<UDPInterface> udp;

 private:
  static volatile std::sig_atomic_t S_termination_signal;

  BasicClient(const BasicClient&) = delete;
  BasicClient& operator=(const BasicClient&) = delete;
};

#endif
