#ifndef BRENVO_COACH_BASIC_CLIENT_H
#define BRENVO_COACH_BASIC_CLIENT_H

// The base of every client driven by the signal loop: it owns the one
// UDPInterface of the process from construction on and runs the wait loop.
// The loop never polls: it sleeps in sigsuspend until a handler clears the
// client's server-alive flag.

#include <boost/shared_ptr.hpp>

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

  // start, then wait for signals while the server is alive, then finishAll.
  void run(const Handler& handler);

 protected:
  boost::shared_ptr<UDPInterface> udp;

 private:
  BasicClient(const BasicClient&) = delete;
  BasicClient& operator=(const BasicClient&) = delete;
};

#endif
