#ifndef BRENVO_COACH_BASIC_CLIENT_H
#define BRENVO_COACH_BASIC_CLIENT_H

// The base of every client driven by the signal loop: it owns the one
// UDPInterface of the process from construction on, runs the wait loop and
// keeps the one reason the run ended, which alone decides whether the server
// is owed a goodbye and which exit status the process gives. The loop never
// polls: it sleeps in sigsuspend until a handler clears the client's
// server-alive flag or a termination is requested (handler.h says which
// signals are held where).

#include <boost/shared_ptr.hpp>
#include <csignal>

class Handler;
class UDPInterface;

class BasicClient {
 public:
  // Why a run ended. The first reason given is kept.
  enum EndReason {
    NOT_ENDED,
    GAME_OVER,          // the referee ended the match
    HELP,               // "--help": the usage was printed, nothing connected
    TERMINATED,         // SIGINT, SIGTERM or SIGHUP
    SETUP_FAILED,       // the signals or the socket's signal-driven input could not be set up
    INIT_REFUSED,       // the server refused the init or answered it unexpectedly
    CONNECTION_FAILED,  // no socket, no such host, or the init could not be sent
    SERVER_DOWN,        // the server went silent
  };

  BasicClient();
  virtual ~BasicClient();

  virtual bool isServerAlive() const = 0;
  virtual void start(const Handler& handler) = 0;
  virtual void sense() = 0;
  virtual void action() = 0;
  virtual void finishAll() = 0;

  // start, then wait for signals while the server is alive and no
  // termination was asked for, then finishAll.
  void run(const Handler& handler);

  // Records why the run ends; a reason already given stays.
  void end(EndReason reason);
  EndReason endReason() const { return end_reason; }
  // Whether a connection that ends for this reason says goodbye: the referee's
  // end of the match and a termination signal do; a server that refused the
  // init, went silent or was never reached is not owed one.
  static bool owesBye(EndReason reason);
  // 0 for a match the referee ended (and "--help"), 1 for a termination
  // signal or a set-up that failed, 2 for a refused or unexpected init
  // answer, 3 for a host or connection failure, 4 for a silent server.
  static int exitStatus(EndReason reason);

  // Asks the loop to end, from a termination signal's handler: only these
  // flags are touched there, since the handler may interrupt any work.
  static void requestTermination(int signum);
  // The termination signal that ended the loop, 0 when none did.
  static int terminationSignal();
  // How many termination signals have arrived so far.
  static int terminationCount();

 protected:
  boost::shared_ptr<UDPInterface> udp;

 private:
  static volatile std::sig_atomic_t S_termination_signal;
  static volatile std::sig_atomic_t S_termination_count;

  EndReason end_reason;

  BasicClient(const BasicClient&) = delete;
  BasicClient& operator=(const BasicClient&) = delete;
};

#endif
